// The page's program: one full run after another in the page's canvas, each a seat in a room when
// the page's address names one. Runs block as on the desktop; the browser gets its turn whenever a
// frame is presented or the run waits (Asyncify).
#include <emscripten.h>

#include "platform/Platform.h"
#include "platform/web/WebBackend.h"

// The page says the run has ended and waits for "Start again" or the full-screen button.
EM_ASYNC_JS(void, AwaitNextRun, (), { await Module.kelvaronPage.awaitNextRun(); });

int main()
{
    NoteStartupStep("main");
    RunSettingsDialog();
    for (;;) {
        ReadPageRoom();
        if (!StartFullRun())
            return 1;
        RunUntilQuit();
        // Keys held as the run ended (Escape among them) are let go as the next one starts.
        if (!TakeRestartRequest())
            AwaitNextRun();
    }
}
