// The run from start to end, the same on every platform: which mode, what is made in which order,
// and the order of the teardown. The order of a frame is in Frame.h.
#pragma once
#include <cstdint>

#include "app/RunMode.h"

// Opens the preview window as a child of the host window at its client size. The settings are not
// read. False when the window could not be made (the user has been told why).
bool StartPreview(uintptr_t host, int width, int height);
// Loads the settings and opens the full-run window, fullscreen if the display allows.
bool StartFullRun();
// XScreenSaver's window: the stored settings as in a full run, the quadrants cut from the window's
// size, and the display mode left alone; the autopilot and the steady pace as XScreenSaver's settings
// say. XScreenSaver itself watches the mouse.
bool StartXScreenSaverRun(uintptr_t window, int width, int height, bool autopilot, bool steadyPace);

// With the window open: builds the scene and the font, runs frames until the quit request or Escape,
// then takes everything down. Returns the exit status, 0.
int RunUntilQuit();
