#include "app/Shell.h"

#include <cmath>

#include "app/Autopilot.h"
#include "app/Frame.h"
#include "app/RunState.h"
#include "app/Settings.h"
#include "app/SettingsStore.h"
#include "gl/Text.h"
#include "physics/Scene.h"
#include "platform/Platform.h"
#include "render/Primitives.h"

// The backend says whether it changed the display mode; the teardown gives it back only then.
static bool OpenRenderWindow(const char* title, int width, int height, int bits, bool fullscreen, uintptr_t parent)
{
    bool modeChanged = false;
    bool opened = CreateRenderWindow(title, width, height, bits, fullscreen, parent, &modeChanged);
    NoteStartupStep("window");
    gFullscreen = modeChanged;
    gWindowWidth = width;
    gWindowHeight = height;
    return opened;
}

bool StartPreview(uintptr_t host, int width, int height)
{
    if (!OpenRenderWindow("Kelvaron", width, height, 32, false, host))
        return false;
    gPreview = true;
    return true;
}

static void LoadRunSettings()
{
    LoadSettings();
    gDesiredFps = float(gSettings.dFps);
}

bool StartFullRun()
{
    LoadRunSettings();
    return OpenRenderWindow("Start", gSettings.screenWidth, gSettings.screenHeight, gSettings.bitsPP, true, 0);
}

bool StartXScreenSaverRun(uintptr_t window, int width, int height, bool autopilot, bool steadyPace)
{
    LoadRunSettings();
    gSettings.screenWidth = width;
    gSettings.screenHeight = height;
    gSettings.autopilot = autopilot;
    gSettings.steadyPace = steadyPace;
    return StartPreview(window, width, height);
}

// Milliseconds a frame takes with the steady pace, or 0 when frames run back to back.
static double ReadPacedFrameMs()
{
    if (!gSettings.steadyPace || gSettings.dFps < 1 || gSettings.dFps > 1000)
        return 0;
    return 1000.0 / gSettings.dFps;
}

int RunUntilQuit()
{
    BuildRunWorld();
    NoteStartupStep("world");
    StartAutopilot(ReadTickCount());
    gFontGlyphs = CreateBitmapFont();
    NoteStartupStep("font");
    const double frameMs = ReadPacedFrameMs();
    const uint32_t start = ReadTickCount();
    double framesDue = 0;  // paced frames since start, as the clock counts them
    bool firstFrame = true;
    for (;;) {
        PumpResult pumped = PumpOneEvent();
        if (pumped == PumpResult::kQuit)
            break;
        if (pumped == PumpResult::kHandled)
            continue;
        if (frameMs > 0) {
            double elapsed = double(uint32_t(ReadTickCount() - start));  // unsigned: a wrap does no harm
            if (elapsed < framesDue * frameMs) {
                WaitForEvents(uint32_t(framesDue * frameMs - elapsed) + 1);
                continue;
            }
            // A machine that falls behind goes on at the pace from now, rather than in a rush.
            framesDue = std::fmax(framesDue + 1, std::floor(elapsed / frameMs));
        }
        if (!RunFrame())
            break;
        if (firstFrame)
            NoteStartupStep("frame");
        firstFrame = false;
    }
    // The font and the sphere list go while the list's context is still current; the scene after the
    // window, as nothing draws it any more.
    DeleteBitmapFont();
    DeleteSphereList();
    DestroyRenderWindow();
    DestroyWorld();
    return 0;
}
