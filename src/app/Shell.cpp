#include "app/Shell.h"

#include <cmath>
#include <cstdio>

#include "app/Commands.h"
#include "app/Frame.h"
#include "app/LiveInput.h"
#include "app/HealthChecks.h"
#include "app/OverlayFont.h"
#include "record/Playback.h"
#include "app/RunState.h"
#include "app/Settings.h"
#include "net/SharedRun.h"
#include "app/WindowEvents.h"
#include "gl/GlState.h"
#include "gl/Text.h"
#include "physics/OdeMessages.h"
#include "platform/Platform.h"
#include "render/Primitives.h"
#include "sim/Simulation.h"

static const char kWindowedQuestion[] =
    "The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode Instead?";

// The "GL" question when the display cannot take the asked-for mode. Unasked is not No: the run was
// asked for, and a window is the mode that can be had.
static bool AskForWindowedMode()
{
    std::fprintf(stderr, "kelvaron: GL: the fullscreen mode is not available; asking about a window\n");
    switch (AskQuestion("GL", kWindowedQuestion)) {
    case Answer::kYes:
        return true;
    case Answer::kNo:
        return false;
    case Answer::kUnasked:
        break;
    }
    std::fprintf(stderr, "kelvaron: GL: the question could not be shown; going on in a window\n");
    return true;
}

// A creation failure, said once the desktop is back. A host gone meanwhile has ended the preview:
// nothing failed, so nothing is said.
static bool SayWindowFailure(WindowFailure failure)
{
    if (failure != WindowFailure::kHostGone)
        ShowMessage("ERROR", kWindowFailureTexts[int(failure)], MessageKind::kWarning);
    return false;
}

// The window and everything that comes with it, or nothing: the mode asked for or the user's
// fallback, the window and its context, its viewport and GL state, the pads, and for a top-level
// window the other monitors covered. What the window needs is readied before the mode changes; on a
// failure the desktop's mode and cursor are back before what was made goes, as in the run's teardown,
// so that neither that teardown's boxes nor the user's are shown in the run's mode.
static bool OpenRenderWindow(const char* title, int width, int height, int bits, bool fullscreen, uintptr_t parent)
{
    StartRunInput();
    WindowFailure failure = PrepareRenderWindow();
    if (failure != WindowFailure::kNone)
        return SayWindowFailure(failure);
    if (fullscreen && !SetFullscreenMode(width, height, bits)) {
        if (!AskForWindowedMode()) {
            ShowMessage("ERROR", "Program Will Now Close.", MessageKind::kError);
            return false;
        }
        fullscreen = false;
    }
    failure = CreateRenderWindow(title, width, height, bits, fullscreen, parent);
    NoteStartupStep("window");
    if (failure != WindowFailure::kNone) {
        if (fullscreen)
            RestoreDisplayMode();
        DestroyRenderWindow();
        return SayWindowFailure(failure);
    }
    NoteRenderWindow(parent != 0, fullscreen);
    HandleResized(width, height);
    InitRenderState();
    OpenGamepads();
    if (!parent)
        CoverOtherMonitors();
    return true;
}

bool StartPreview(uintptr_t host, int width, int height)
{
    return OpenRenderWindow("Kelvaron", width, height, 32, false, host);
}

static void LoadRunSettings()
{
    LoadSettings();
    NoteDesiredFps(float(gSettings.dFps));
}

bool StartFullRun()
{
    ResetWindowEvents();  // a page's runs follow one another: none takes the last one's mouse reference
    LoadRunSettings();
    return OpenRenderWindow("Start", gSettings.screenWidth, gSettings.screenHeight, gSettings.bitsPP, true, 0);
}

bool StartLayerRun()
{
    ResetWindowEvents();
    LoadRunSettings();
    NoteViewFollowsWindow(true);
    return OpenRenderWindow("Kelvaron", gSettings.screenWidth, gSettings.screenHeight, gSettings.bitsPP, false, 0);
}

bool StartXScreenSaverRun(uintptr_t window, int width, int height, bool autopilot, bool steadyPace)
{
    LoadRunSettings();
    TakeXScreenSaverSettings(width, height, autopilot, steadyPace);
    return StartPreview(window, width, height);
}

// Milliseconds a frame takes with the steady pace, or 0 when frames run back to back.
static double ReadPacedFrameMs()
{
    if (!gSettings.steadyPace || gSettings.dFps < 1 || gSettings.dFps > 1000)
        return 0;
    return 1000.0 / gSettings.dFps;
}

// Said once, at the end, in place of ODE's own line each time.
static void SayOdeMessages()
{
    const long count = CountOdeMessages();
    if (count == 0)
        return;
    std::fprintf(stderr,
                 "kelvaron: the physics engine's contact solver met %ld problem%s it could not solve exactly "
                 "(the first: \"%s\") and went on with an approximate answer; the run was not affected\n",
                 count, count == 1 ? "" : "s", ReadFirstOdeMessage());
}

// The font and the sphere list go while the list's context is still current; the display mode comes
// back before the window goes; the scene after the window, as nothing draws it any more.
void TakeDownRun()
{
    DeleteBitmapFont();
    DeleteSphereList();
    ReleasePads();
    CloseGamepads();
    UncoverMonitors();
    if (gFullscreen)
        RestoreDisplayMode();
    NoteRenderWindow(gPreview, false);
    DestroyRenderWindow();
    SayRunHealth();
    FinishPlayback();
    LeaveSharedRun();
    DestroySimWorld();
    SayOdeMessages();
}

int RunUntilQuit()
{
    BuildRunWorld();
    NoteStartupStep("world");
    std::string why;
    if (!StartRunPlayback(ReadTickCount(), why)) {
        ShowMessage("Kelvaron", ("cannot play " + why).c_str(), MessageKind::kError);
        ResetPlayback();  // nothing was played, and there is no run to keep
        TakeDownRun();
        return 2;
    }
    if (gShared.logRead) {
        StartSharedWorld();
        TakeSharedSeat();
    }
    LoadOverlayFont();
    NoteStartupStep("font");
    const double frameMs = ReadPacedFrameMs();
    const uint32_t start = ReadTickCount();
    double framesDue = 0;  // paced frames since start, as the clock counts them
    bool firstFrame = true;
    for (;;) {
        PumpResult pumped = PumpOneEvent();
        if (gQuitRequested)
            break;
        if (pumped == PumpResult::kHandled)
            continue;
        PollGamepads();  // nothing waiting: a frame may follow
        if (frameMs > 0) {
            double elapsed = double(uint32_t(ReadTickCount() - start));  // unsigned: a wrap does no harm
            if (elapsed < framesDue * frameMs) {
                WaitForEvents(uint32_t(framesDue * frameMs - elapsed) + 1);
                continue;
            }
            // A machine that falls behind goes on at the pace from now, rather than in a rush.
            framesDue = std::fmax(framesDue + 1, std::floor(elapsed / frameMs));
        }
        // A room joined as the run went on (the page's, once its first frame was on screen) takes the
        // world from its build, as a run joined before its window does.
        if (gShared.logRead && !gShared.worldStarted) {
            DestroySimWorld();
            ResetSimulation();
            BuildRunWorld();
            StartSharedWorld();
        }
        if (!(gShared.worldStarted ? RunSharedFrame() : RunFrame()) || IsPlaybackOver())
            break;
        CheckRunHealth(ReadTickCount());
        if (firstFrame)
            NoteStartupStep("frame");
        firstFrame = false;
    }
    TakeDownRun();
    return 0;
}
