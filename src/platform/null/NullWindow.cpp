// The null backend's window: an offscreen context of the asked size.
#include <cstdio>

#include "gl/GlState.h"
#include "gl/Text.h"
#include "platform/null/NullPlatform.h"
#include "platform/offscreen/Offscreen.h"

bool CreateRenderWindow(const char* title, int width, int height, int bits, bool fullscreen, uintptr_t parent,
                        bool* modeChanged)
{
    gNullCalls.push_back("CreateRenderWindow");
    *modeChanged = false;
    if (gNullWindowFails || !StartOffscreenGl(width, height))
        return false;
    *modeChanged = fullscreen;
    gNullWindow = {true, title, width, height, bits, fullscreen, parent};
    std::snprintf(gNullWindowTitle, sizeof gNullWindowTitle, "%s", title);
    ResizeViewport(width, height);
    InitRenderState();
    return true;
}

void DestroyRenderWindow()
{
    gNullCalls.push_back(!gFontGlyphs.empty() ? "DestroyRenderWindow with the font" : "DestroyRenderWindow");
    EndOffscreenGl();
    gNullWindow.exists = false;
}

