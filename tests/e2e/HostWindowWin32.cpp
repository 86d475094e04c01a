// A stand-in for the Windows screensaver host's preview pane: a window of 200 x 150 whose handle is
// passed to the screensaver with /p, closed after the given number of seconds.
//   host-window.exe SCREENSAVER SECONDS
#include <windows.h>

#include <cstdio>
#include <cstdlib>

static LRESULT CALLBACK HostProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER) {
        DestroyWindow(hWnd);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = HBRUSH(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = "PreviewHost";
    RegisterClassA(&wc);
    RECT rect = {0, 0, 200, 150};
    AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, FALSE);
    HWND host = CreateWindowA("PreviewHost", "Preview Host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                              rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr, wc.hInstance, nullptr);
    char command[1024];
    std::snprintf(command, sizeof command, "\"%s\" /p %lu", argv[1], static_cast<unsigned long>(reinterpret_cast<uintptr_t>(host)));
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return 1;
    SetTimer(host, 1, UINT(std::atoi(argv[2]) * 1000), nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    // The preview must end by itself once its host has gone.
    DWORD waited = WaitForSingleObject(process.hProcess, 20000);
    std::printf(waited == WAIT_OBJECT_0 ? "preview ended\n" : "preview still running\n");
    return waited == WAIT_OBJECT_0 ? 0 : 3;
}
