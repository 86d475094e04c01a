// The Linux program: the screensaver host's switches and XScreenSaver's, then the shared run.
#include <cstdio>
#include <cstdlib>
#include <string>

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
        if (FindHostWindow(&request.window, &width, &height))
            started = request.mode == LaunchMode::kPreview ? StartPreview(request.window, width, height)
                                                           : StartXScreenSaverRun(request.window, width, height);
    }
    // A run whose window could not be made has failed, whatever the host makes of the status.
    int status = 1;
    if (started) {
        CatchEndingSignals();
        status = RunUntilQuit();
    }
    ReleaseHostWindow();
    return status;
}
