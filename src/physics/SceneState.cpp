#include "physics/SceneState.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <iterator>

#include "physics/Car.h"
#include "physics/Scene.h"
// ODE's own records, which its public functions cannot set exactly; included here alone.
#include "ode-private/collision_kernel.h"
#include "ode-private/joints/hinge.h"
#include "ode-private/joints/hinge2.h"
#include "ode-private/objects.h"

static_assert(sizeof(dReal) == sizeof(float), "the state keeps ODE's numbers as floats");

constexpr int kBodyCount = kPostCount + 2 + 6 + kCarCount * kCarPartCount;
constexpr int kJointCount = 1 + kCarCount * 10;
constexpr int kSpaceCount = 1 + kCarCount;
constexpr int kGeomCount = kSpaceCount + 3 + kBodyCount;

// The parts of records that a check passes over, in bytes.
constexpr size_t kBodyRealsSize = 4 * (3 + 9 + 4 + 3 + 3 + 3 + 3 + 1) + 4;  // to the averaging counter
constexpr size_t kSampleSize = 4 * 6;
constexpr size_t kHingeRealsSize = 4 * (3 * 4 + 4);
constexpr size_t kHinge2RealsSize = 4 * (3 * 4 + 2 + 3 * 4);
constexpr size_t kMotorRealsSize = 4 * 9;
constexpr size_t kWorldSize = 4 * 3 + 4;
// What a restored state may change of ODE's flags, so that nothing restored sends ODE where it
// would fail: a body's known flags, a geom's dirty and bad-bounds marks; a joint's flags never.
constexpr unsigned kBodyFlags = 0x1FF;
constexpr int kGeomMovedFlags = GEOM_DIRTY | GEOM_AABB_BAD;

// The scene's objects in one order, the same in every process that built the scene.
struct SceneObjects {
    dxBody* bodies[kBodyCount];
    dxJoint* joints[kJointCount];
    dxSpace* spaces[kSpaceCount];
    dxGeom* geoms[kGeomCount];  // the spaces, the bodiless geoms, then the bodies' in their order
};

static SceneObjects ListSceneObjects(const Scene& scene)
{
    SceneObjects s;
    const BodyGeom* parts[kBodyCount];
    int n = 0;
    for (const BodyGeom& post : scene.posts)
        parts[n++] = &post;
    for (const BodyGeom* part : {&scene.plate, &scene.ball, &scene.table.top, &scene.table.flap})
        parts[n++] = part;
    for (const BodyGeom& leg : scene.table.legs)
        parts[n++] = &leg;
    for (const Car& car : scene.cars) {
        ListCarParts(car, parts + n);
        n += kCarPartCount;
    }
    n = 0;
    s.joints[n++] = scene.table.flapHinge;
    for (const Car& car : scene.cars)
        for (dJointID joint : {car.cabinFrontHinge, car.cabinRearHinge, car.rearLeftHinge2, car.rearRightHinge2,
                               car.leftSteerHinge, car.rightSteerHinge, car.leftTieRodHinge, car.rightTieRodHinge,
                               car.rightHubHinge, car.leftHubHinge})
            s.joints[n++] = joint;
    s.spaces[0] = scene.space;
    for (int c = 0; c < kCarCount; ++c)
        s.spaces[1 + c] = scene.carSpaces[c];
    n = 0;
    for (dxSpace* space : s.spaces)
        s.geoms[n++] = space;
    for (dGeomID geom : {scene.groundPlane, scene.ramp1, scene.ramp2})
        s.geoms[n++] = geom;
    for (int i = 0; i < kBodyCount; ++i) {
        s.bodies[i] = parts[i]->body;
        s.geoms[n++] = parts[i]->geom;
    }
    return s;
}

// A rotation matrix is three rows of four, the fourth unused.
static void PutRotation(ByteWriter& out, const dMatrix3 r)
{
    for (int row = 0; row < 3; ++row)
        PutFloats(out, r + 4 * row, 3);
}

static void TakeRotation(ByteReader& in, dMatrix3 r)
{
    for (int row = 0; row < 3; ++row)
        TakeFloats(in, r + 4 * row, 3);
}

static void WriteBody(ByteWriter& out, const dxBody* b)
{
    const unsigned samples = b->adis.average_samples;
    PutUint32(out, samples);
    PutUint32(out, b->flags);
    PutFloats(out, b->posr.pos, 3);
    PutRotation(out, b->posr.R);
    PutFloats(out, b->q, 4);
    for (const dReal* v : {b->lvel, b->avel, b->facc, b->tacc})
        PutFloats(out, v, 3);
    PutFloat(out, b->adis_timeleft);
    PutUint32(out, uint32_t(b->adis_stepsleft));
    PutUint32(out, b->average_counter);
    PutUint32(out, uint32_t(b->average_ready));
    // ODE fills a slot before it reads it: those not filled since the body began averaging hold
    // whatever the heap left there, and go as zeros.
    const dReal unfilled[3] = {0, 0, 0};
    for (const dVector3* buffer : {b->average_lvel_buffer, b->average_avel_buffer})
        for (unsigned i = 0; i < samples; ++i)
            PutFloats(out, b->average_ready || i < b->average_counter ? buffer[i] : unfilled, 3);
}

static void ReadBody(ByteReader& in, dxBody* b)
{
    const unsigned samples = TakeUint32(in);
    b->flags = TakeUint32(in);
    TakeFloats(in, b->posr.pos, 3);
    TakeRotation(in, b->posr.R);
    TakeFloats(in, b->q, 4);
    for (dReal* v : {b->lvel, b->avel, b->facc, b->tacc})
        TakeFloats(in, v, 3);
    b->adis_timeleft = TakeFloat(in);
    b->adis_stepsleft = int(TakeUint32(in));
    b->average_counter = TakeUint32(in);
    b->average_ready = int(TakeUint32(in));
    for (dVector3* buffer : {b->average_lvel_buffer, b->average_avel_buffer})
        for (unsigned i = 0; i < samples; ++i)
            TakeFloats(in, buffer[i], 3);
}

static void WriteMotor(ByteWriter& out, const dxJointLimitMotor& m)
{
    for (dReal v : {m.vel, m.fmax, m.lostop, m.histop, m.fudge_factor, m.normal_cfm, m.stop_erp, m.stop_cfm, m.bounce})
        PutFloat(out, v);
    PutUint32(out, uint32_t(m.limit));
    PutFloat(out, m.limit_err);
}

static void ReadMotor(ByteReader& in, dxJointLimitMotor& m)
{
    for (dReal* v : {&m.vel, &m.fmax, &m.lostop, &m.histop, &m.fudge_factor, &m.normal_cfm, &m.stop_erp, &m.stop_cfm,
                     &m.bounce})
        *v = TakeFloat(in);
    m.limit = int(TakeUint32(in));
    m.limit_err = TakeFloat(in);
}

static void WriteJoint(ByteWriter& out, const dxJoint* joint)
{
    const dJointType type = joint->type();
    PutUint8(out, uint8_t(type));
    PutUint32(out, joint->flags);
    if (type == dJointTypeHinge) {
        const auto* h = static_cast<const dxJointHinge*>(joint);
        for (const dReal* v : {h->anchor1, h->anchor2, h->axis1, h->axis2})
            PutFloats(out, v, 3);
        PutFloats(out, h->qrel, 4);
        WriteMotor(out, h->limot);
    } else {
        const auto* h = static_cast<const dxJointHinge2*>(joint);
        for (const dReal* v : {h->anchor1, h->anchor2, h->axis1, h->axis2})
            PutFloats(out, v, 3);
        PutFloat(out, h->c0);
        PutFloat(out, h->s0);
        for (const dReal* v : {h->v1, h->v2, h->w1, h->w2})
            PutFloats(out, v, 3);
        WriteMotor(out, h->limot1);
        WriteMotor(out, h->limot2);
        PutFloat(out, h->susp_erp);
        PutFloat(out, h->susp_cfm);
    }
}

static void ReadJoint(ByteReader& in, dxJoint* joint)
{
    const int type = TakeUint8(in);
    joint->flags = TakeUint32(in);
    if (type == dJointTypeHinge) {
        auto* h = static_cast<dxJointHinge*>(joint);
        for (dReal* v : {h->anchor1, h->anchor2, h->axis1, h->axis2})
            TakeFloats(in, v, 3);
        TakeFloats(in, h->qrel, 4);
        ReadMotor(in, h->limot);
    } else {
        auto* h = static_cast<dxJointHinge2*>(joint);
        for (dReal* v : {h->anchor1, h->anchor2, h->axis1, h->axis2})
            TakeFloats(in, v, 3);
        h->c0 = TakeFloat(in);
        h->s0 = TakeFloat(in);
        for (dReal* v : {h->v1, h->v2, h->w1, h->w2})
            TakeFloats(in, v, 3);
        ReadMotor(in, h->limot1);
        ReadMotor(in, h->limot2);
        h->susp_erp = TakeFloat(in);
        h->susp_cfm = TakeFloat(in);
    }
}

// Each geom's place in the scene's geoms, found by its address: open addressing in a table four
// times their number, so that a snapshot finds 91 places in well under a microsecond.
constexpr int kPlaceSlots = 512;
static_assert(kPlaceSlots >= 4 * kGeomCount, "the table stays mostly empty");
struct GeomPlaces {
    const dxGeom* geoms[kPlaceSlots];
    uint8_t places[kPlaceSlots];
};

static unsigned FindSlot(const GeomPlaces& table, const dxGeom* g)
{
    unsigned slot = unsigned((uint64_t(uintptr_t(g)) * 0x9E3779B97F4A7C15ull) >> 55);
    while (table.geoms[slot] && table.geoms[slot] != g)
        slot = (slot + 1) % kPlaceSlots;
    return slot;
}

static void PlaceGeoms(GeomPlaces& table, const SceneObjects& s)
{
    std::fill(std::begin(table.geoms), std::end(table.geoms), nullptr);
    for (int i = 0; i < kGeomCount; ++i) {
        const unsigned slot = FindSlot(table, s.geoms[i]);
        table.geoms[slot] = s.geoms[i];
        table.places[slot] = uint8_t(i);
    }
}

// A space's list from its first geom, each as its place in the scene's geoms.
static void WriteSpaceOrder(ByteWriter& out, const dxSpace* space, const GeomPlaces& table)
{
    PutUint32(out, uint32_t(space->count));
    for (const dxGeom* g = space->first; g; g = g->next)
        PutUint16(out, table.places[FindSlot(table, g)]);
}

// Links the space's geoms in the order given, as dGeomMoved and dSpaceAdd leave a list.
static void ReadSpaceOrder(ByteReader& in, dxSpace* space, const SceneObjects& s)
{
    const int count = int(TakeUint32(in));
    dxGeom** tome = &space->first;
    for (int i = 0; i < count; ++i) {
        dxGeom* g = s.geoms[TakeUint16(in)];
        g->tome = tome;
        *tome = g;
        tome = &g->next;
    }
    *tome = nullptr;
    space->current_geom = nullptr;  // dSpaceGetGeom's place in the list
}

static uint32_t CountWorldObjects(const dxWorld* world)
{
    return uint32_t(world->nb) << 16 | uint32_t(world->nj);
}

void WriteSceneState(const Scene& scene, ByteWriter& out)
{
    const SceneObjects s = ListSceneObjects(scene);
    PutUint32(out, CountWorldObjects(scene.world));
    dVector3 gravity;
    dWorldGetGravity(scene.world, gravity);
    PutFloats(out, gravity, 3);
    PutUint32(out, uint32_t(dRandGetSeed()));
    for (const dxBody* b : s.bodies)
        WriteBody(out, b);
    for (const dxJoint* j : s.joints)
        WriteJoint(out, j);
    for (const dxGeom* g : s.geoms) {
        PutUint32(out, uint32_t(g->gflags));
        PutFloats(out, g->aabb, 6);
    }
    GeomPlaces table;
    PlaceGeoms(table, s);
    for (const dxSpace* space : s.spaces)
        WriteSpaceOrder(out, space, table);
}

static bool Refuse(std::string& why, const std::string& reason)
{
    why = reason;
    return false;
}

static bool CheckSpaceOrder(ByteReader& in, const dxSpace* space, const SceneObjects& s, int which, std::string& why)
{
    const std::string name = which == 0 ? "the top-level space" : "car " + std::to_string(which - 1) + "'s space";
    if (int(TakeUint32(in)) != space->count)
        return Refuse(why, name + " holds another number of geoms");
    bool seen[kGeomCount] = {};
    for (int i = 0; i < space->count; ++i) {
        const int index = TakeUint16(in);
        if (index >= kGeomCount || seen[index] || s.geoms[index]->parent_space != space)
            return Refuse(why, name + " lists a geom it does not hold");
        seen[index] = true;
    }
    return true;
}

static bool CheckBody(ByteReader& in, const dxBody* b, std::string& why)
{
    const unsigned samples = TakeUint32(in);
    if (samples != b->adis.average_samples)
        return Refuse(why, "a body averages another number of velocity samples");
    if (TakeUint32(in) & ~kBodyFlags)
        return Refuse(why, "a body has flags ODE does not know");
    TakeBytes(in, kBodyRealsSize);
    const unsigned counter = TakeUint32(in), ready = TakeUint32(in);
    if ((samples ? counter >= samples : counter != 0) || ready > 1)
        return Refuse(why, "a body's velocity averaging is past its samples");
    TakeBytes(in, kSampleSize * samples);
    return true;
}

static bool CheckMotor(ByteReader& in, std::string& why)
{
    TakeBytes(in, kMotorRealsSize);
    if (TakeUint32(in) > 2)  // free, at the low stop or at the high one
        return Refuse(why, "a joint's motor is at a stop that is none");
    TakeBytes(in, 4);
    return true;
}

static bool CheckJoint(ByteReader& in, const dxJoint* j, std::string& why)
{
    const int type = TakeUint8(in);
    if (type != j->type() || TakeUint32(in) != j->flags)
        return Refuse(why, "a joint is of another type or kind");
    const bool hinge = type == dJointTypeHinge;
    TakeBytes(in, hinge ? kHingeRealsSize : kHinge2RealsSize);
    if (!CheckMotor(in, why) || (!hinge && !CheckMotor(in, why)))
        return false;
    TakeBytes(in, hinge ? 0 : 8);  // a hinge-2's suspension
    return true;
}

bool CheckSceneState(const Scene& scene, ByteReader in, std::string& why)
{
    const SceneObjects s = ListSceneObjects(scene);
    if (TakeUint32(in) != CountWorldObjects(scene.world))
        return Refuse(why, "its world has another number of bodies or joints");
    TakeBytes(in, kWorldSize);
    for (const dxBody* b : s.bodies)
        if (!CheckBody(in, b, why))
            return false;
    for (const dxJoint* j : s.joints)
        if (!CheckJoint(in, j, why))
            return false;
    for (const dxGeom* g : s.geoms) {
        if ((int(TakeUint32(in)) ^ g->gflags) & ~kGeomMovedFlags)
            return Refuse(why, "a geom is of another kind");
        TakeBytes(in, 4 * 6);
    }
    for (int i = 0; i < kSpaceCount; ++i)
        if (!CheckSpaceOrder(in, s.spaces[i], s, i, why))
            return false;
    if (in.isShort || in.at != in.end)
        return Refuse(why, in.isShort ? "the scene's state is cut short" : "bytes follow the scene's state");
    return true;
}

void ReadSceneState(Scene& scene, ByteReader& in)
{
    const SceneObjects s = ListSceneObjects(scene);
    TakeUint32(in);
    dVector3 gravity = {};
    TakeFloats(in, gravity, 3);
    dWorldSetGravity(scene.world, gravity[0], gravity[1], gravity[2]);
    dRandSetSeed(TakeUint32(in));
    for (dxBody* b : s.bodies)
        ReadBody(in, b);
    for (dxJoint* j : s.joints)
        ReadJoint(in, j);
    for (dxGeom* g : s.geoms) {
        g->gflags = int(TakeUint32(in));
        TakeFloats(in, g->aabb, 6);
    }
    for (dxSpace* space : s.spaces)
        ReadSpaceOrder(in, space, s);
}
