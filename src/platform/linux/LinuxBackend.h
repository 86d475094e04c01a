// What the pieces of the Linux backend share with each other; the rest is in platform/Platform.h.
#pragma once
#include <SDL.h>

#include <random>
#include <string>
#include <vector>

#include "platform/Platform.h"

struct _XDisplay;  // Xlib's Display; its windows are XIDs, unsigned longs

// The backend's one record, but for what its pads, its relay socket and its note of an ending
// signal keep, which the tests, the null backend's programs and the Wayland program link on their
// own. Beside each field, the file that writes it.
struct LinuxBackend {
    SDL_Window* window;         // Window.cpp
    SDL_GLContext context;      // Window.cpp
    bool videoStarted;          // Window.cpp
    bool adopted;               // Window.cpp: the window lives inside a host's
    SDL_DisplayMode fullMode;   // Window.cpp: the mode SetFullscreenMode found
    _XDisplay* hostDisplay;     // Xlib.cpp: the host window's display, and the host
    unsigned long host;
    unsigned long xErrors;      // Xlib.cpp
    Uint32 lastLook;            // Xlib.cpp
    _XDisplay* coverDisplay;    // Xlib.cpp: the monitor covers' display, and the covers
    std::vector<unsigned long> covers;
};

extern LinuxBackend gLinux;  // Window.cpp

constexpr int kOpenPadCount = 8;  // more than drive: a fourth takes a car when one of the three goes
constexpr int kStormPads = 5;     // more than there are cars, so that some wait for a car to come free

// The pads' record (Pads.cpp and PadStorm.cpp, a library of their own).
struct LinuxPads {
    SDL_GameController* pads[kOpenPadCount];  // Pads.cpp
    SDL_Joystick* stormPads[kStormPads];      // PadStorm.cpp
    std::mt19937 stormDice;                   // PadStorm.cpp
    long plugged, pulled;                     // PadStorm.cpp
};

extern LinuxPads gLinuxPads;  // Pads.cpp

// From now on SIGTERM, SIGINT and SIGHUP end the run through the ordinary teardown.
void CatchEndingSignals();
// True once one of them has arrived.
bool IsEndingSignalled();

// The Windows virtual-key code of an SDL key, or -1 for keys that have none here.
int TranslateKey(SDL_Keycode key);

// Opens an added pad or lets a removed one go; false for any other event (Pads.cpp).
bool HandlePadEvent(const SDL_Event& e);
// With KELVARON_PAD_STORM set, virtual pads come, go and move at random; else nothing (PadStorm.cpp).
void StirStormPads();
// Pulls out those still plugged in and says how many came and went.
void PullStormPads();

// The program at path from this program's own folder, if it is there and may be run; else empty.
std::string FindBesideThisProgram(const char* path);
// -layer and --saver: the Wayland program, kelvaron-wayland, in this process's place with the same
// arguments. Returns only when it could not be started, with the status to end with.
int RunWaylandProgram(char** argv);
// A full run in a Wayland session uses SDL's Wayland driver rather than XWayland, unless
// SDL_VIDEODRIVER says otherwise (Window.cpp).
void PreferWaylandVideo();

// Readies the run as its switches ask, before any window opens: --host's relay (host), then the rest
// (StartRunSwitches). False, having said why on standard error.
bool StartLaunchSwitches(RunSwitches& switches, bool host);

// --host: kelvaron-relay started beside the program on port 27183, ending with it; the switches then
// join a new room of it, with this machine's addresses for the link. False with the reason.
bool StartHostedRelay(RunSwitches& switches, std::string& error);
