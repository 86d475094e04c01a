// The null backend's events: none come by themselves. A test calls the window's handlers itself, or
// queues commands for the frames it names.
#include "platform/null/NullPlatform.h"

PumpResult PumpOneEvent()
{
    return PumpResult::kIdle;
}

void WaitForEvents(uint32_t milliseconds)
{
    // The clock set by hand moves on by what was slept.
    gNull.tickCount += milliseconds;
    ++gNull.waits;
}
