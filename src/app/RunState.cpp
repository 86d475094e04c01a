#include "app/RunState.h"

#include <algorithm>
#include <iterator>

#include "app/Autopilot.h"
#include "app/FrameStats.h"
#include "app/Gamepad.h"
#include "app/Input.h"
#include "app/Settings.h"
#include "app/WindowEvents.h"
#include "physics/Step.h"

bool gPreview;
bool gFullscreen = true;
bool gActive = true;
float gDesiredFps = 30.0f;
int gWindowWidth;
int gWindowHeight;

void ResetRunState()
{
    gPreview = false;
    gFullscreen = true;
    gActive = true;
    gDesiredFps = 30.0f;
    gWindowWidth = gWindowHeight = 0;
    gSettings = kDefaultSettings;
    std::fill(std::begin(gKeys), std::end(gKeys), false);
    gCameraMode = 1;
    gPaused = gStepRequested = gScreenshotRequested = false;
    std::fill(std::begin(gPadStates), std::end(gPadStates), PadState{});
    gMouseMoveCount = 1;
    gMouseRefX = gMouseRefY = 0;
    gFrameCount = 0;
    gLastStatTicks = 0;
    gStatsStarted = false;
    gFps = 0;
    gSleepTime = 0;
    gTitleText[0] = '\0';
    std::fill(std::begin(gCarSpeed), std::end(gCarSpeed), 0.0f);
    std::fill(std::begin(gCarSteer), std::end(gCarSteer), 0.0f);
    StartAutopilot(1);
}
