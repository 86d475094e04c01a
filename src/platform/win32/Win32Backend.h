// The Windows backend's own state and what its pieces share; the rest is in platform/Platform.h.
#pragma once
#ifndef _WIN32
#error "platform/win32 is the Windows backend"
#endif
#include <windows.h>

extern HWND gHwnd;          // the render window
extern HDC gHdc;            // its own device context (CS_OWNDC)
extern HGLRC gHglrc;        // the rendering context, current while the window exists
extern HINSTANCE gHinstance;

extern bool gWindowMade;     // the render window is whole and its run not yet taking it down
extern HWND gHostWindow;    // the host a preview's render window lives inside, else null: it goes with the host

LRESULT CALLBACK MainWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SettingsDialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

// Ends the process soon after the preview's host has gone, should the run not end by itself (HostWatch.cpp).
void WatchPreviewHost();
// Tells the watcher the run is taking itself down; false if the watcher is already ending the process.
bool ClaimTeardown();
