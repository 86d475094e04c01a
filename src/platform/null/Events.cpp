// The null backend's events: the test's script, handed over once enough frames have been presented,
// and the quit request.
#include "platform/null/NullPlatform.h"

static void DeliverEvent(const NullEvent& e)
{
    switch (e.kind) {
    case NullEvent::kKeyDown: HandleKeyDown(unsigned(e.a)); break;
    case NullEvent::kKeyUp: HandleKeyUp(unsigned(e.a)); break;
    case NullEvent::kFocusLost: HandleFocusLost(); break;
    case NullEvent::kMouseMoved: HandleMouseMoved(e.a, e.b); break;
    case NullEvent::kResized: HandleResized(e.a, e.b); break;
    case NullEvent::kMinimised: HandleMinimised(true); break;
    case NullEvent::kRestored: HandleMinimised(false); break;
    case NullEvent::kCloseRequested: HandleCloseRequested(); break;
    }
}

PumpResult PumpOneEvent()
{
    if (!gNullEvents.empty() && gNullEvents.front().frame <= gNullFramesPresented) {
        NullEvent e = gNullEvents.front();
        gNullEvents.erase(gNullEvents.begin());
        DeliverEvent(e);
        return PumpResult::kHandled;
    }
    if (gNullQuitRequested) {
        gNullQuitRequested = false;
        return PumpResult::kQuit;
    }
    return PumpResult::kIdle;
}

void WaitForEvents(uint32_t milliseconds)
{
    // The clock set by hand moves on by what was slept.
    gNullTickCount += milliseconds;
    ++gNullWaits;
}

void PostQuitRequest()
{
    gNullCalls.push_back("PostQuitRequest");
    gNullQuitRequested = true;
}
