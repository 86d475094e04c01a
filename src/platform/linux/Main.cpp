// The Linux program: the screensaver host's switches and XScreenSaver's, then the shared run.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/Platform.h"
#include "platform/linux/CommandLine.h"
#include "platform/linux/XScreenSaverList.h"
#include "platform/linux/Xlib.h"
#include "platform/linux/LinuxBackend.h"

static const char* const kUsage =
    "usage: kelvaron /s            full run\n"
    "       kelvaron /p WINDOW-ID  preview inside that window\n"
    "       kelvaron [/c]          settings\n"
    "       kelvaron -root | -window-id WINDOW-ID [--no-autopilot] [--no-pace]\n"
    "                              as an XScreenSaver hack\n"
    "       kelvaron -layer            on a Wayland desktop: a full run on every output, over all\n"
    "       kelvaron --saver [SECONDS] on a Wayland desktop: the layer run after SECONDS (300) idle\n"
    "       kelvaron --play FILE       a full run that plays a recording or key script\n"
    "       any run ... --record FILE  the run kept as a recording in FILE when it ends\n"
    "       kelvaron --join LINK       a full run in a room shared with others (any run takes it)\n"
    "       kelvaron --host            a relay beside the program, and a full run in a new room of it\n"
    "       kelvaron --add-to-xscreensaver | --remove-from-xscreensaver\n"
    "                              Kelvaron in or out of XScreenSaver's list\n"
    "       kelvaron --help | --version\n";

static const char* const kHelp =
    "\nKeys: the arrow keys drive Car1 (red), W A S D Car2 (blue), I J K L Car3 (green);\n"
    "M, Q and U lift their cabins; the space bar stops Car1 and spins its front wheels;\n"
    "C cycles the five cameras; R sets every car on its side or roof back on its wheels;\n"
    "P pauses and goes on, N steps one frame while paused; F12 saves the frame as a PNG in\n"
    "your pictures folder, and Shift+F12 the run so far as a recording (.keys) beside it;\n"
    "Escape ends the run, and so does moving the mouse in a full run.\n"
    "\nOn a Wayland desktop: kelvaron -layer runs on every output, above panels and windows, as\n"
    "swayidle's timeout 300 'kelvaron -layer', hypridle's on-timeout or swaylock-plugin's --command;\n"
    "kelvaron --saver [SECONDS] watches for the idle desktop itself. Both need a compositor with\n"
    "wlr-layer-shell (sway, Hyprland, KDE Plasma; GNOME has none).\n"
    "\nRecordings: kelvaron --play FILE, or kelvaron-replay --script FILE --hash, makes the same\n"
    "run again on any build, Linux, Windows or the page; at its end it says the state hash.\n"
    "\nPlaying together: kelvaron --host starts a relay (kelvaron-relay, port 27183) and says the\n"
    "room's link; the others open it in a browser, or give it to kelvaron --join LINK or\n"
    "kelvaron.scr --join LINK. Each drives their own car with the arrow keys, its own keys or\n"
    "the first pad; pause and step are off, and the overlay shows the seat, ping and rollbacks.\n"
    "\nGamepads: pad 1 drives Car1, pad 2 Car2, pad 3 Car3. Left stick or d-pad steers,\n"
    "right trigger or A drives forward, left trigger or B backward, a shoulder button lifts\n"
    "the cabin, Y sets the pad's car back on its wheels, X on pad 1 does what the space bar does.\n"
    "\nIn the settings (kelvaron /c), two check boxes below the fields:\n"
    "  \"Cars drive themselves when left alone\": a car no one has driven for ten seconds\n"
    "      drives itself until one of its keys is pressed.\n"
    "  \"Steady pace at the desired Fps\": frames are paced to Desired Fps, so the scene\n"
    "      moves at the same speed on every machine and the processor rests.\n"
    "Both are off unless ticked; under XScreenSaver both are on unless its settings turn\n"
    "them off (--no-autopilot, --no-pace).\n";

int main(int argc, char** argv)
{
    NoteStartupStep("main");
    LaunchRequest request;
    std::string error;
    if (!ReadLaunchRequest(argc, argv, std::getenv("XSCREENSAVER_WINDOW"), &request, &error)) {
        std::fprintf(stderr, "kelvaron: %s\n%s", error.c_str(), kUsage);
        return 2;
    }
    if (request.mode == LaunchMode::kVersion) {
        std::printf("kelvaron %s\n", KELVARON_VERSION);
        return 0;
    }
    if (request.mode == LaunchMode::kHelp) {
        std::printf("%s%s", kUsage, kHelp);
        return 0;
    }
    if (request.mode == LaunchMode::kAddToXScreenSaver || request.mode == LaunchMode::kRemoveFromXScreenSaver) {
        const char* home = std::getenv("HOME");
        if (!home || !*home) {
            std::fprintf(stderr, "kelvaron: HOME is not set, so there is no ~/.xscreensaver to change\n");
            return 1;
        }
        std::string message;
        bool changed = ChangeXScreenSaverFile(std::string(home) + "/.xscreensaver",
                                              request.mode == LaunchMode::kAddToXScreenSaver, &message);
        std::fprintf(changed ? stdout : stderr, "%s%s\n", changed ? "" : "kelvaron: ", message.c_str());
        return changed ? 0 : 1;
    }
    if (request.mode == LaunchMode::kSettingsDialog)
        return RunSettingsDialog() ? 0 : 1;
    if (request.mode == LaunchMode::kLayerRun || request.mode == LaunchMode::kSaver)
        return RunWaylandProgram(argv);

    // A recording that cannot be played or a room that cannot be joined is said before any window
    // opens.
    if (!StartLaunchSwitches(request.switches, request.host))
        return 2;
    bool started = false;
    if (request.mode == LaunchMode::kFullRun) {
        PreferWaylandVideo();
        started = StartFullRun();
    } else {
        // A host may end a preview as soon as it has started it: a signal during the start ends the
        // run as it begins, through the same teardown. (The full run catches them once started, as
        // its start may ask the user a question.)
        CatchEndingSignals();
        int width, height;
        if (FindHostWindow(&request.window, &width, &height))
            started = request.mode == LaunchMode::kPreview ? StartPreview(request.window, width, height)
                                                           : StartXScreenSaverRun(request.window, width, height,
                                                                                  request.autopilot,
                                                                                  request.steadyPace);
    }
    // A run whose window could not be made has failed, whatever the host makes of the status.
    int status = 1;
    if (started) {
        CatchEndingSignals();
        status = RunUntilQuit();
    } else if (HasHostWindowGone()) {
        status = 0;  // its host ended it before it began: the ordinary end
    }
    ReleaseHostWindow();
    return status;
}
