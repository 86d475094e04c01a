// What the pieces of the Linux backend share with each other; the rest is in platform/Platform.h.
#pragma once
#include <SDL.h>

#include <string>

#include "platform/Platform.h"

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
