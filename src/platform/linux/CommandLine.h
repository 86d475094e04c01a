// What the Linux program is asked to do: the screensaver host's switches, and XScreenSaver's.
#pragma once
#include <string>

#include "platform/Platform.h"

enum class LaunchMode {
    kHelp,
    kVersion,
    kFullRun,
    kPreview,         // inside the host window `window`
    kSettingsDialog,
    kXScreenSaver,    // inside `window` (0: the root window), with the stored settings
    kLayerRun,        // -layer: a full run on every output of a Wayland desktop, as a layer over all
    kSaver,           // --saver [SECONDS]: the layer run whenever the desktop has been idle that long
    kAddToXScreenSaver,       // Kelvaron into the programs list of ~/.xscreensaver
    kRemoveFromXScreenSaver,  // and out of it
};

struct LaunchRequest {
    LaunchMode mode;
    unsigned long window;
    bool autopilot;   // under XScreenSaver: on unless --no-autopilot
    bool steadyPace;  // under XScreenSaver: on unless --no-pace
    int saverSeconds;  // --saver: kSaverSeconds unless given
    RunSwitches switches;  // --record FILE, --play FILE, --join LINK
    bool host;             // --host: a relay beside the program, and the run a seat in a new room of it
};

constexpr int kSaverSeconds = 300;
constexpr int kMostSaverSeconds = 86400;

// Reads the arguments; xscreensaverWindow is the XSCREENSAVER_WINDOW variable or null. False with
// the reason in error for an unknown option, a preview switch without a usable window id, --saver's
// seconds not a whole number from 1 to kMostSaverSeconds, or --record, --play, --join or --host where
// no run is asked for. --play, --join or --host alone is a
// full run.
bool ReadLaunchRequest(int argc, const char* const* argv, const char* xscreensaverWindow,
                       LaunchRequest* request, std::string* error);
