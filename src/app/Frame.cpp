#include "app/Frame.h"

#include "app/Autopilot.h"
#include "app/Controls.h"
#include "app/FrameStats.h"
#include "app/Input.h"
#include "app/RunState.h"
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
    RenderFrame({gSettings.screenWidth, gSettings.screenHeight, gCameraMode, {gFps, gSettings.sGravity, gSleepTime}});
}

bool RunFrame()
{
    if (gSettings.autopilot)
        UpdateAutopilot();
    UpdateCarControls();
    UpdateFrameStats();
    StepSimulation();
    if (gActive)
        DrawFrame();
    if (gKeys[kVkEscape])
        return false;
    PresentFrame();
    return true;
}
