// What the Linux program is asked to do: the screensaver host's switches, and XScreenSaver's.
#pragma once
#include <string>

enum class LaunchMode {
    kHelp,
    kVersion,
    kFullRun,
    kPreview,         // inside the host window `window`
    kSettingsDialog,
    kXScreenSaver,    // inside `window` (0: the root window), with the stored settings
    kAddToXScreenSaver,       // Kelvaron into the programs list of ~/.xscreensaver
    kRemoveFromXScreenSaver,  // and out of it
};

struct LaunchRequest {
    LaunchMode mode;
    unsigned long window;
    bool autopilot;   // under XScreenSaver: on unless --no-autopilot
    bool steadyPace;  // under XScreenSaver: on unless --no-pace
    std::string record;  // --record FILE: a run kept as a recording at its end
    std::string play;    // --play FILE: a full run that plays a recording or key script
};

// Reads the arguments; xscreensaverWindow is the XSCREENSAVER_WINDOW variable or null. False with
// the reason in error for an unknown option, a preview switch without a usable window id, or
// --record or --play where no run is asked for.
bool ReadLaunchRequest(int argc, const char* const* argv, const char* xscreensaverWindow,
                       LaunchRequest* request, std::string* error);
