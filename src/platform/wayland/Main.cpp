// The Wayland program, which kelvaron -layer and kelvaron --saver start: the layer run, a full run on
// every output over everything else, and the idle watcher that starts it.
#include <cstdio>
#include <string>

#include "platform/Platform.h"
#include "platform/linux/CommandLine.h"
#include "platform/linux/LinuxBackend.h"
#include "platform/wayland/WaylandBackend.h"

int main(int argc, char** argv)
{
    NoteStartupStep("main");
    LaunchRequest request;
    std::string error;
    if (!ReadLaunchRequest(argc, argv, nullptr, &request, &error)) {
        std::fprintf(stderr, "kelvaron: %s (kelvaron --help says more)\n", error.c_str());
        return 2;
    }
    if (request.mode != LaunchMode::kLayerRun && request.mode != LaunchMode::kSaver) {
        std::fprintf(stderr, "kelvaron: this program runs kelvaron -layer and kelvaron --saver alone\n");
        return 2;
    }
    // A compositor may end the run as soon as it has started it (swayidle's resume): a signal during
    // the start ends it as it begins, through the same teardown.
    CatchEndingSignals();
    if (!ConnectToCompositor(error)) {
        std::fprintf(stderr, "kelvaron: %s\n", error.c_str());
        return 1;
    }
    if (request.mode == LaunchMode::kSaver) {
        const int status = RunIdleWatcher(request.saverSeconds);
        DisconnectFromCompositor();
        return status;
    }
    if (!gWayland.layerShell) {
        std::fprintf(stderr, "kelvaron: the compositor offers no wlr-layer-shell, which a layer run needs (sway, "
                             "Hyprland and KDE Plasma have it; GNOME has not)\n");
        DisconnectFromCompositor();
        return 1;
    }
    if (!StartLaunchSwitches(request.switches, request.host))
        return 2;
    return StartLayerRun() ? RunUntilQuit() : 1;
}
