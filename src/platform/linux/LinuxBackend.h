// What the pieces of the Linux backend share with each other.
#pragma once
#include <SDL.h>

// Says it on standard error and in a message box with the caption.
void ShowMessage(const char* caption, const char* text, Uint32 flags);
// The "GL" question: go on in a window when the fullscreen mode cannot be had? True for Yes.
bool AskForWindowedMode();
// From now on SIGTERM, SIGINT and SIGHUP end the run through the ordinary teardown.
void CatchEndingSignals();

// Gamepads (SdlPads.cpp): started with the window, taken down with it.
void StartGamepads();
void StopGamepads();
// Opens an added pad or lets a removed one go; false for any other event.
bool HandlePadEvent(const SDL_Event& e);
// Hands every open pad's state to the shell; once a frame.
void PollGamepads();
