#include "DrawnRun.h"

#include "FreshProcess.h"
#include "app/Frame.h"
#include "app/OverlayFont.h"
#include "app/Shell.h"
#include "platform/Platform.h"

constexpr uintptr_t kHostWindow = 1;  // the null backend's offscreen context stands in for any host

bool StartDrawnRun(int width, int height)
{
    StartFreshProcess();
    // A preview's window reads no settings: it takes the size it is given.
    if (!StartPreview(kHostWindow, width, height))
        return false;
    BuildRunWorld();
    LoadOverlayFont();
    return true;
}

void EndDrawnRun()
{
    TakeDownRun();
}
