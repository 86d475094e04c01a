// The Windows backend's own state and what its pieces share; the rest is in platform/Platform.h.
#pragma once
#ifndef _WIN32
#error "platform/win32 is the Windows backend"
#endif
#include <windows.h>

#include <vector>

#include "platform/Platform.h"

typedef DWORD(WINAPI* XInputGetStateFunction)(DWORD, struct _XINPUT_STATE*);

// The backend's one record, but for the relay socket, which the null backend's programs link too
// (RelaySocket.cpp keeps its connection). Beside each field, the file that writes it.
struct Win32Backend {
    HWND hwnd;            // Window.cpp: the render window
    HDC hdc;              // Window.cpp: its own device context (CS_OWNDC)
    HGLRC hglrc;          // Window.cpp: the rendering context, current while the window exists
    HINSTANCE hinstance;  // Window.cpp: the module the window classes belong to
    // Window.cpp, as the window is made: the host a preview's render window lives inside, else null;
    // it goes with the host. Read by the watcher's thread (HostWatch.cpp) after that.
    HWND hostWindow;
    // Window.cpp: the render window is whole and its run not yet taking it down: its going now is
    // someone else's doing, and ends the run.
    bool windowMade;
    // Events.cpp: someone else destroyed the render window while the run had it, a preview's host or
    // whoever destroyed a full run's window. Nothing of it is the teardown's to release any more.
    bool windowTakenAway;
    // HostWatch.cpp: 1 once the ending is claimed, by the watcher or by ClaimTeardown; and the
    // thread whose message loop runs the preview.
    volatile LONG takingDown;
    DWORD runThread;
    std::vector<HWND> covers;  // MonitorCovers.cpp: the black windows over the other monitors
    // Pads.cpp: XInput, loaded by the first OpenGamepads and kept to the end of the process, and
    // what PollGamepads last found.
    HMODULE xinput;
    XInputGetStateFunction getState;
    bool padConnected[kPadCount];  // the pad answered at its last look
    int framesToRecheck;           // polls until absent pads are asked after again
};

extern Win32Backend gWin32;  // Window.cpp

LRESULT CALLBACK MainWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SettingsDialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

// Ends the process soon after the preview's host has gone, should the run not end by itself (HostWatch.cpp).
void WatchPreviewHost();
// Tells the watcher the run is taking itself down; false if the watcher is already ending the process.
bool ClaimTeardown();
