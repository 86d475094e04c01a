// A preview never outlives its host. A host killed outright takes the preview's window along without
// a WM_DESTROY; the message pump then sees the host gone when idle (WindowProc.cpp), but under Wine
// the preview's thread may instead be waiting on a call about that window that never returns. This
// watcher looks at the host ten times a second and, half a second after it has gone, ends the
// process if the run has not ended by then. A preview has nothing to save or restore.
#include "platform/win32/Win32Backend.h"

static const DWORD kLookEvery = 100;  // ms
static const DWORD kGrace = 500;      // ms for the ordinary teardown

static DWORD WINAPI WatchHost(LPVOID)
{
    while (IsWindow(gHostWindow))
        Sleep(kLookEvery);
    Sleep(kGrace);
    // Not ExitProcess: the stuck thread may hold a lock that its DLLs' detaching would wait on.
    TerminateProcess(GetCurrentProcess(), 0);
    return 0;
}

void WatchPreviewHost()
{
    if (HANDLE watcher = CreateThread(nullptr, 0, WatchHost, nullptr, 0, nullptr))
        CloseHandle(watcher);
}
