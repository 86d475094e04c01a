// The null backend's display and window, but for the GL context (OffscreenWindow.cpp): the calls
// are recorded, the mode's answer is the test's.
#include <cstdio>

#include "platform/null/NullPlatform.h"

WindowFailure PrepareRenderWindow()
{
    gNullCalls.push_back("PrepareRenderWindow");
    return gNullPrepareFailure;
}

bool SetFullscreenMode(int, int, int)
{
    gNullCalls.push_back("SetFullscreenMode");
    return !gNullModeFails;
}

void RestoreDisplayMode()
{
    gNullCalls.push_back("RestoreDisplayMode");
}

// No monitors of its own: the calls are recorded.
void CoverOtherMonitors()
{
    gNullCalls.push_back("CoverOtherMonitors");
}

void UncoverMonitors()
{
    gNullCalls.push_back("UncoverMonitors");
}

void SetRenderWindowTitle(const char* title)
{
    std::snprintf(gNullWindowTitle, sizeof gNullWindowTitle, "%s", title);
}

void PresentFrame()
{
    WatchNullCall("PresentFrame");
    ++gNullFramesPresented;
}
