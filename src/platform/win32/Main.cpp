// The screensaver's entry point: the host's switch picks preview, full run or settings.
#include <cstring>

#include "platform/Platform.h"
#include "platform/win32/Win32Backend.h"

// The host window's handle follows the first blank of a preview command line; null when what
// follows is not a window id.
static HWND FindPreviewHost(const char* commandLine)
{
    const char* blank = std::strchr(commandLine, ' ');
    unsigned long id = 0;
    if (!blank || !ReadWindowId(blank + 1, &id))
        return nullptr;
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(id));
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR lpCmdLine, int)
{
    NoteStartupStep("main");
    bool started = false;
    switch (ChooseRunMode(lpCmdLine)) {
    case RunMode::kPreview: {
        HWND host = FindPreviewHost(lpCmdLine);
        if (!host) {
            MessageBoxA(nullptr, kBadPreviewId, "ERROR", MB_OK | MB_ICONEXCLAMATION);
            return 2;
        }
        RECT client;
        if (!IsWindow(host) || !GetClientRect(host, &client)) {
            MessageBoxA(nullptr, "The preview needs the handle of an existing host window after /p.", "ERROR",
                        MB_OK | MB_ICONEXCLAMATION);
            return 1;
        }
        started = StartPreview(reinterpret_cast<uintptr_t>(host), client.right - client.left,
                               client.bottom - client.top);
        break;
    }
    case RunMode::kFullRun:
        started = StartFullRun();
        break;
    case RunMode::kSettingsDialog:
        return RunSettingsDialog() ? 0 : 1;
    }
    // A run whose window could not be made has failed; the host pays no heed, a script may.
    return started ? RunUntilQuit() : 1;
}
