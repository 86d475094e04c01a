#include "app/Autopilot.h"

#include <cmath>
#include <initializer_list>

#include "app/Commands.h"
#include "app/Controls.h"
#include "app/Input.h"
#include "app/StateHash.h"
#include "physics/Driving.h"
#include "physics/Scene.h"
#include "physics/Step.h"
#include "physics/Upright.h"

AutopilotCar gAutopilot[kCarCount];
static uint32_t gAutopilotRandom = 1;  // the generator's state
static uint32_t gAutopilotSeed = 1;    // what it started from

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
    uint32_t x = gAutopilotRandom;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    return gAutopilotRandom = x;
}

static float RandomBetween(float low, float high)
{
    return low + (high - low) * float(NextRandom() % 10001) / 10000.0f;
}

// Somewhere worth going: open ground, over one of the ramps, the table's flap, or a post to knock over.
static void PickTarget(AutopilotCar& a)
{
    float x = 0, y = 0;
    switch (NextRandom() % 5) {
    case 0:
        x = RandomBetween(-800, 800);
        y = RandomBetween(-800, 800);
        break;
    case 1:
        x = dGeomGetPosition(gRamp1)[0] + 40;
        break;
    case 2:
        x = dGeomGetPosition(gRamp2)[0] + 40;
        break;
    case 3: {
        const dReal* p = dBodyGetPosition(gTable.flap.body);
        x = float(p[0]);
        y = float(p[1]);
        break;
    }
    default: {
        const dReal* p = dBodyGetPosition(gPosts[NextRandom() % kPostCount].body);
        x = float(p[0]);
        y = float(p[1]);
        break;
    }
    }
    a.target[0] = std::fmax(-kWorldHalfSize, std::fmin(kWorldHalfSize, x));
    a.target[1] = std::fmax(-kWorldHalfSize, std::fmin(kWorldHalfSize, y));
    a.targetFrames = 0;
}

// Through the commands a person's keys make, less the person: the car stays the autopilot's.
static void HoldKeys(int c, bool forward, bool backward, bool left, bool right)
{
    const struct {
        CommandKind kind;
        CarKey key;
        bool down;
    } held[] = {{CommandKind::kCarKey, CarKey::kFaster, forward},    {CommandKind::kCarKey, CarKey::kSlower, backward},
                {CommandKind::kCarKey, CarKey::kSteerLeft, left},    {CommandKind::kCarKey, CarKey::kSteerRight, right},
                {CommandKind::kLift, CarKey::kSteerLeft, false}};
    for (const auto& h : held)
        ApplyCommand({gFramesRun, h.kind, c, h.key, h.down, CommandSource::kAutopilot});
}

void StartAutopilot(uint32_t seed)
{
    for (AutopilotCar& a : gAutopilot)
        a = AutopilotCar{};
    gAutopilotRandom = gAutopilotSeed = seed ? seed : 1;  // xorshift never leaves 0
}

uint32_t ReadAutopilotSeed()
{
    return gAutopilotSeed;
}

static bool IsKeyOfCar(unsigned vk, int c)
{
    const CarKeys& k = kCarKeys[c];
    return int(vk) == k.raiseSteer || int(vk) == k.lowerSteer || int(vk) == k.raiseSpeed ||
           int(vk) == k.lowerSpeed || int(vk) == k.lift || (c == 0 && vk == unsigned(kVkSpace));
}

bool IsAutopilotKey(unsigned vk)
{
    for (int c = 0; c < kCarCount; ++c)
        if (gAutopilot[c].driving && IsKeyOfCar(vk, c))
            return true;
    return false;
}

void TakeCarFromAutopilot(int c)
{
    if (gAutopilot[c].driving)
        HoldKeys(c, false, false, false, false);
    gAutopilot[c].driving = false;
    gAutopilot[c].idleFrames = 0;
}

void HandCarToAutopilot(int c, bool on)
{
    if (!on) {
        TakeCarFromAutopilot(c);
    } else if (!gAutopilot[c].driving) {
        gAutopilot[c].driving = true;
        PickTarget(gAutopilot[c]);
    }
}

static void DriveCar(int c, AutopilotCar& a)
{
    dBodyID chassis = gCars[c].chassis.body;
    if (IsCarOverturned(c)) {
        HoldKeys(c, false, false, false, false);
        if (++a.overturnedFrames >= kOverturnedFrames) {
            SetCarUpright(c);
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
        HoldKeys(c, false, true, right, left);  // backing out turns the other way
        return;
    }
    bool crawling = CarGroundSpeed(c) < kStuckSpeed && gCarSpeed[c] > 100;
    a.slowFrames = crawling ? a.slowFrames + 1 : 0;
    if (a.slowFrames > kStuckFrames) {
        a.slowFrames = 0;
        a.reverseFrames = kBackOutFrames;
    }
    HoldKeys(c, true, false, left, right);
}

// While the autopilot does not drive car c, its held keys are a person's.
static bool IsCarKeyHeld(int c)
{
    for (unsigned vk = 0; vk < unsigned(kKeyCount); ++vk)
        if (gKeys[vk] && IsKeyOfCar(vk, c))
            return true;
    return false;
}

void UpdateAutopilot(bool takeIdleCars, bool heldKeysStay)
{
    for (int c = 0; c < kCarCount; ++c) {
        AutopilotCar& a = gAutopilot[c];
        if (!a.driving) {
            if (!takeIdleCars || ++a.idleFrames < kAutopilotIdleFrames || (heldKeysStay && IsCarKeyHeld(c)))
                continue;
            a.driving = true;
            PickTarget(a);
        }
        DriveCar(c, a);
    }
}

void WriteAutopilotState(ByteWriter& out)
{
    for (const AutopilotCar& a : gAutopilot) {
        PutInt64(out, a.idleFrames);
        PutUint8(out, a.driving);
        PutFloats(out, a.target, 2);
        for (long frames : {a.targetFrames, a.slowFrames, a.reverseFrames, a.overturnedFrames})
            PutInt64(out, frames);
    }
    PutUint32(out, gAutopilotSeed);
    PutUint32(out, gAutopilotRandom);
}

void ReadAutopilotState(ByteReader& in)
{
    for (AutopilotCar& a : gAutopilot) {
        a.idleFrames = long(TakeInt64(in));
        a.driving = TakeUint8(in) != 0;
        TakeFloats(in, a.target, 2);
        for (long* frames : {&a.targetFrames, &a.slowFrames, &a.reverseFrames, &a.overturnedFrames})
            *frames = long(TakeInt64(in));
    }
    gAutopilotSeed = TakeUint32(in);
    gAutopilotRandom = TakeUint32(in);
}

void FeedAutopilotState(StateHash& hash)
{
    for (const AutopilotCar& a : gAutopilot) {
        FeedInt64(hash, a.idleFrames);
        FeedBool(hash, a.driving);
        FeedFloat(hash, a.target[0]);
        FeedFloat(hash, a.target[1]);
        FeedInt64(hash, a.targetFrames);
        FeedInt64(hash, a.slowFrames);
        FeedInt64(hash, a.reverseFrames);
        FeedInt64(hash, a.overturnedFrames);
    }
    FeedUint32(hash, gAutopilotRandom);
}
