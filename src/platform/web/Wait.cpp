// The page's one way to wait: the program sleeps (Asyncify) until an event wakes it or the time is up,
// and the browser runs meanwhile. Keys and the relay's messages wake it.
#include <emscripten.h>

#include "platform/web/WebBackend.h"

EM_JS(void, ResolveWait, (), { if (Module.kelvaronWake) Module.kelvaronWake(); });

EM_ASYNC_JS(void, AwaitWakeOrTimeout, (uint32_t milliseconds), {
    await new Promise((resolve) => {
        Module.kelvaronWake = resolve;
        setTimeout(resolve, milliseconds);
    });
    Module.kelvaronWake = null;
});

void AwaitEvent(uint32_t milliseconds)
{
    AwaitWakeOrTimeout(milliseconds);
}

void WakeWaiter()
{
    ResolveWait();
}
