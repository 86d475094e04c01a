// Keys to motor targets, and what the cars do with them.
#include <doctest/doctest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "SceneHelpers.h"
#include "sim/Autopilot.h"
#include "app/Commands.h"
#include "record/KeyTable.h"
#include "app/LiveInput.h"
#include "input/Pads.h"
#include "app/Input.h"
#include "input/Keyboard.h"
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
    if (!TranslateKey(keyboard, vk, down, gSim.frame + 1, &command))
        return;
    if (kCommandTable[int(command.kind)].reach == CommandReach::kThisMachine)
        ApplyMachineCommand(command);
    else
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
        gSim.targets.speed[1] = 300;
        gSim.targets.steer[2] = 0.2f;
        DriveHeldControls();
        for (int c = 0; c < kCarCount; ++c) {
            CHECK(gSim.targets.speed[c] == 0);
            CHECK(gSim.targets.steer[c] == 0);
        }
    }
    SUBCASE("speed climbs by 5 to exactly 1000 and stays")
    {
        Hold('W');
        DriveHeldControls();
        CHECK(gSim.targets.speed[1] == 5);
        for (int i = 1; i < 199; ++i)
            DriveHeldControls();
        CHECK(gSim.targets.speed[1] == 995);
        DriveHeldControls();
        CHECK(gSim.targets.speed[1] == 1000);
        DriveHeldControls();
        CHECK(gSim.targets.speed[1] == 1000);
        CHECK(gSim.targets.speed[0] == 0);
        // Both speed keys: 1000 falls once to 995 and then holds.
        Hold('S');
        DriveHeldControls();
        CHECK(gSim.targets.speed[1] == 995);
        DriveHeldControls();
        CHECK(gSim.targets.speed[1] == 995);
        // Letting go of the key of the current direction zeroes the target in that frame, and the
        // other key still held takes it on into reverse.
        Release('W');
        DriveHeldControls();
        CHECK(gSim.targets.speed[1] == -5);
        Release('S');
        DriveHeldControls();
        CHECK(gSim.targets.speed[1] == 0);
    }
    SUBCASE("reverse stops at -1000, and both keys there hold it")
    {
        Hold('K');
        for (int i = 0; i < 250; ++i)
            DriveHeldControls();
        CHECK(gSim.targets.speed[2] == -1000);
        Hold('I');
        DriveHeldControls();
        CHECK(gSim.targets.speed[2] == -1000);
    }
    SUBCASE("steering eases in by 0.001 up to one step past 0.5 and snaps back")
    {
        Hold(kVkLeft);
        DriveHeldControls();
        CHECK(gSim.targets.steer[0] == 0.001f);
        DriveHeldControls();
        CHECK(gSim.targets.steer[0] == float(0.001f + 0.001));
        for (int i = 0; i < 600; ++i)
            DriveHeldControls();
        CHECK(gSim.targets.steer[0] >= 0.5f);
        CHECK(gSim.targets.steer[0] < 0.5f + 0.001f);
        // Both steering keys: the raise key wins.
        Hold(kVkRight);
        float before = gSim.targets.steer[0];
        DriveHeldControls();
        CHECK(gSim.targets.steer[0] == before);
        Release(kVkLeft);
        DriveHeldControls();
        CHECK(gSim.targets.steer[0] == float(before - 0.001));
        Release(kVkRight);
        DriveHeldControls();
        CHECK(gSim.targets.steer[0] == 0);
    }
    SUBCASE("space stops car 0 only, whatever arrows are held")
    {
        Hold(kVkUp);
        Hold(kVkLeft);
        Hold('W');
        Hold('A');
        for (int i = 0; i < 20; ++i)
            DriveHeldControls();
        Hold(kVkSpace);
        DriveHeldControls();
        CHECK(gSim.targets.speed[0] == 0);
        CHECK(gSim.targets.steer[0] == 0);
        CHECK(gSim.targets.speed[1] == 105);
        CHECK(gSim.targets.steer[1] == doctest::Approx(0.021));
    }
    EndScene();
}

TEST_CASE("the space bar drives car 0's front hubs while held")
{
    StartScene();
    const Car& car = gSim.scene.cars[0];
    Hold(kVkSpace);
    Hold(kVkSpace);  // auto-repeat sets the same again
    for (dJointID hub : {car.leftHubHinge, car.rightHubHinge}) {
        CHECK(dJointGetHingeParam(hub, dParamVel) == 5.0f);
        CHECK(dJointGetHingeParam(hub, dParamFMax) == 5.0f);
    }
    CHECK(dJointGetHingeParam(gSim.scene.cars[1].leftHubHinge, dParamFMax) == 0);
    RunFrames(20);
    CHECK(dJointGetHingeAngleRate(car.leftHubHinge) > 1);
    Release(kVkSpace);
    CHECK(!HeldControl(kVkSpace));
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
    DriveHeldControls();
    for (int c = 0; c < kCarCount; ++c)
        CHECK(gSim.targets.speed[c] == 0);
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
    const dReal* car0 = dBodyGetPosition(gSim.scene.cars[0].chassis.body);
    const double start0[3] = {car0[0], car0[1], car0[2]};
    const double start1[2] = {dBodyGetPosition(gSim.scene.cars[1].chassis.body)[0], dBodyGetPosition(gSim.scene.cars[1].chassis.body)[1]};

    SUBCASE("the up arrow drives car 0 along +x, the others stay put")
    {
        Hold(kVkUp);
        RunFrames(200);
        CHECK(car0[0] - start0[0] > 2);
        CHECK(std::abs(car0[1] - start0[1]) < 0.5);
        CHECK(dBodyGetLinearVel(gSim.scene.cars[0].chassis.body)[0] > 0.3);
        const dReal* car1 = dBodyGetPosition(gSim.scene.cars[1].chassis.body);
        CHECK(std::abs(car1[0] - start1[0]) < 0.1);
        CHECK(std::abs(car1[1] - start1[1]) < 0.1);
    }
    SUBCASE("steering with the left arrow turns car 0 toward its left")
    {
        Hold(kVkUp);
        Hold(kVkLeft);
        RunFrames(400);
        const dReal* r = dBodyGetRotation(gSim.scene.cars[0].chassis.body);
        CHECK(r[4] > 0.1);  // the car's forward axis now points toward +y
        CHECK(car0[1] - start0[1] > 0.5);
    }
    SUBCASE("the lift key raises the cabin, and the force stops with the key")
    {
        Hold('M');
        DriveHeldControls();
        CHECK(dBodyGetForce(gSim.scene.cars[0].cabin.body)[2] == 25);
        StepSimulation(gSim.scene, gSim.targets);
        RunFrames(40);
        CHECK(dBodyGetPosition(gSim.scene.cars[0].cabin.body)[2] > start0[2] + 2);
        Release('M');
        DriveHeldControls();
        CHECK(dBodyGetForce(gSim.scene.cars[0].cabin.body)[2] == 0);
        CHECK(dBodyGetForce(gSim.scene.cars[1].cabin.body)[2] == 0);
    }
    EndScene();
}

TEST_CASE("the autopilot: cars left alone drive off, stay in the world, and a key hands a car back")
{
    StartScene();
    SwitchAutopilot(true);
    StartAutopilot(42);
    dVector3 start[kCarCount];
    for (int c = 0; c < kCarCount; ++c)
        std::copy(dBodyGetPosition(gSim.scene.cars[c].chassis.body), dBodyGetPosition(gSim.scene.cars[c].chassis.body) + 3, start[c]);
    RunFrames(int(kAutopilotIdleFrames) - 1);
    for (const AutopilotCar& a : gSim.autopilot.cars)
        CHECK(!a.driving);  // not before they have been left alone for a while
    RunFrames(3000);
    for (int c = 0; c < kCarCount; ++c) {
        CAPTURE(c);
        CHECK(gSim.autopilot.cars[c].driving);
        const dReal* p = dBodyGetPosition(gSim.scene.cars[c].chassis.body);
        CHECK(std::hypot(p[0] - start[c][0], p[1] - start[c][1]) > 50);
    }

    // A person presses car 0's key: the autopilot lets go of the car at once, and of its keys.
    Hold(kVkDown);
    CHECK(!gSim.autopilot.cars[0].driving);
    CHECK(!HeldControl(kVkUp));
    CHECK(HeldControl(kVkDown));
    CHECK(gSim.autopilot.cars[1].driving);
    Release(kVkDown);
    RunFrames(int(kAutopilotIdleFrames) - 1);
    CHECK(!gSim.autopilot.cars[0].driving);
    CHECK(!HeldControl(kVkUp));
    EndScene();
}

// Chassis positions after frames of the autopilot from the built world.
static std::vector<dReal> AutopilotTrace(uint32_t seed, int frames)
{
    StartScene();
    SwitchAutopilot(true);
    StartAutopilot(seed);
    std::vector<dReal> trace;
    for (int f = 0; f < frames; f += 100) {
        RunFrames(100);
        for (const Car& car : gSim.scene.cars)
            trace.insert(trace.end(), dBodyGetPosition(car.chassis.body), dBodyGetPosition(car.chassis.body) + 3);
    }
    std::vector<dBodyID> bodies = CollectBodies(gSim.scene);
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
    for (int i = 0; i < 400 && !IsCarOverturned(gSim.scene, 1); ++i) {
        dBodyAddForceAtRelPos(gSim.scene.cars[1].chassis.body, 0, 0, 400, 0, 2.5, 0);
        RunFrames(1);
    }
    REQUIRE(IsCarOverturned(gSim.scene, 1));
    CHECK(!IsCarOverturned(gSim.scene, 0));
    const dReal* untouched = dBodyGetPosition(gSim.scene.cars[0].chassis.body);
    const dVector3 car0 = {untouched[0], untouched[1], untouched[2], 0};

    // No joint torn: every part moves with the chassis, so each joint's two anchors keep their gap (the
    // suspension's give), and it shrinks back as the car settles.
    auto wheelGap = [] {
        dVector3 onChassis, onWheel;
        dJointGetHinge2Anchor(gSim.scene.cars[1].rearLeftHinge2, onChassis);
        dJointGetHinge2Anchor2(gSim.scene.cars[1].rearLeftHinge2, onWheel);
        return std::hypot(onChassis[0] - onWheel[0], onChassis[1] - onWheel[1], onChassis[2] - onWheel[2]);
    };
    const dReal gap = wheelGap();
    Hold(kVkUprightCars);
    Release(kVkUprightCars);
    CHECK(!IsCarOverturned(gSim.scene, 1));
    CHECK(wheelGap() == doctest::Approx(gap).epsilon(0.001));
    CHECK(std::equal(car0, car0 + 3, dBodyGetPosition(gSim.scene.cars[0].chassis.body)));  // one on its wheels stays

    RunFrames(200);
    CHECK(!IsCarOverturned(gSim.scene, 1));
    CHECK(wheelGap() < 1.5);
    const dReal* settled = dBodyGetPosition(gSim.scene.cars[1].chassis.body);
    const dVector3 before = {settled[0], settled[1], settled[2], 0};
    Hold('W');
    RunFrames(300);
    const dReal* after = dBodyGetPosition(gSim.scene.cars[1].chassis.body);
    CHECK(std::hypot(after[0] - before[0], after[1] - before[1]) > 5);
    CHECK(!IsCarOverturned(gSim.scene, 1));
    EndScene();
}

TEST_CASE("a pad drives its own car through that car's keys, and lets them go as it changes")
{
    StartScene();
    ShowPad(10, {-1, true, false, false, false, false, false, false});  // stick full left, right trigger
    CHECK((HeldControl(kVkLeft) && HeldControl(kVkUp) && !HeldControl(kVkRight) && !HeldControl('A')));
    ShowPad(10, {0.2f, true, false, false, true, false, false, false});  // inside the dead zone; X brakes car 0
    CHECK((!HeldControl(kVkLeft) && !HeldControl(kVkRight) && HeldControl(kVkSpace)));
    RunFrames(10);
    CHECK(gSim.targets.speed[0] == 0);
    ShowPad(11, {0.9f, false, true, true, true, false, false, false});  // the second pad: car 1; its X is nothing
    CHECK((HeldControl('D') && HeldControl('S') && HeldControl('Q') && !HeldControl('W')));
    ShowPad(11, {0.9f, false, true, true, true, false, true, false});  // the d-pad overrules the stick
    CHECK((HeldControl('A') && !HeldControl('D')));
    PullPad(10);
    CHECK((!HeldControl(kVkUp) && !HeldControl(kVkSpace)));
    CHECK(HeldControl('S'));
    // A key held on the keyboard stays held while the pad does nothing.
    Hold('I');
    ShowPad(12, PadState{});
    CHECK(HeldControl('I'));
    EndScene();
}

TEST_CASE("pads take the cars in the order they come; a fourth waits for one to go; closing lets all go")
{
    StartScene();
    const PadState forward = {0, 1, 0, false, false, false, false, false};
    for (long id : {7, 3, 9})
        ShowPad(id, forward);
    CHECK((HeldControl(kVkUp) && HeldControl('W') && HeldControl('I')));
    ShowPad(5, {0, 0, 1, false, false, false, false, false});  // a fourth: no car, nothing held
    CHECK((!HeldControl(kVkDown) && !HeldControl('S') && !HeldControl('K')));
    PullPad(3);  // car 1's pad goes: its keys come up, and the waiting pad takes car 1 as it shows itself
    CHECK((!HeldControl('W') && HeldControl(kVkUp) && HeldControl('I')));
    ShowPad(5, {0, 0, 1, false, false, false, false, false});
    CHECK((HeldControl('S') && !HeldControl(kVkDown) && !HeldControl('K')));
    PullPad(42);  // a pad never seen
    CHECK(HeldControl('S'));
    ReleasePads();
    RunFrames(1);
    CHECK((!HeldControl(kVkUp) && !HeldControl('S') && !HeldControl('I')));
    ShowPad(9, forward);  // back: the first free car
    CHECK((HeldControl(kVkUp) && !HeldControl('I')));
    EndScene();
}

// The numbers are written out, not taken from the constants: moving a threshold must fail here.
TEST_CASE("a pad's stick and triggers hold keys only past their thresholds")
{
    StartScene();
    auto steered = [](float steer) {
        ShowPad(0, {steer, 0, 0, false, false, false, false, false});
        return HeldControl(kVkLeft) ? -1 : HeldControl(kVkRight) ? 1 : 0;
    };
    CHECK(steered(-0.35f) == 0);  // the dead zone's edge is still inside it
    CHECK(steered(-0.36f) == -1);
    CHECK(steered(0.35f) == 0);
    CHECK(steered(0.36f) == 1);
    auto driven = [](float forward, float backward) {
        ShowPad(0, {0, forward, backward, false, false, false, false, false});
        return HeldControl(kVkUp) ? 1 : HeldControl(kVkDown) ? -1 : 0;
    };
    CHECK(driven(1.0f / 3, 0) == 0);  // a third of the travel does not hold the key yet
    CHECK(driven(0.34f, 0) == 1);
    CHECK(driven(0, 1.0f / 3) == 0);
    CHECK(driven(0, 0.34f) == -1);
    // The d-pad steers fully whatever the stick says, either way.
    ShowPad(0, {-1, 0, 0, false, false, false, false, true});
    CHECK((HeldControl(kVkRight) && !HeldControl(kVkLeft)));
    ShowPad(0, {1, 0, 0, false, false, false, true, false});
    CHECK((HeldControl(kVkLeft) && !HeldControl(kVkRight)));
    PullPad(0);
    CHECK((!HeldControl(kVkLeft) && !HeldControl(kVkRight) && !HeldControl(kVkUp) && !HeldControl(kVkDown)));
    EndScene();
}

TEST_CASE("a pad takes its car back from the autopilot, and its Y rights that car")
{
    StartScene();
    SwitchAutopilot(true);
    StartAutopilot(3);
    RunFrames(int(kAutopilotIdleFrames) + 10);
    REQUIRE(gSim.autopilot.cars[2].driving);
    ShowPad(20, PadState{});
    ShowPad(21, PadState{});
    ShowPad(22, {0, false, true, false, false, false, false, false});  // the third pad: car 2
    CHECK(!gSim.autopilot.cars[2].driving);
    CHECK(!HeldControl('I'));
    CHECK(HeldControl('K'));
    ShowPad(22, PadState{});

    for (int i = 0; i < 400 && !IsCarOverturned(gSim.scene, 2); ++i) {
        dBodyAddForceAtRelPos(gSim.scene.cars[2].chassis.body, 0, 0, 400, 0, 2.5, 0);
        RunFrames(1);
    }
    REQUIRE(IsCarOverturned(gSim.scene, 2));
    ShowPad(21, {0, false, false, false, false, true, false, false});  // another pad's Y leaves car 2 alone
    CHECK(IsCarOverturned(gSim.scene, 2));
    ShowPad(22, {0, false, false, false, false, true, false, false});
    CHECK(!IsCarOverturned(gSim.scene, 2));
    EndScene();
}
