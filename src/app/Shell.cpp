#include "app/Shell.h"

#include "app/RunState.h"
#include "app/Settings.h"
#include "app/SettingsStore.h"
#include "physics/Controls.h"
#include "physics/Keys.h"
#include "physics/Step.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "render/Overlay.h"
#include "render/SceneView.h"

bool StartPreview(uintptr_t host, int width, int height)
{
    gFullscreen = false;
    if (!CreateRenderWindow("Kelvaron", width, height, 32, false, host))
        return false;
    gPreview = true;
    return true;
}

bool StartFullRun()
{
    gFullscreen = true;
    LoadSettings();
    gDesiredFps = float(gSettings.dFps);
    return CreateRenderWindow("Start", gSettings.screenWidth, gSettings.screenHeight, gSettings.bitsPP,
                              gFullscreen, 0);
}

bool RunFrame()
{
    UpdateCarControls();
    UpdateFrameStats();
    StepSimulation();
    if (gActive)
        RenderFrame();
    if (gKeys[kVkEscape])
        return false;
    PresentFrame();
    return true;
}

int RunUntilQuit()
{
    BuildWorld();
    CreateBitmapFont();
    for (;;) {
        PumpResult pumped = PumpOneEvent();
        if (pumped == PumpResult::kQuit || (pumped == PumpResult::kIdle && !RunFrame()))
            break;
    }
    // The font's lists go while their context is still current; the scene after the window, as
    // nothing draws it any more.
    DeleteBitmapFont();
    DestroyRenderWindow();
    DestroyWorld();
    return 0;
}
