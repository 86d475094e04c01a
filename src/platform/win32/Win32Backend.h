// The Windows backend's own state and what its pieces share.
#pragma once
#ifndef _WIN32
#error "platform/win32 is the Windows backend"
#endif
#include <windows.h>

extern HWND gHwnd;          // the render window
extern HDC gHdc;            // its own device context (CS_OWNDC)
extern HGLRC gHglrc;        // the rendering context, current while the window exists
extern HINSTANCE gHinstance;

LRESULT CALLBACK MainWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SettingsDialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

// A full run's other monitors black while it lasts (MonitorCovers.cpp).
void CoverOtherMonitors(HWND run);
void UncoverMonitors();

// Gamepads (XInputPads.cpp): started with the window, taken down with it, read once a frame.
void StartGamepads();
void StopGamepads();
void PollGamepads();
