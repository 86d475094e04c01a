#include "app/WindowEvents.h"

#include <cstdlib>

#include "app/Commands.h"
#include "app/RunState.h"
#include "gl/GlState.h"
#include "gl/Text.h"
#include "platform/Platform.h"

bool gActive = true;
int gWindowWidth;
int gWindowHeight;
int gMouseMoveCount = 1;
static int gMouseRefX, gMouseRefY;  // where the cursor was when the reference was taken

void ResetWindowEvents()
{
    gActive = true;
    gWindowWidth = gWindowHeight = 0;
    gMouseMoveCount = 1;
    gMouseRefX = gMouseRefY = 0;
}

// A motion of more than kMouseTolerance deletes the overlay font and, unless previewing, ends the run.
void HandleMouseMoved(int screenX, int screenY)
{
    // The first motion (the window appearing under the cursor) takes the reference; small motions
    // never move it, so creeping away still ends the run.
    if (gMouseMoveCount == 1) {
        gMouseRefX = screenX;
        gMouseRefY = screenY;
    } else if (std::abs(screenX - gMouseRefX) > kMouseTolerance || std::abs(screenY - gMouseRefY) > kMouseTolerance) {
        gMouseMoveCount = 0;
        DeleteBitmapFont();
        if (!gPreview)
            RequestQuit();
    }
    ++gMouseMoveCount;
}

void HandleResized(int width, int height)
{
    gWindowWidth = width;
    gWindowHeight = height;
    ResizeViewport(width, height);
}

void HandleMinimised(bool minimised)
{
    gActive = !minimised;
}

void HandleCloseRequested()
{
    RequestQuit();
}
