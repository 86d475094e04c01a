// The null backend's display and window, but for the GL context (OffscreenWindow.cpp): the calls
// are recorded, the mode's answer is the test's.
#include <cstdio>

#include "platform/null/NullPlatform.h"

WindowFailure PrepareRenderWindow()
{
    gNull.calls.push_back("PrepareRenderWindow");
    return gNull.prepareFailure;
}

bool SetFullscreenMode(int, int, int)
{
    gNull.calls.push_back("SetFullscreenMode");
    return !gNull.modeFails;
}

void RestoreDisplayMode()
{
    gNull.calls.push_back("RestoreDisplayMode");
}

// No monitors of its own: the calls are recorded.
void CoverOtherMonitors()
{
    gNull.calls.push_back("CoverOtherMonitors");
}

void UncoverMonitors()
{
    gNull.calls.push_back("UncoverMonitors");
}

void SetRenderWindowTitle(const char* title)
{
    std::snprintf(gNull.windowTitle, sizeof gNull.windowTitle, "%s", title);
}

void PresentFrame()
{
    WatchNullCall("PresentFrame");
    ++gNull.framesPresented;
}
