// The Windows render window's teardown, with the real window procedure, WGL and message boxes: which
// window's going ends the run (a preview's with its host, not a full run's), and when "Could Not
// Unregister Class." is said. One case a process, as
// a process takes its window down once. Prints what it saw and exits 0 when that was right.
//   window-teardown.exe teardown | destroyed | host-destroys | never-made | host-gone
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app/Commands.h"
#include "platform/Platform.h"
#include "platform/win32/Win32Backend.h"

static std::string gBoxes;  // the texts of the teardown boxes shown, each answered with OK

static BOOL CALLBACK ReadBoxText(HWND child, LPARAM)
{
    char name[16], text[128];
    if (GetClassNameA(child, name, sizeof name) && std::strcmp(name, "Static") == 0 &&
        GetWindowTextA(child, text, sizeof text) > 0)
        gBoxes += std::string(text) + "\n";
    return TRUE;
}

static DWORD WINAPI AnswerBoxes(LPVOID)
{
    for (;;) {
        if (HWND box = FindWindowA(nullptr, "SHUTDOWN ERROR")) {
            EnumChildWindows(box, ReadBoxText, 0);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
        Sleep(50);
    }
}

// The run's end asked for: the shell's quit flag, or a WM_QUIT left waiting (which would also close
// the next message box at once).
static bool IsQuitWaiting()
{
    MSG msg;
    return gQuitRequested || PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

static HWND MakeHost()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TeardownHost";
    RegisterClassA(&wc);
    return CreateWindowExA(0, "TeardownHost", "Host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 150, nullptr,
                           nullptr, wc.hInstance, nullptr);
}

// A window of the render window's class that the run knows nothing of: its class cannot go.
static void HoldWindowClass()
{
    CreateWindowExA(0, "OpenGL", "held", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, GetModuleHandleA(nullptr),
                    nullptr);
}

static int Verdict(bool right, const char* what)
{
    std::printf("%s: %s\n", right ? "ok" : "FAILED", what);
    if (!gBoxes.empty())
        std::printf("boxes shown:\n%s", gBoxes.c_str());
    return right ? 0 : 1;
}

int main(int argc, char** argv)
{
    const std::string which = argc > 1 ? argv[1] : "";
    if (HANDLE answerer = CreateThread(nullptr, 0, AnswerBoxes, nullptr, 0, nullptr))
        CloseHandle(answerer);
    if (PrepareRenderWindow() != WindowFailure::kNone)
        return Verdict(false, "the window class is registered");

    if (which == "teardown") {
        // What a failed creation does too: its window goes inside the teardown, and the quit that
        // would close the box to follow must not come.
        HWND host = MakeHost();
        if (CreateRenderWindow("Kelvaron", 152, 112, 32, false, reinterpret_cast<uintptr_t>(host)) !=
            WindowFailure::kNone)
            return Verdict(false, "a preview window opens in the host");
        DestroyRenderWindow();
        return Verdict(!IsQuitWaiting() && gBoxes.empty(), "a preview taken down by its run posts no quit");
    }
    if (which == "destroyed") {
        if (CreateRenderWindow("Start", 320, 240, 32, false, 0) != WindowFailure::kNone)
            return Verdict(false, "a windowed run's window opens");
        DestroyWindow(gWin32.hwnd);
        return Verdict(!IsQuitWaiting(), "a full run's window destroyed by someone else does not end the program");
    }
    if (which == "host-destroys") {
        HWND host = MakeHost();
        if (CreateRenderWindow("Kelvaron", 152, 112, 32, false, reinterpret_cast<uintptr_t>(host)) !=
            WindowFailure::kNone)
            return Verdict(false, "a preview window opens in the host");
        DestroyWindow(host);
        return Verdict(IsQuitWaiting(), "a preview's window destroyed with its host ends the preview");
    }
    if (which == "never-made") {
        HoldWindowClass();
        DestroyRenderWindow();
        return Verdict(gBoxes == "Could Not Unregister Class.\n",
                       "a class that cannot go is said when the window was never made");
    }
    if (which == "host-gone") {
        HWND host = MakeHost();
        gWin32.hostWindow = host;
        DestroyWindow(host);
        HoldWindowClass();
        DestroyRenderWindow();
        return Verdict(gBoxes.empty(), "a class held after the host went is not said");
    }
    std::fprintf(stderr, "usage: window-teardown.exe teardown|destroyed|host-destroys|never-made|host-gone\n");
    return 2;
}
