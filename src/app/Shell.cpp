#include "app/Shell.h"

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
    gFullscreen = modeChanged;
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

bool StartXScreenSaverRun(uintptr_t window, int width, int height)
{
    LoadRunSettings();
    gSettings.screenWidth = width;
    gSettings.screenHeight = height;
    return StartPreview(window, width, height);
}

int RunUntilQuit()
{
    BuildRunWorld();
    gFontBase = CreateBitmapFont();
    for (;;) {
        PumpResult pumped = PumpOneEvent();
        if (pumped == PumpResult::kQuit || (pumped == PumpResult::kIdle && !RunFrame()))
            break;
    }
    // GL objects go while their context is still current; the scene after the window, as nothing
    // draws it any more.
    DeleteBitmapFont();
    DeleteSphereList();
    DestroyRenderWindow();
    DestroyWorld();
    return 0;
}
