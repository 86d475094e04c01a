// The null backend's window: an offscreen context of the asked size, made and let go.
#include <cstdio>

#include "platform/null/NullPlatform.h"
#include "platform/offscreen/Offscreen.h"

WindowFailure CreateRenderWindow(const char* title, int width, int height, int bits, bool fullscreen,
                                 uintptr_t parent)
{
    gNull.calls.push_back("CreateRenderWindow");
    if (gNull.windowFailure != WindowFailure::kNone)
        return gNull.windowFailure;
    if (!StartOffscreenGl(width, height))
        return WindowFailure::kCreateContext;
    gNull.window = {true, title, width, height, bits, fullscreen, parent};
    std::snprintf(gNull.windowTitle, sizeof gNull.windowTitle, "%s", title);
    return WindowFailure::kNone;
}

void DestroyRenderWindow()
{
    WatchNullCall("DestroyRenderWindow");
    gNull.calls.push_back("DestroyRenderWindow");
    EndOffscreenGl();
    gNull.window.exists = false;
}

