// What SDL does not give: a window another program owns (the preview host, XScreenSaver's window)
// that the render window lives inside, noticing when it goes away, and the cursor's true position.
#pragma once
#include <SDL.h>

// Opens a connection to the display and reads the window's size; window 0 becomes the root window.
// False, having said why on standard error, if there is no display or no such window.
bool FindHostWindow(unsigned long* window, int* width, int* height);
// Makes the (hidden) render window a child of the host window at its top-left corner.
bool AdoptIntoHost(SDL_Window* window, unsigned long host);
// Unmaps the render window inside its host, so that SDL need not wait for that when it destroys it;
// false when the window has already gone with its host (XScreenSaver destroys its window while the
// hack ends), and SDL must not be asked to destroy it at all: it would wait for ever for an unmap.
bool UnmapAdoptedWindow(SDL_Window* window);
// Closes the connection FindHostWindow opened.
void ReleaseHostWindow();
// True once the host window has been destroyed; looks at most five times a second.
bool IsHostWindowGone();
// The same, asking the X server now.
bool HasHostWindowGone();
// A full run's other monitors go black: a plain black window over each monitor the run's window does
// not stand on (UncoverMonitors, in platform/Platform.h, takes them away).
void CoverMonitorsBeside(SDL_Window* window);
// True when a window manager keeping to the EWMH or the ICCCM runs on the display.
bool IsWindowManagerRunning();
// Whether the window is an X window (SDL may have put it on Wayland instead).
bool IsOnX11(SDL_Window* window);
// The cursor's position on the screen of the window, asked of the X server itself.
bool QueryCursorPosition(SDL_Window* window, int* x, int* y);
