// The Linux program: the screensaver host's switches and XScreenSaver's, then the shared run.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/RunState.h"
#include "app/Settings.h"
#include "app/SettingsStore.h"
#include "app/Shell.h"
#include "platform/Platform.h"
#include "platform/linux/CommandLine.h"
#include "platform/linux/Xlib.h"
#include "platform/linux/LinuxBackend.h"

static const char* const kUsage =
    "usage: kelvaron /s            full run\n"
    "       kelvaron /p WINDOW-ID  preview inside that window\n"
    "       kelvaron [/c]          settings\n"
    "       kelvaron -root | -window-id WINDOW-ID   as an XScreenSaver hack\n";

// XScreenSaver's window: the stored settings as in a full run, drawn at the window's size, and the
// display mode left alone. XScreenSaver itself watches the mouse.
static bool StartXScreenSaverRun(unsigned long window, int width, int height)
{
    LoadSettings();
    gDesiredFps = float(gSettings.dFps);
    gSettings.screenWidth = width;
    gSettings.screenHeight = height;
    gFullscreen = false;
    if (!CreateRenderWindow("Kelvaron", width, height, 32, false, window))
        return false;
    gPreview = true;
    return true;
}

int main(int argc, char** argv)
{
    LaunchRequest request;
    std::string error;
    if (!ReadLaunchRequest(argc, argv, std::getenv("XSCREENSAVER_WINDOW"), &request, &error)) {
        std::fprintf(stderr, "kelvaron: %s\n%s", error.c_str(), kUsage);
        return 2;
    }
    if (request.mode == LaunchMode::kSettingsDialog)
        return RunSettingsDialog() ? 0 : 1;

    bool started = false;
    if (request.mode == LaunchMode::kFullRun) {
        started = StartFullRun();
    } else {
        int width, height;
        if (!FindHostWindow(&request.window, &width, &height))
            return 1;
        started = request.mode == LaunchMode::kPreview ? StartPreview(request.window, width, height)
                                                       : StartXScreenSaverRun(request.window, width, height);
    }
    // A run whose window could not be made has failed, whatever the host makes of the status.
    if (!started)
        return 1;
    CatchEndingSignals();
    return RunUntilQuit();
}
