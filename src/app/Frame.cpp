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
#include "app/SharedRun.h"
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
    return {width, height, gCameraMode, {gFps, gSettings.sGravity, gSleepTime, gPaused, DescribeSharedRun()}};
}

// The frame's simulation: its commands, the autopilot's keys, the controls and one step.
static bool SimulateFrame(bool measured)
{
    if (!ApplyFrameCommands())
        return false;
    bool advance = TakeSimulationFrame();
    if (advance) {
        UpdateAutopilot(gSettings.autopilot, DoHeldKeysStay());
        UpdateCarControls();
    }
    if (measured)
        UpdateFrameStats();
    if (advance)
        StepSimulation();
    return true;
}

// Drawn on each of the window's surfaces (a layer run's, one on every output), then shown on all.
static void DrawFrame()
{
    if (gActive) {
        for (int surface = 0; SelectRenderSurface(surface); ++surface) {
            RenderFrame(ReadFrameView());
            // The picture is the first surface's, read back before the next is drawn.
            if (surface == 0 && TakeScreenshotRequest())
                SaveScreenshot();
        }
    }
    if (TakeRecordingRequest())
        KeepRunAsRecording();
    PresentFrame();
}

bool RunFrame()
{
    if (!SimulateFrame(true))
        return false;
    DrawFrame();
    return true;
}

bool RunSharedFrame()
{
    PumpRelaySocket(0);
    const uint32_t start = ReadTickCount();
    while (IsNextFrameConfirmed() && gFramesRun + 1 < gShared.lastTick &&
           uint32_t(ReadTickCount() - start) < kCatchUpMsPerDraw) {
        if (!SimulateFrame(false))
            return false;
        NoteSharedFrame();
    }
    if (!IsNextFrameConfirmed()) {
        // Waiting for the relay's next tick, or for good once the room is left: the same frame
        // again, so that the window stays alive. Left, the world stands still: drawn at the room's
        // pace, waking for the window's events, rather than as fast as the machine can spin.
        if (!gShared.joined)
            WaitForEvents(1000 / kTickRate);
        if (!ApplyThisMachineCommands())
            return false;
        UpdateFrameStats();
        DrawFrame();
        return true;
    }
    if (!SimulateFrame(true))
        return false;
    NoteSharedFrame();
    DrawFrame();
    return true;
}
