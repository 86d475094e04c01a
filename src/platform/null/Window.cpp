// The null backend's display and window, but for the GL context (OffscreenWindow.cpp): the calls
// are recorded, the mode's answer is the test's.
#include <cstdio>
#include <string>

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

// The window, or the surfaces the test set, each drawn into the one offscreen buffer at its own size.
bool SelectRenderSurface(int index)
{
    if (gNull.surfaces.empty())
        return index == 0;
    if (index >= int(gNull.surfaces.size()))
        return false;
    gNull.calls.push_back("SelectRenderSurface " + std::to_string(index));
    HandleResized(gNull.surfaces[size_t(index)].width, gNull.surfaces[size_t(index)].height);
    return true;
}

void PresentFrame()
{
    WatchNullCall("PresentFrame");
    ++gNull.framesPresented;
}
