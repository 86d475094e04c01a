// The render window's messages, handed to the shared handlers, and the message loop's pump.
#include "platform/Platform.h"
#include "platform/win32/Win32Backend.h"

LRESULT CALLBACK MainWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        HandleResized(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_ACTIVATE:
        HandleMinimised(HIWORD(wParam) != 0);
        return 0;
    case WM_CLOSE:
        HandleCloseRequested();
        return 0;
    case WM_KEYDOWN:
        HandleKeyDown(unsigned(wParam));
        return 0;
    case WM_KEYUP:
        HandleKeyUp(unsigned(wParam));
        return 0;
    case WM_SYSCOMMAND:
        // No screensaver and no monitor power-down over this one. The low four bits are the
        // system's own.
        if ((wParam & 0xFFF0) == SC_SCREENSAVE || (wParam & 0xFFF0) == SC_MONITORPOWER)
            return 0;
        break;
    case WM_KILLFOCUS:
        HandleFocusLost();
        return 0;
    case WM_MOUSEMOVE: {
        POINT cursor;
        GetCursorPos(&cursor);
        HandleMouseMoved(cursor.x, cursor.y);
        return 0;
    }
    case WM_DESTROY:
        // A preview's window gone with its host ends the preview rather than leave it drawing into
        // nothing; a full run's window going does not end the program. Not while the window is being
        // made or taken down: the quit would close the error box that follows at once.
        if (gWin32.windowMade && hWnd == gWin32.hwnd && gWin32.hostWindow) {
            gWin32.windowTakenAway = true;
            HandleCloseRequested();
        }
        break;
    default:
        break;
    }
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

PumpResult PumpOneEvent()
{
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        return PumpResult::kIdle;
    // The host watch's way of ending a preview whose host has gone.
    if (msg.message == WM_QUIT) {
        HandleCloseRequested();
        return PumpResult::kHandled;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return PumpResult::kHandled;
}

void WaitForEvents(uint32_t milliseconds)
{
    MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds, QS_ALLINPUT);
}
