#include "sim/StateHash.h"

#include <cstring>
#include <initializer_list>

#include "physics/Car.h"
#include "sim/Simulation.h"

// FNV-1a rather than a faster hash: a dozen lines with no dependency, the same arithmetic on every
// compiler and target (no unaligned or wide loads), and a frame's few kilobytes cost microseconds.
constexpr uint64_t kFnvPrime = 1099511628211ull;

void FeedByte(StateHash& hash, uint8_t byte)
{
    hash.value = (hash.value ^ byte) * kFnvPrime;
}

void FeedBool(StateHash& hash, bool value)
{
    FeedByte(hash, value ? 1 : 0);
}

void FeedUint32(StateHash& hash, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        FeedByte(hash, uint8_t(value >> (8 * i)));
}

void FeedInt64(StateHash& hash, int64_t value)
{
    for (int i = 0; i < 8; ++i)
        FeedByte(hash, uint8_t(uint64_t(value) >> (8 * i)));
}

void FeedFloat(StateHash& hash, float value)
{
    static_assert(sizeof(float) == sizeof(uint32_t), "floats are fed as 32-bit patterns");
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    FeedUint32(hash, bits);
}

static_assert(sizeof(dReal) == sizeof(float), "ODE's numbers are fed as floats: a double ODE needs its own");

static void FeedReals(StateHash& hash, const dReal* values, int count)
{
    for (int i = 0; i < count; ++i)
        FeedFloat(hash, values[i]);
}

// The quaternion is the orientation ODE integrates; a step makes the rotation matrix from it.
static void FeedBody(StateHash& hash, dBodyID body)
{
    FeedReals(hash, dBodyGetPosition(body), 3);
    FeedReals(hash, dBodyGetQuaternion(body), 4);
    FeedReals(hash, dBodyGetLinearVel(body), 3);
    FeedReals(hash, dBodyGetAngularVel(body), 3);
    FeedBool(hash, dBodyIsEnabled(body) != 0);
}

// ODE has no public way to walk a world's bodies: the scene's own records give them in a fixed order.
static void FeedBodies(StateHash& hash, const Scene& scene)
{
    for (const BodyGeom& post : scene.posts)
        FeedBody(hash, post.body);
    FeedBody(hash, scene.plate.body);
    FeedBody(hash, scene.ball.body);
    FeedBody(hash, scene.table.top.body);
    FeedBody(hash, scene.table.flap.body);
    for (const BodyGeom& leg : scene.table.legs)
        FeedBody(hash, leg.body);
    for (const Car& car : scene.cars) {
        const BodyGeom* parts[kCarPartCount];
        ListCarParts(car, parts);
        for (const BodyGeom* part : parts)
            FeedBody(hash, part->body);
    }
}

// What the cars are asked to do: the targets the step applies, and the controls that move them next
// frame. A cabin's lift is its held control alone: the force it adds is spent by the step. Only car 0
// has a stop and spin.
static void FeedCarControls(StateHash& hash)
{
    for (int c = 0; c < kCarCount; ++c) {
        FeedFloat(hash, gSim.targets.speed[c]);
        FeedFloat(hash, gSim.targets.steer[c]);
        const CarControls& held = gSim.controls[c];
        for (bool control : {held.steerLeft, held.steerRight, held.faster, held.slower, held.lift})
            FeedBool(hash, control);
    }
    FeedBool(hash, gSim.controls[0].stopAndSpin);
    // Set when the stop goes down or up, not by every step: state of its own.
    for (dJointID hub : {gSim.scene.cars[0].leftHubHinge, gSim.scene.cars[0].rightHubHinge}) {
        FeedFloat(hash, dJointGetHingeParam(hub, dParamVel));
        FeedFloat(hash, dJointGetHingeParam(hub, dParamFMax));
    }
}

uint64_t HashWorldState()
{
    StateHash hash{kFnvOffsetBasis};
    FeedBodies(hash, gSim.scene);
    FeedCarControls(hash);
    FeedBool(hash, gSim.settings.autopilot);
    FeedAutopilotState(hash);
    return hash.value;
}
