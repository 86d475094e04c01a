// A full run's other monitors go black: a plain black top-most window over each monitor the run's
// window does not stand on, gone again when the run ends.
#include <vector>

#include "platform/Platform.h"
#include "platform/win32/Win32Backend.h"

static const char* const kCoverClass = "KelvaronCover";

static LRESULT CALLBACK CoverWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The mouse over a cover counts as over the run.
    if (message == WM_MOUSEMOVE) {
        POINT cursor;
        GetCursorPos(&cursor);
        HandleMouseMoved(cursor.x, cursor.y);
        return 0;
    }
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

static BOOL CALLBACK CoverMonitor(HMONITOR monitor, HDC, LPRECT r, LPARAM runMonitor)
{
    if (monitor == reinterpret_cast<HMONITOR>(runMonitor))
        return TRUE;
    HWND cover = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kCoverClass, "", WS_POPUP | WS_VISIBLE, r->left,
                                 r->top, r->right - r->left, r->bottom - r->top, nullptr, nullptr, gWin32.hinstance, nullptr);
    if (cover)
        gWin32.covers.push_back(cover);
    return TRUE;
}

void CoverOtherMonitors()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = CoverWindowProc;
    wc.hInstance = gWin32.hinstance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kCoverClass;
    if (!RegisterClassA(&wc))
        return;
    EnumDisplayMonitors(nullptr, nullptr, CoverMonitor,
                        reinterpret_cast<LPARAM>(MonitorFromWindow(gWin32.hwnd, MONITOR_DEFAULTTOPRIMARY)));
    // A cover shown may have taken the keyboard: the run's window takes it back.
    if (!gWin32.covers.empty()) {
        SetForegroundWindow(gWin32.hwnd);
        SetFocus(gWin32.hwnd);
    }
}

void UncoverMonitors()
{
    for (HWND cover : gWin32.covers)
        DestroyWindow(cover);
    gWin32.covers.clear();
    UnregisterClassA(kCoverClass, gWin32.hinstance);
}
