#include "app/Frame.h"

#include "app/ClipWorlds.h"
#include "app/Commands.h"
#include "app/FrameStats.h"
#include "app/Input.h"
#include "record/Playback.h"
#include "app/RunState.h"
#include "app/Screenshot.h"
#include "app/Settings.h"
#include "record/KeyScript.h"
#include "net/SharedRun.h"
#include "platform/Platform.h"
#include "sim/Simulation.h"

static_assert(kDefaultSettings.boxMass == kDefaultBoxMass, "a room's recordings name the default box mass");

void BuildRunWorld()
{
    BuildSimWorld(gSettings.boxMass, gSettings.autopilot);
    ShowWorldGravity(kWorldGravity);
    ForgetClipWorlds();
}

FrameView ReadFrameView()
{
    const int width = gViewFollowsWindow ? gWindowWidth : gSettings.screenWidth;
    const int height = gViewFollowsWindow ? gWindowHeight : gSettings.screenHeight;
    return {&gSim.scene, width, height, gCameraMode,
            {gFps, gSettings.sGravity, gSleepTime, gSim.paused, DescribeSharedRun()}};
}

// This machine's commands of the frame, then the world's frame (sim/Simulation.h) with the frame
// statistics between its controls and its step.
static bool RunWorldFrame(bool measured)
{
    if (!ApplyMachineCommands())
        return false;
    const bool steps = DriveWorldFrame();
    if (measured)
        UpdateFrameStats();
    if (steps)
        StepWorld();
    KeepClipWorld();
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
        KeepRunAsClip();
    PresentFrame();
}

bool RunFrame()
{
    if (!RunWorldFrame(true))
        return false;
    DrawFrame();
    return true;
}

// One frame of a shared run: with the commands the room gives it, undrawn when measured is false.
static bool RunSharedWorldFrame(bool measured)
{
    QueueSharedFrame();
    if (!RunWorldFrame(measured))
        return false;
    NoteSharedFrame();
    return true;
}

void CorrectSharedWorld()
{
    const long until = WindBackSharedWorld();
    while (gSim.frame < until) {
        QueueSharedFrame();
        if (DriveWorldFrame())
            StepWorld();
        NoteSharedFrame();
    }
}

bool RunSharedFrame()
{
    PumpRelaySocket(0);
    CorrectSharedWorld();
    const uint32_t start = ReadTickCount();
    while (CountDueFrames() > 1 && uint32_t(ReadTickCount() - start) < kCatchUpMsPerDraw)
        if (!RunSharedWorldFrame(false))
            return false;
    if (CountDueFrames() == 0) {
        // Waiting for the relay's next tick, or for good once the room is left: the same frame
        // again, so that the window stays alive. Left, the world stands still: drawn at the room's
        // pace, waking for the window's events, rather than as fast as the machine can spin.
        if (!gShared.joined)
            WaitForEvents(1000 / kTickRate);
        if (!ApplyMachineCommands())
            return false;
        UpdateFrameStats();
        DrawFrame();
        return true;
    }
    if (!RunSharedWorldFrame(true))
        return false;
    DrawFrame();
    return true;
}
