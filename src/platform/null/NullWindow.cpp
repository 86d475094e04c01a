// The null backend's window: an offscreen context of the asked size.
#include <cstdio>

#include "platform/null/NullPlatform.h"
#include "platform/offscreen/Offscreen.h"

bool CreateRenderWindow(const char* title, int width, int height, int bits, bool fullscreen, uintptr_t parent)
{
    gNullCalls.push_back("CreateRenderWindow");
    if (gNullWindowFails || !StartOffscreenGl(width, height))
        return false;
    gNullWindow = {true, title, width, height, bits, fullscreen, parent};
    std::snprintf(gNullWindowTitle, sizeof gNullWindowTitle, "%s", title);
    return true;
}

void DestroyRenderWindow()
{
    WatchNullCall("DestroyRenderWindow");
    gNullCalls.push_back("DestroyRenderWindow");
    EndOffscreenGl();
    gNullWindow.exists = false;
}

