// The Windows backend's own state and what its pieces share; the rest is in platform/Platform.h.
#pragma once
#ifndef _WIN32
#error "platform/win32 is the Windows backend"
#endif
#include <windows.h>

extern HWND gHwnd;            // the render window; written by GlWindow.cpp
extern HDC gHdc;              // its own device context (CS_OWNDC); written by GlWindow.cpp
extern HINSTANCE gHinstance;  // the module the window classes belong to; written by GlWindow.cpp
// The host a preview's render window lives inside, else null: it goes with the host. Written by
// GlWindow.cpp as the window is made, read by the watcher's thread (HostWatch.cpp) after that.
extern HWND gHostWindow;

LRESULT CALLBACK MainWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SettingsDialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

// Ends the process soon after the preview's host has gone, should the run not end by itself (HostWatch.cpp).
void WatchPreviewHost();
// Tells the watcher the run is taking itself down; false if the watcher is already ending the process.
bool ClaimTeardown();
