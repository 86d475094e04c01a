#include "app/Frame.h"

#include "app/Autopilot.h"
#include "app/Commands.h"
#include "app/Controls.h"
#include "app/FrameStats.h"
#include "app/Input.h"
#include "app/Playback.h"
#include "app/RunState.h"
#include "app/Screenshot.h"
#include "app/Settings.h"
#include "physics/Scene.h"
#include "physics/Step.h"
#include "platform/Platform.h"

void BuildRunWorld()
{
    BuildWorld();
    ShowWorldGravity(kWorldGravity);
}

FrameView ReadFrameView()
{
    const int width = gViewFollowsWindow ? gWindowWidth : gSettings.screenWidth;
    const int height = gViewFollowsWindow ? gWindowHeight : gSettings.screenHeight;
    return {width, height, gCameraMode, {gFps, gSettings.sGravity, gSleepTime, gPaused}};
}

bool RunFrame()
{
    if (!ApplyFrameCommands())
        return false;
    bool advance = TakeSimulationFrame();
    if (advance) {
        UpdateAutopilot(gSettings.autopilot);
        UpdateCarControls();
    }
    UpdateFrameStats();
    if (advance)
        StepSimulation();
    if (gActive) {
        RenderFrame(ReadFrameView());
        if (TakeScreenshotRequest())
            SaveScreenshot();
    }
    if (TakeRecordingRequest())
        KeepRunAsRecording();
    PresentFrame();
    return true;
}
