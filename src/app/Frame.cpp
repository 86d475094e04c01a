#include "app/Frame.h"

#include "app/Autopilot.h"
#include "app/Controls.h"
#include "app/FrameStats.h"
#include "app/Input.h"
#include "app/RunState.h"
#include "app/Screenshot.h"
#include "app/Settings.h"
#include "physics/Scene.h"
#include "physics/Step.h"
#include "platform/Platform.h"
#include "render/SceneView.h"

void BuildRunWorld()
{
    BuildWorld();
    gSettings.sGravity = kWorldGravity;
}

void DrawFrame()
{
    RenderFrame({gSettings.screenWidth, gSettings.screenHeight, gCameraMode,
                 {gFps, gSettings.sGravity, gSleepTime, gPaused}});
}

// Paused, the scene stands still and is drawn; N lets exactly one frame of simulation through.
static bool TakeSimulationFrame()
{
    bool advance = !gPaused || gStepRequested;
    gStepRequested = false;
    return advance;
}

bool RunFrame()
{
    bool advance = TakeSimulationFrame();
    if (advance) {
        if (gSettings.autopilot)
            UpdateAutopilot();
        UpdateCarControls();
    }
    UpdateFrameStats();
    if (advance)
        StepSimulation();
    if (gActive) {
        DrawFrame();
        if (gScreenshotRequested)
            SaveScreenshot();
    }
    if (gKeys[kVkEscape])
        return false;
    PresentFrame();
    return true;
}
