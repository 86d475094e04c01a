// The run from start to end, the same on every platform: which mode, what is made in which order,
// the order of a frame, and the order of the teardown.
#pragma once
#include <cstdint>

#include "app/RunMode.h"

// Opens the preview window as a child of the host window at its client size. The settings are not
// read. False when the window could not be made (the user has been told why).
bool StartPreview(uintptr_t host, int width, int height);
// Loads the settings and opens the full-run window, fullscreen if the display allows.
bool StartFullRun();

// With the window open: builds the scene and the font, runs frames until the quit request or Escape,
// then takes everything down. Returns the exit status, 0.
int RunUntilQuit();

// One frame, as the loop runs it when no event is waiting; false once Escape is held.
bool RunFrame();
