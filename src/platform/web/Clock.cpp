// Time in the page: performance.now() for the frame clock, as requestAnimationFrame keeps it.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cmath>

#include "platform/Platform.h"

uint32_t ReadTickCount()
{
    return uint32_t(std::fmod(std::floor(emscripten_get_now()), 4294967296.0));
}

// The wall clock to the microsecond: performance's, from its origin.
EM_JS(double, ReadPerformanceWallClock, (), { return performance.timeOrigin + performance.now(); });
// The page's start: the navigation.
EM_JS(double, ReadPerformanceOrigin, (), { return performance.timeOrigin; });

double ReadWallClockMs()
{
    return ReadPerformanceWallClock();
}

double ReadProcessStartMs()
{
    return ReadPerformanceOrigin();
}
