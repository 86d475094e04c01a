// Keys to motor targets, and what the cars do with them.
#include <doctest/doctest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "SceneHelpers.h"
#include "app/Autopilot.h"
#include "app/Commands.h"
#include "app/Controls.h"
#include "app/Gamepad.h"
#include "app/Input.h"
#include "app/Keyboard.h"
#include "app/Settings.h"
#include "physics/Step.h"
#include "physics/Upright.h"
#include "platform/Platform.h"

// A person's key goes down or up and does what it does at once, as when its frame comes.
static void Key(unsigned vk, bool down)
{
    KeyboardState keyboard = {};
    keyboard.held[vk] = !down;
    Command command;
    if (TranslateKey(keyboard, vk, down, gFramesRun + 1, &command))
        ApplyCommand(command);
}

static void Hold(unsigned vk)
{
    Key(vk, true);
}

static void Release(unsigned vk)
{
    Key(vk, false);
}

// A pad shows a state, and the frame that follows takes it.
static void ShowPad(long padId, const PadState& state)
{
    HandlePadState(padId, state);
    RunFrames(1);
}

static void PullPad(long padId)
{
    HandlePadGone(padId);
    RunFrames(1);
}

TEST_CASE("the key table steps the targets within their limits")
{
    StartScene();
    SUBCASE("no key held: every target is 0")
    {
        gCarSpeed[1] = 300;
        gCarSteer[2] = 0.2f;
        UpdateCarControls();
        for (int c = 0; c < kCarCount; ++c) {
            CHECK(gCarSpeed[c] == 0);
            CHECK(gCarSteer[c] == 0);
        }
    }
    SUBCASE("speed climbs by 5 to exactly 1000 and stays")
    {
        Hold('W');
        UpdateCarControls();
        CHECK(gCarSpeed[1] == 5);
        for (int i = 1; i < 199; ++i)
            UpdateCarControls();
        CHECK(gCarSpeed[1] == 995);
        UpdateCarControls();
        CHECK(gCarSpeed[1] == 1000);
        UpdateCarControls();
        CHECK(gCarSpeed[1] == 1000);
        CHECK(gCarSpeed[0] == 0);
        // Both speed keys: 1000 falls once to 995 and then holds.
        Hold('S');
        UpdateCarControls();
        CHECK(gCarSpeed[1] == 995);
        UpdateCarControls();
        CHECK(gCarSpeed[1] == 995);
        // Letting go of the key of the current direction zeroes the target in that frame, and the
        // other key still held takes it on into reverse.
        Release('W');
        UpdateCarControls();
        CHECK(gCarSpeed[1] == -5);
        Release('S');
        UpdateCarControls();
        CHECK(gCarSpeed[1] == 0);
    }
    SUBCASE("reverse stops at -1000, and both keys there hold it")
    {
        Hold('K');
        for (int i = 0; i < 250; ++i)
            UpdateCarControls();
        CHECK(gCarSpeed[2] == -1000);
        Hold('I');
        UpdateCarControls();
        CHECK(gCarSpeed[2] == -1000);
    }
    SUBCASE("steering eases in by 0.001 up to one step past 0.5 and snaps back")
    {
        Hold(kVkLeft);
        UpdateCarControls();
        CHECK(gCarSteer[0] == 0.001f);
        UpdateCarControls();
        CHECK(gCarSteer[0] == float(0.001f + 0.001));
        for (int i = 0; i < 600; ++i)
            UpdateCarControls();
        CHECK(gCarSteer[0] >= 0.5f);
        CHECK(gCarSteer[0] < 0.5f + 0.001f);
        // Both steering keys: the raise key wins.
        Hold(kVkRight);
        float before = gCarSteer[0];
        UpdateCarControls();
        CHECK(gCarSteer[0] == before);
        Release(kVkLeft);
        UpdateCarControls();
        CHECK(gCarSteer[0] == float(before - 0.001));
        Release(kVkRight);
        UpdateCarControls();
        CHECK(gCarSteer[0] == 0);
    }
    SUBCASE("space stops car 0 only, whatever arrows are held")
    {
        Hold(kVkUp);
        Hold(kVkLeft);
        Hold('W');
        Hold('A');
        for (int i = 0; i < 20; ++i)
            UpdateCarControls();
        Hold(kVkSpace);
        UpdateCarControls();
        CHECK(gCarSpeed[0] == 0);
        CHECK(gCarSteer[0] == 0);
        CHECK(gCarSpeed[1] == 105);
        CHECK(gCarSteer[1] == doctest::Approx(0.021));
    }
    EndScene();
}

TEST_CASE("the space bar drives car 0's front hubs while held")
{
    StartScene();
    const Car& car = gCars[0];
    Hold(kVkSpace);
    Hold(kVkSpace);  // auto-repeat sets the same again
    for (dJointID hub : {car.leftHubHinge, car.rightHubHinge}) {
        CHECK(dJointGetHingeParam(hub, dParamVel) == 5.0f);
        CHECK(dJointGetHingeParam(hub, dParamFMax) == 5.0f);
    }
    CHECK(dJointGetHingeParam(gCars[1].leftHubHinge, dParamFMax) == 0);
    RunFrames(20);
    CHECK(dJointGetHingeAngleRate(car.leftHubHinge) > 1);
    Release(kVkSpace);
    CHECK(!gKeys[kVkSpace]);
    for (dJointID hub : {car.leftHubHinge, car.rightHubHinge}) {
        CHECK(dJointGetHingeParam(hub, dParamVel) == 5.0f);
        CHECK(dJointGetHingeParam(hub, dParamFMax) == 0);
    }
    EndScene();
}

TEST_CASE("keys the table does not know, or that come before the cars exist, do no harm")
{
    HandleKeyDown(kVkSpace);  // no world yet
    HandleKeyUp(kVkSpace);
    HandleKeyDown(256);
    HandleKeyDown(0xFFFFFFFFu);
    HandleKeyUp(300);
    StartScene();
    Hold(0x70);  // F1
    UpdateCarControls();
    for (int c = 0; c < kCarCount; ++c)
        CHECK(gCarSpeed[c] == 0);
    for (int i = 0; i < 5; ++i)
        Hold(kVkCamera);
    CHECK(gCameraMode == 1);
    Hold(kVkCamera);
    CHECK(gCameraMode == 2);
    EndScene();
}

TEST_CASE("held keys drive, steer and lift the cars")
{
    StartScene();
    RunFrames(500);
    const dReal* car0 = dBodyGetPosition(gCars[0].chassis.body);
    const double start0[3] = {car0[0], car0[1], car0[2]};
    const double start1[2] = {dBodyGetPosition(gCars[1].chassis.body)[0], dBodyGetPosition(gCars[1].chassis.body)[1]};

    SUBCASE("the up arrow drives car 0 along +x, the others stay put")
    {
        Hold(kVkUp);
        RunFrames(200);
        CHECK(car0[0] - start0[0] > 2);
        CHECK(std::abs(car0[1] - start0[1]) < 0.5);
        CHECK(dBodyGetLinearVel(gCars[0].chassis.body)[0] > 0.3);
        const dReal* car1 = dBodyGetPosition(gCars[1].chassis.body);
        CHECK(std::abs(car1[0] - start1[0]) < 0.1);
        CHECK(std::abs(car1[1] - start1[1]) < 0.1);
    }
    SUBCASE("steering with the left arrow turns car 0 toward its left")
    {
        Hold(kVkUp);
        Hold(kVkLeft);
        RunFrames(400);
        const dReal* r = dBodyGetRotation(gCars[0].chassis.body);
        CHECK(r[4] > 0.1);  // the car's forward axis now points toward +y
        CHECK(car0[1] - start0[1] > 0.5);
    }
    SUBCASE("the lift key raises the cabin, and the force stops with the key")
    {
        Hold('M');
        UpdateCarControls();
        CHECK(dBodyGetForce(gCars[0].cabin.body)[2] == 25);
        StepSimulation();
        RunFrames(40);
        CHECK(dBodyGetPosition(gCars[0].cabin.body)[2] > start0[2] + 2);
        Release('M');
        UpdateCarControls();
        CHECK(dBodyGetForce(gCars[0].cabin.body)[2] == 0);
        CHECK(dBodyGetForce(gCars[1].cabin.body)[2] == 0);
    }
    EndScene();
}

TEST_CASE("the autopilot: cars left alone drive off, stay in the world, and a key hands a car back")
{
    StartScene();
    gSettings.autopilot = true;
    StartAutopilot(42);
    dVector3 start[kCarCount];
    for (int c = 0; c < kCarCount; ++c)
        std::copy(dBodyGetPosition(gCars[c].chassis.body), dBodyGetPosition(gCars[c].chassis.body) + 3, start[c]);
    RunFrames(int(kAutopilotIdleFrames) - 1);
    for (const AutopilotCar& a : gAutopilot)
        CHECK(!a.driving);  // not before they have been left alone for a while
    RunFrames(3000);
    for (int c = 0; c < kCarCount; ++c) {
        CAPTURE(c);
        CHECK(gAutopilot[c].driving);
        const dReal* p = dBodyGetPosition(gCars[c].chassis.body);
        CHECK(std::hypot(p[0] - start[c][0], p[1] - start[c][1]) > 50);
    }

    // A person presses car 0's key: the autopilot lets go of the car at once, and of its keys.
    Hold(kVkDown);
    CHECK(!gAutopilot[0].driving);
    CHECK(!gKeys[kVkUp]);
    CHECK(gKeys[kVkDown]);
    CHECK(gAutopilot[1].driving);
    Release(kVkDown);
    RunFrames(int(kAutopilotIdleFrames) - 1);
    CHECK(!gAutopilot[0].driving);
    CHECK(!gKeys[kVkUp]);
    EndScene();
}

// Chassis positions after frames of the autopilot from the built world.
static std::vector<dReal> AutopilotTrace(uint32_t seed, int frames)
{
    StartScene();
    gSettings.autopilot = true;
    StartAutopilot(seed);
    std::vector<dReal> trace;
    for (int f = 0; f < frames; f += 100) {
        RunFrames(100);
        for (const Car& car : gCars)
            trace.insert(trace.end(), dBodyGetPosition(car.chassis.body), dBodyGetPosition(car.chassis.body) + 3);
    }
    std::vector<dBodyID> bodies = CollectBodies();
    for (dBodyID b : bodies)
        CHECK(IsFinite(b));
    EndScene();
    return trace;
}

TEST_CASE("the autopilot's run is the same for the same seed, and keeps every car in the world")
{
    std::vector<dReal> first = AutopilotTrace(7, 20000);
    CHECK(first == AutopilotTrace(7, 20000));
    CHECK(first != AutopilotTrace(8, 20000));
    for (size_t i = 0; i < first.size(); i += 3) {
        CHECK(std::fabs(first[i]) < 2000);
        CHECK(std::fabs(first[i + 1]) < 2000);
    }
}

TEST_CASE("R sets a car that has turned over back on its wheels, whole, and it drives again")
{
    StartScene();
    RunFrames(100);
    // Lift car 1's left side until it lies on its side or roof.
    for (int i = 0; i < 400 && !IsCarOverturned(1); ++i) {
        dBodyAddForceAtRelPos(gCars[1].chassis.body, 0, 0, 400, 0, 2.5, 0);
        RunFrames(1);
    }
    REQUIRE(IsCarOverturned(1));
    CHECK(!IsCarOverturned(0));
    const dReal* untouched = dBodyGetPosition(gCars[0].chassis.body);
    const dVector3 car0 = {untouched[0], untouched[1], untouched[2], 0};

    // No joint torn: every part moves with the chassis, so each joint's two anchors keep their gap (the
    // suspension's give), and it shrinks back as the car settles.
    auto wheelGap = [] {
        dVector3 onChassis, onWheel;
        dJointGetHinge2Anchor(gCars[1].rearLeftHinge2, onChassis);
        dJointGetHinge2Anchor2(gCars[1].rearLeftHinge2, onWheel);
        return std::hypot(onChassis[0] - onWheel[0], onChassis[1] - onWheel[1], onChassis[2] - onWheel[2]);
    };
    const dReal gap = wheelGap();
    Hold(kVkUprightCars);
    Release(kVkUprightCars);
    CHECK(!IsCarOverturned(1));
    CHECK(wheelGap() == doctest::Approx(gap).epsilon(0.001));
    CHECK(std::equal(car0, car0 + 3, dBodyGetPosition(gCars[0].chassis.body)));  // one on its wheels stays

    RunFrames(200);
    CHECK(!IsCarOverturned(1));
    CHECK(wheelGap() < 1.5);
    const dReal* settled = dBodyGetPosition(gCars[1].chassis.body);
    const dVector3 before = {settled[0], settled[1], settled[2], 0};
    Hold('W');
    RunFrames(300);
    const dReal* after = dBodyGetPosition(gCars[1].chassis.body);
    CHECK(std::hypot(after[0] - before[0], after[1] - before[1]) > 5);
    CHECK(!IsCarOverturned(1));
    EndScene();
}

TEST_CASE("a pad drives its own car through that car's keys, and lets them go as it changes")
{
    StartScene();
    ShowPad(10, {-1, true, false, false, false, false, false, false});  // stick full left, right trigger
    CHECK((gKeys[kVkLeft] && gKeys[kVkUp] && !gKeys[kVkRight] && !gKeys['A']));
    ShowPad(10, {0.2f, true, false, false, true, false, false, false});  // inside the dead zone; X brakes car 0
    CHECK((!gKeys[kVkLeft] && !gKeys[kVkRight] && gKeys[kVkSpace]));
    RunFrames(10);
    CHECK(gCarSpeed[0] == 0);
    ShowPad(11, {0.9f, false, true, true, true, false, false, false});  // the second pad: car 1; its X is nothing
    CHECK((gKeys['D'] && gKeys['S'] && gKeys['Q'] && !gKeys['W']));
    ShowPad(11, {0.9f, false, true, true, true, false, true, false});  // the d-pad overrules the stick
    CHECK((gKeys['A'] && !gKeys['D']));
    PullPad(10);
    CHECK((!gKeys[kVkUp] && !gKeys[kVkSpace]));
    CHECK(gKeys['S']);
    // A key held on the keyboard stays held while the pad does nothing.
    Hold('I');
    ShowPad(12, PadState{});
    CHECK(gKeys['I']);
    EndScene();
}

TEST_CASE("pads take the cars in the order they come; a fourth waits for one to go; closing lets all go")
{
    StartScene();
    const PadState forward = {0, 1, 0, false, false, false, false, false};
    for (long id : {7, 3, 9})
        ShowPad(id, forward);
    CHECK((gKeys[kVkUp] && gKeys['W'] && gKeys['I']));
    ShowPad(5, {0, 0, 1, false, false, false, false, false});  // a fourth: no car, nothing held
    CHECK((!gKeys[kVkDown] && !gKeys['S'] && !gKeys['K']));
    PullPad(3);  // car 1's pad goes: its keys come up, and the waiting pad takes car 1 as it shows itself
    CHECK((!gKeys['W'] && gKeys[kVkUp] && gKeys['I']));
    ShowPad(5, {0, 0, 1, false, false, false, false, false});
    CHECK((gKeys['S'] && !gKeys[kVkDown] && !gKeys['K']));
    PullPad(42);  // a pad never seen
    CHECK(gKeys['S']);
    ReleasePads();
    RunFrames(1);
    CHECK((!gKeys[kVkUp] && !gKeys['S'] && !gKeys['I']));
    ShowPad(9, forward);  // back: the first free car
    CHECK((gKeys[kVkUp] && !gKeys['I']));
    EndScene();
}

// The numbers are written out, not taken from the constants: moving a threshold must fail here.
TEST_CASE("a pad's stick and triggers hold keys only past their thresholds")
{
    StartScene();
    auto steered = [](float steer) {
        ShowPad(0, {steer, 0, 0, false, false, false, false, false});
        return gKeys[kVkLeft] ? -1 : gKeys[kVkRight] ? 1 : 0;
    };
    CHECK(steered(-0.35f) == 0);  // the dead zone's edge is still inside it
    CHECK(steered(-0.36f) == -1);
    CHECK(steered(0.35f) == 0);
    CHECK(steered(0.36f) == 1);
    auto driven = [](float forward, float backward) {
        ShowPad(0, {0, forward, backward, false, false, false, false, false});
        return gKeys[kVkUp] ? 1 : gKeys[kVkDown] ? -1 : 0;
    };
    CHECK(driven(1.0f / 3, 0) == 0);  // a third of the travel does not hold the key yet
    CHECK(driven(0.34f, 0) == 1);
    CHECK(driven(0, 1.0f / 3) == 0);
    CHECK(driven(0, 0.34f) == -1);
    // The d-pad steers fully whatever the stick says, either way.
    ShowPad(0, {-1, 0, 0, false, false, false, false, true});
    CHECK((gKeys[kVkRight] && !gKeys[kVkLeft]));
    ShowPad(0, {1, 0, 0, false, false, false, true, false});
    CHECK((gKeys[kVkLeft] && !gKeys[kVkRight]));
    PullPad(0);
    CHECK((!gKeys[kVkLeft] && !gKeys[kVkRight] && !gKeys[kVkUp] && !gKeys[kVkDown]));
    EndScene();
}

TEST_CASE("a pad takes its car back from the autopilot, and its Y rights that car")
{
    StartScene();
    gSettings.autopilot = true;
    StartAutopilot(3);
    RunFrames(int(kAutopilotIdleFrames) + 10);
    REQUIRE(gAutopilot[2].driving);
    ShowPad(20, PadState{});
    ShowPad(21, PadState{});
    ShowPad(22, {0, false, true, false, false, false, false, false});  // the third pad: car 2
    CHECK(!gAutopilot[2].driving);
    CHECK(!gKeys['I']);
    CHECK(gKeys['K']);
    ShowPad(22, PadState{});

    for (int i = 0; i < 400 && !IsCarOverturned(2); ++i) {
        dBodyAddForceAtRelPos(gCars[2].chassis.body, 0, 0, 400, 0, 2.5, 0);
        RunFrames(1);
    }
    REQUIRE(IsCarOverturned(2));
    ShowPad(21, {0, false, false, false, false, true, false, false});  // another pad's Y leaves car 2 alone
    CHECK(IsCarOverturned(2));
    ShowPad(22, {0, false, false, false, false, true, false, false});
    CHECK(!IsCarOverturned(2));
    EndScene();
}
