#include "sim/Autopilot.h"

#include <cmath>
#include <initializer_list>

#include "physics/Upright.h"
#include "sim/Simulation.h"
#include "sim/StateHash.h"

constexpr float kArrivedDistance = 20;     // near enough to a target to pick the next
constexpr long kTargetPatienceFrames = 1500;
constexpr float kWorldHalfSize = 1500;     // targets stay well inside the grid's 2000
constexpr float kAimTolerance = 0.15f;     // radians either way that count as straight ahead
constexpr float kStuckSpeed = 0.3f;        // over the ground
constexpr long kStuckFrames = 80;
constexpr long kBackOutFrames = 60;
constexpr long kOverturnedFrames = 40;
constexpr float kPi = 3.14159265f;

// xorshift32: the same numbers from the same seed on every build and library.
static uint32_t NextRandom()
{
    uint32_t x = gSim.autopilot.random;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    return gSim.autopilot.random = x;
}

static float RandomBetween(float low, float high)
{
    return low + (high - low) * float(NextRandom() % 10001) / 10000.0f;
}

// Somewhere worth going: open ground, over one of the ramps, the table's flap, or a post to knock over.
static void PickTarget(AutopilotCar& a)
{
    const Scene& scene = gSim.scene;
    float x = 0, y = 0;
    switch (NextRandom() % 5) {
    case 0:
        x = RandomBetween(-800, 800);
        y = RandomBetween(-800, 800);
        break;
    case 1:
        x = dGeomGetPosition(scene.ramp1)[0] + 40;
        break;
    case 2:
        x = dGeomGetPosition(scene.ramp2)[0] + 40;
        break;
    case 3: {
        const dReal* p = dBodyGetPosition(scene.table.flap.body);
        x = float(p[0]);
        y = float(p[1]);
        break;
    }
    default: {
        const dReal* p = dBodyGetPosition(scene.posts[NextRandom() % kPostCount].body);
        x = float(p[0]);
        y = float(p[1]);
        break;
    }
    }
    a.target[0] = std::fmax(-kWorldHalfSize, std::fmin(kWorldHalfSize, x));
    a.target[1] = std::fmax(-kWorldHalfSize, std::fmin(kWorldHalfSize, y));
    a.targetFrames = 0;
}

// The commands a person's controls make, less the person: the car stays the autopilot's.
static void HoldControls(int c, bool forward, bool backward, bool left, bool right, std::vector<Command>& commands)
{
    const struct {
        CommandKind kind;
        CarKey key;
        bool down;
    } held[] = {{CommandKind::kCarKey, CarKey::kFaster, forward},    {CommandKind::kCarKey, CarKey::kSlower, backward},
                {CommandKind::kCarKey, CarKey::kSteerLeft, left},    {CommandKind::kCarKey, CarKey::kSteerRight, right},
                {CommandKind::kLift, CarKey::kSteerLeft, false}};
    for (const auto& h : held)
        commands.push_back({gSim.frame, h.kind, c, h.key, h.down, CommandSource::kAutopilot});
}

void StartAutopilot(uint32_t seed)
{
    Autopilot& autopilot = gSim.autopilot;
    for (AutopilotCar& a : autopilot.cars)
        a = AutopilotCar{};
    autopilot.random = autopilot.seed = seed ? seed : 1;  // xorshift never leaves 0
}

uint32_t ReadAutopilotSeed()
{
    return gSim.autopilot.seed;
}

bool IsAutopilotDriving(int c)
{
    return gSim.autopilot.cars[c].driving;
}

bool TakeCarFromAutopilot(int c)
{
    AutopilotCar& a = gSim.autopilot.cars[c];
    const bool was = a.driving;
    a.driving = false;
    a.idleFrames = 0;
    return was;
}

void HandCarToAutopilot(int c)
{
    AutopilotCar& a = gSim.autopilot.cars[c];
    if (!a.driving) {
        a.driving = true;
        PickTarget(a);
    }
}

static void DriveCar(int c, AutopilotCar& a, std::vector<Command>& commands)
{
    const Scene& scene = gSim.scene;
    dBodyID chassis = scene.cars[c].chassis.body;
    if (IsCarOverturned(scene, c)) {
        HoldControls(c, false, false, false, false, commands);
        if (++a.overturnedFrames >= kOverturnedFrames) {
            commands.push_back({gSim.frame, CommandKind::kUpright, c, CarKey::kSteerLeft, true, CommandSource::kAutopilot});
            a.overturnedFrames = 0;
        }
        return;
    }
    a.overturnedFrames = 0;

    const dReal* p = dBodyGetPosition(chassis);
    const dReal* r = dBodyGetRotation(chassis);
    float dx = a.target[0] - float(p[0]), dy = a.target[1] - float(p[1]);
    if (std::hypot(dx, dy) < kArrivedDistance || ++a.targetFrames > kTargetPatienceFrames) {
        PickTarget(a);
        dx = a.target[0] - float(p[0]);
        dy = a.target[1] - float(p[1]);
    }
    // Turning left (raising the steering target) turns the car toward a larger heading.
    float turn = std::atan2(dy, dx) - std::atan2(float(r[4]), float(r[0]));
    turn = std::remainder(turn, 2 * kPi);
    bool left = turn > kAimTolerance, right = turn < -kAimTolerance;

    if (a.reverseFrames > 0) {
        --a.reverseFrames;
        HoldControls(c, false, true, right, left, commands);  // backing out turns the other way
        return;
    }
    bool crawling = CarGroundSpeed(scene, c) < kStuckSpeed && gSim.targets.speed[c] > 100;
    a.slowFrames = crawling ? a.slowFrames + 1 : 0;
    if (a.slowFrames > kStuckFrames) {
        a.slowFrames = 0;
        a.reverseFrames = kBackOutFrames;
    }
    HoldControls(c, true, false, left, right, commands);
}

// While the autopilot does not drive car c, its held controls are a person's.
static bool IsControlHeld(int c)
{
    const CarControls& held = gSim.controls[c];
    return held.steerLeft || held.steerRight || held.faster || held.slower || held.lift || held.stopAndSpin;
}

void UpdateAutopilot(bool takeIdleCars, bool heldControlsStay, std::vector<Command>& commands)
{
    for (int c = 0; c < kCarCount; ++c) {
        AutopilotCar& a = gSim.autopilot.cars[c];
        if (!a.driving) {
            if (!takeIdleCars || ++a.idleFrames < kAutopilotIdleFrames || (heldControlsStay && IsControlHeld(c)))
                continue;
            a.driving = true;
            PickTarget(a);
        }
        DriveCar(c, a, commands);
    }
}

void WriteAutopilotState(ByteWriter& out)
{
    for (const AutopilotCar& a : gSim.autopilot.cars) {
        PutInt64(out, a.idleFrames);
        PutUint8(out, a.driving);
        PutFloats(out, a.target, 2);
        for (long frames : {a.targetFrames, a.slowFrames, a.reverseFrames, a.overturnedFrames})
            PutInt64(out, frames);
    }
    PutUint32(out, gSim.autopilot.seed);
    PutUint32(out, gSim.autopilot.random);
}

void ReadAutopilotState(ByteReader& in)
{
    for (AutopilotCar& a : gSim.autopilot.cars) {
        a.idleFrames = long(TakeInt64(in));
        a.driving = TakeUint8(in) != 0;
        TakeFloats(in, a.target, 2);
        for (long* frames : {&a.targetFrames, &a.slowFrames, &a.reverseFrames, &a.overturnedFrames})
            *frames = long(TakeInt64(in));
    }
    gSim.autopilot.seed = TakeUint32(in);
    gSim.autopilot.random = TakeUint32(in);
}

void FeedAutopilotState(StateHash& hash)
{
    for (const AutopilotCar& a : gSim.autopilot.cars) {
        FeedInt64(hash, a.idleFrames);
        FeedBool(hash, a.driving);
        FeedFloat(hash, a.target[0]);
        FeedFloat(hash, a.target[1]);
        FeedInt64(hash, a.targetFrames);
        FeedInt64(hash, a.slowFrames);
        FeedInt64(hash, a.reverseFrames);
        FeedInt64(hash, a.overturnedFrames);
    }
    FeedUint32(hash, gSim.autopilot.random);
}
