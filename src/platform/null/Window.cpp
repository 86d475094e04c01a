// The null backend's display and window, but for the GL context (OffscreenWindow.cpp): the calls
// are recorded, the mode's answer is the test's.
#include <cstdio>
#include <string>

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

// The window, or the surfaces the test set, each drawn into the one offscreen buffer at its own size.
bool SelectRenderSurface(int index)
{
    if (gNullSurfaces.empty())
        return index == 0;
    if (index >= int(gNullSurfaces.size()))
        return false;
    gNullCalls.push_back("SelectRenderSurface " + std::to_string(index));
    HandleResized(gNullSurfaces[size_t(index)].width, gNullSurfaces[size_t(index)].height);
    return true;
}

void PresentFrame()
{
    WatchNullCall("PresentFrame");
    ++gNullFramesPresented;
}
