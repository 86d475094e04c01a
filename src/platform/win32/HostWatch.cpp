// A preview never outlives its host. A host killed outright takes the preview's window along without
// a WM_DESTROY, and under Wine the preview's thread may be waiting in wglSwapBuffers on that window,
// for ever. This watcher looks at the host ten times a second; once it has gone, it asks the run to
// end and, soon after, ends the process should the run not have ended; if the run is by then taking
// itself down, it waits longer first, as ending a process from two threads at once can leave it
// stuck in Wine. A preview has nothing to save or restore.
#include "platform/win32/Win32Backend.h"

static const DWORD kLookEvery = 100;  // ms
static const DWORD kGrace = 300;      // ms for the ordinary teardown to begin
static const DWORD kTeardown = 400;   // ms for it to end
static const UINT kEndedByWatcher = 3;  // the exit status that says the run did not end by itself

static DWORD WINAPI WatchHost(LPVOID)
{
    while (IsWindow(gWin32.hostWindow))
        Sleep(kLookEvery);
    PostThreadMessageA(gWin32.runThread, WM_QUIT, 0, 0);
    Sleep(kGrace);
    if (InterlockedCompareExchange(&gWin32.takingDown, 1, 0) != 0)
        Sleep(kTeardown);
    // Not ExitProcess: the stuck thread may hold a lock that its DLLs' detaching would wait on.
    TerminateProcess(GetCurrentProcess(), kEndedByWatcher);
    return 0;
}

void WatchPreviewHost()
{
    gWin32.runThread = GetCurrentThreadId();
    if (HANDLE watcher = CreateThread(nullptr, 0, WatchHost, nullptr, 0, nullptr))
        CloseHandle(watcher);
}

bool ClaimTeardown()
{
    return InterlockedCompareExchange(&gWin32.takingDown, 1, 0) == 0;
}
