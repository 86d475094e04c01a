// A stand-in for the Windows screensaver host's preview pane: a window of 200 x 150 whose handle is
// passed to the screensaver with /p. It says when the preview's window is inside it, closes when the
// file CLOSE-FILE appears, says whether the preview was still running then, and waits for the
// preview to end by itself, saying how long that took and its exit status.
//   host-window.exe SCREENSAVER CLOSE-FILE
#include <windows.h>

#include <cstdio>

static const char* gCloseFile;
static HANDLE gPreview;
static DWORD gClosed;  // when the host began to destroy its window, in ms since Windows started

static LRESULT CALLBACK HostProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    static bool childSeen;
    if (message == WM_TIMER && !childSeen && GetWindow(hWnd, GW_CHILD)) {
        childSeen = true;
        std::printf("preview window inside\n");
        std::fflush(stdout);
    }
    if (message == WM_TIMER && GetFileAttributesA(gCloseFile) != INVALID_FILE_ATTRIBUTES) {
        const bool running = WaitForSingleObject(gPreview, 0) == WAIT_TIMEOUT;
        std::printf(running ? "preview running when asked to close\n" : "preview had ended before\n");
        std::fflush(stdout);
        // Hidden first: without a window manager Wine waits a second or two for the hiding, which is
        // the host's time, not the preview's.
        ShowWindow(hWnd, SW_HIDE);
        gClosed = GetTickCount();
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
    gCloseFile = argv[2];
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
    gPreview = process.hProcess;
    SetTimer(host, 1, 100, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    // The preview must end by itself once its host has gone; the test's own deadline is the longer.
    DWORD waited = WaitForSingleObject(process.hProcess, 120000);
    DWORD status = 0;
    if (waited == WAIT_OBJECT_0 && GetExitCodeProcess(process.hProcess, &status))
        std::printf("preview ended %lu ms after the host's window began to go, with status %lu\n",
                    GetTickCount() - gClosed, static_cast<unsigned long>(status));
    else
        std::printf("preview still running\n");
    return waited == WAIT_OBJECT_0 ? 0 : 3;
}
