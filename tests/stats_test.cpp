// Frame statistics against a clock set by hand.
#include <doctest/doctest.h>

#include <cstring>
#include <string>

#include "SceneHelpers.h"
#include "app/FrameStats.h"
#include "app/RunState.h"
#include "physics/Car.h"
#include "platform/null/NullPlatform.h"
#include "physics/Driving.h"

static void ResetStats(uint32_t now)
{
    StartFreshProcess();
    gNull.tickCount = now;
}

// Runs frames evenly over the given milliseconds after the current clock.
static void RunFramesOver(int frames, uint32_t ms)
{
    uint32_t start = gNull.tickCount;
    for (int i = 1; i <= frames; ++i) {
        gNull.tickCount = start + uint32_t(uint64_t(ms) * i / frames);
        UpdateFrameStats();
    }
}

TEST_CASE("the first figure comes ten seconds after the first frame and counts the real time")
{
    ResetStats(123456789);
    UpdateFrameStats();
    CHECK(gNull.windowTitle[0] == '\0');
    RunFramesOver(300, 10000);  // exactly ten seconds: not yet
    CHECK(gNull.windowTitle[0] == '\0');
    CHECK(gFps == 0);
    RunFramesOver(1, 1);
    CHECK(gFps == doctest::Approx(301 / 10.001));
    CHECK(std::string(gNull.windowTitle) == "FPS: 30.1");
    CHECK(gSleepTime == 0);
    // The next interval starts at that update, and a late update divides by the time really passed.
    RunFramesOver(449, 9999);
    RunFramesOver(1, 5001);
    CHECK(gFps == doctest::Approx(30));
}

TEST_CASE("the sleep-time figure moves by 10 outside a band of 10 around the desired rate")
{
    ResetStats(0);
    UpdateFrameStats();
    // One update each, just over ten seconds apart.
    RunFramesOver(450, 10001);  // 45 frames per second
    CHECK(gSleepTime == 10);
    RunFramesOver(450, 10001);
    CHECK(gSleepTime == 20);
    RunFramesOver(250, 10001);  // 25: inside the band
    CHECK(gSleepTime == 20);
    RunFramesOver(190, 10001);  // 19
    CHECK(gSleepTime == 10);
    RunFramesOver(190, 10001);
    RunFramesOver(190, 10001);
    CHECK(gSleepTime == 0);
    CHECK(std::string(gNull.windowTitle) == "FPS: 19.0");
}

TEST_CASE("statistics go on across a tick-count wrap, and the title never overflows")
{
    ResetStats(0xFFFFF000u);
    UpdateFrameStats();
    RunFramesOver(300, 10001);  // the clock wraps on the way
    CHECK(gNull.tickCount < 0x10000u);
    CHECK(gFps == doctest::Approx(300 / 10.001));
    // An absurd rate still fits the 20-byte title.
    RunFramesOver(1, 1);
    gFrameCount = 3.0e38f;
    RunFramesOver(1, 10001);
    CHECK(std::strlen(gTitleText) == sizeof gTitleText - 1);
    CHECK(std::string(gNull.windowTitle).rfind("FPS: ", 0) == 0);
}

TEST_CASE("the overlay's speeds are over the ground only")
{
    StartScene();
    dBodySetLinearVel(gSim.scene.cars[0].chassis.body, 3, 4, 12);
    dBodySetLinearVel(gSim.scene.cars[1].chassis.body, 0, 0, -5);
    CHECK(CarGroundSpeed(gSim.scene, 0) == 5);
    CHECK(CarGroundSpeed(gSim.scene, 1) == 0);
    EndScene();
}
