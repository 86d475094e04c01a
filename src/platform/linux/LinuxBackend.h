// What the pieces of the Linux backend share with each other.
#pragma once
#include <SDL.h>

// Says it on standard error and in a message box with the caption.
void ShowMessage(const char* caption, const char* text, Uint32 flags);
// The "GL" question: go on in a window when the fullscreen mode cannot be had? True for Yes.
bool AskForWindowedMode();
// From now on SIGTERM, SIGINT and SIGHUP end the run through the ordinary teardown.
void CatchEndingSignals();
