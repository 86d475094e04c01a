// The Windows backend's own state and what its pieces share; the rest is in platform/Platform.h.
#pragma once
#ifndef _WIN32
#error "platform/win32 is the Windows backend"
#endif
#include <windows.h>

extern HWND gHwnd;            // the render window; written by Window.cpp
extern HDC gHdc;              // its own device context (CS_OWNDC); written by Window.cpp
extern HINSTANCE gHinstance;  // the module the window classes belong to; written by Window.cpp
// The host a preview's render window lives inside, else null: it goes with the host. Written by
// Window.cpp as the window is made, read by the watcher's thread (HostWatch.cpp) after that.
extern HWND gHostWindow;
// The render window is whole and its run not yet taking it down (Window.cpp): its going now is
// someone else's doing, and ends the run.
extern bool gWindowMade;
// Someone else destroyed the render window while the run had it (Events.cpp): a preview's host,
// or whoever destroyed a full run's window. Nothing of it is the teardown's to release any more.
extern bool gWindowTakenAway;

LRESULT CALLBACK MainWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SettingsDialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

// Ends the process soon after the preview's host has gone, should the run not end by itself (HostWatch.cpp).
void WatchPreviewHost();
// Tells the watcher the run is taking itself down; false if the watcher is already ending the process.
bool ClaimTeardown();
