// The null backend's window: an offscreen context of the asked size, made and let go.
#include <cstdio>

#include "platform/null/NullPlatform.h"
#include "platform/offscreen/Offscreen.h"

WindowFailure CreateRenderWindow(const char* title, int width, int height, int bits, bool fullscreen,
                                 uintptr_t parent)
{
    gNullCalls.push_back("CreateRenderWindow");
    if (gNullWindowFailure != WindowFailure::kNone)
        return gNullWindowFailure;
    if (!StartOffscreenGl(width, height))
        return WindowFailure::kCreateContext;
    gNullWindow = {true, title, width, height, bits, fullscreen, parent};
    std::snprintf(gNullWindowTitle, sizeof gNullWindowTitle, "%s", title);
    return WindowFailure::kNone;
}

void DestroyRenderWindow()
{
    WatchNullCall("DestroyRenderWindow");
    gNullCalls.push_back("DestroyRenderWindow");
    EndOffscreenGl();
    gNullWindow.exists = false;
}

