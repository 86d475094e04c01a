// The state hash: every covered item moves it, it is a function of the state alone, and two runs
// alike hash alike.
#include <doctest/doctest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#include "SceneHelpers.h"
#include "sim/Autopilot.h"
#include "record/KeyTable.h"
#include "app/Input.h"
#include "app/Settings.h"
#include "sim/StateHash.h"
#include "physics/Car.h"
#include "physics/Step.h"

// The change shows in the hash, and undoing it gives the hash back.
static void CheckNoticed(const std::function<void()>& change, const std::function<void()>& undo)
{
    uint64_t before = HashWorldState();
    change();
    CHECK(HashWorldState() != before);
    undo();
    CHECK(HashWorldState() == before);
}

static float NextUp(float x)
{
    return std::nextafter(x, INFINITY);
}

// Nudges one of three components held by ODE by one ulp, through its setter.
using SetThree = void (*)(dBodyID, dReal, dReal, dReal);
static void CheckEachComponentNoticed(dBodyID body, const dReal* (*get)(dBodyID), SetThree set)
{
    const dReal* now = get(body);
    const dReal was[3] = {now[0], now[1], now[2]};
    for (int i = 0; i < 3; ++i) {
        CAPTURE(i);
        dReal moved[3] = {was[0], was[1], was[2]};
        moved[i] = NextUp(moved[i]);
        CheckNoticed([&] { set(body, moved[0], moved[1], moved[2]); },
                     [&] { set(body, was[0], was[1], was[2]); });
    }
}

static void StartAutopilotRun(long frames)
{
    StartAutopilotScene(5);
    RunFrames(frames);
}

TEST_CASE("the hash is FNV-1a 64 fed integers little-endian and floats by their bits")
{
    // The published FNV-1a 64 value of "foobar", fed byte by byte and as a little-endian word.
    StateHash bytes{kFnvOffsetBasis}, word{kFnvOffsetBasis};
    for (char c : {'f', 'o', 'o', 'b', 'a', 'r'})
        FeedByte(bytes, uint8_t(c));
    CHECK(bytes.value == 0x85944171f73967e8ull);
    FeedUint32(word, 0x626f6f66);  // "foob"
    FeedByte(word, 'a');
    FeedByte(word, 'r');
    CHECK(word.value == bytes.value);
    StateHash wide{kFnvOffsetBasis};
    FeedInt64(wide, 0x7261626f6f66);  // "foobar" and two zero bytes
    FeedByte(bytes, 0);
    FeedByte(bytes, 0);
    CHECK(wide.value == bytes.value);

    // Equal values with different bits hash apart.
    StateHash zero{kFnvOffsetBasis}, negativeZero{kFnvOffsetBasis};
    FeedFloat(zero, 0.0f);
    FeedFloat(negativeZero, -0.0f);
    CHECK(zero.value != negativeZero.value);
}

TEST_CASE("two runs with the same seed hash alike frame by frame, and the frames move the hash")
{
    const long kFrames[] = {0, 1, 150, 400};  // the autopilot takes the cars at frame 300
    uint64_t first[4], second[4];
    for (uint64_t* hashes : {first, second}) {
        StartAutopilotRun(0);
        long done = 0;
        for (int i = 0; i < 4; ++i) {
            RunFrames(kFrames[i] - done);
            done = kFrames[i];
            hashes[i] = HashWorldState();
        }
        EndScene();
    }
    for (int i = 0; i < 4; ++i) {
        CAPTURE(kFrames[i]);
        CHECK(first[i] == second[i]);
        if (i > 0)
            CHECK(first[i] != first[i - 1]);
    }
}

TEST_CASE("every body's position, velocities and enabled flag move the hash")
{
    // Some bodies asleep, the cars driven by the autopilot.
    StartAutopilotRun(350);
    std::vector<dBodyID> bodies = CollectBodies(gSim.scene);
    int asleep = 0;
    for (size_t b = 0; b < bodies.size(); ++b) {
        CAPTURE(b);
        dBodyID body = bodies[b];
        CheckEachComponentNoticed(body, dBodyGetPosition, dBodySetPosition);
        CheckEachComponentNoticed(body, dBodyGetLinearVel, dBodySetLinearVel);
        CheckEachComponentNoticed(body, dBodyGetAngularVel, dBodySetAngularVel);
        if (dBodyIsEnabled(body)) {
            CheckNoticed([&] { dBodyDisable(body); }, [&] { dBodyEnable(body); });
        } else {
            ++asleep;
            CheckNoticed([&] { dBodyEnable(body); }, [&] { dBodyDisable(body); });
        }
    }
    CHECK(asleep > 0);
    EndScene();
}

TEST_CASE("every body's orientation moves the hash, each quaternion component")
{
    // At the start every body stands unrotated: the identity is set back exactly, where ODE's
    // renormalising would move a later orientation's bits.
    StartScene();
    const dQuaternion identity = {1, 0, 0, 0};
    for (dBodyID body : CollectBodies(gSim.scene)) {
        REQUIRE(std::memcmp(dBodyGetQuaternion(body), identity, sizeof identity) == 0);
        for (int axis = 0; axis < 3; ++axis) {  // turns change w and one of x, y, z
            CAPTURE(axis);
            dQuaternion turned;
            dReal direction[3] = {0, 0, 0};
            direction[axis] = 1;
            dQFromAxisAndAngle(turned, direction[0], direction[1], direction[2], 0.001f);
            CheckNoticed([&] { dBodySetQuaternion(body, turned); }, [&] { dBodySetQuaternion(body, identity); });
        }
    }
    EndScene();
}

TEST_CASE("the cars' targets, held keys and hub motors, the autopilot's cars and switch move the hash")
{
    StartAutopilotRun(350);
    for (int c = 0; c < kCarCount; ++c) {
        CAPTURE(c);
        for (float* target : {&gSim.targets.speed[c], &gSim.targets.steer[c]}) {
            float was = *target;
            CheckNoticed([&] { *target = NextUp(was); }, [&] { *target = was; });
        }
        const CarKeys& keys = kCarKeys[c];
        for (int vk : {keys.raiseSteer, keys.lowerSteer, keys.raiseSpeed, keys.lowerSpeed, keys.lift}) {
            CAPTURE(vk);
            bool was = HeldControl(vk);
            CheckNoticed([&] { HeldControl(vk) = !was; }, [&] { HeldControl(vk) = was; });
        }

        AutopilotCar& a = gSim.autopilot.cars[c];
        CHECK(a.driving);
        CheckNoticed([&] { a.driving = false; }, [&] { a.driving = true; });
        for (long* count : {&a.idleFrames, &a.targetFrames, &a.slowFrames, &a.reverseFrames, &a.overturnedFrames})
            CheckNoticed([&] { ++*count; }, [&] { --*count; });
        for (float& target : a.target) {
            float was = target;
            CheckNoticed([&] { target = NextUp(was); }, [&] { target = was; });
        }
    }
    CheckNoticed([] { HeldControl(kVkSpace) = true; }, [] { HeldControl(kVkSpace) = false; });
    for (dJointID hub : {gSim.scene.cars[0].leftHubHinge, gSim.scene.cars[0].rightHubHinge})
        for (int param : {dParamVel, dParamFMax}) {
            dReal was = dJointGetHingeParam(hub, param);
            CheckNoticed([&] { dJointSetHingeParam(hub, param, was + 1); },
                         [&] { dJointSetHingeParam(hub, param, was); });
        }
    CheckNoticed([] { SwitchAutopilot(false); }, [] { SwitchAutopilot(true); });
    EndScene();
}

TEST_CASE("the autopilot's generator moves the hash")
{
    // Starting the autopilot clears its cars, so only the seed differs.
    StartScene();
    StartAutopilot(5);
    CheckNoticed([] { StartAutopilot(6); }, [] { StartAutopilot(5); });
    EndScene();
}
