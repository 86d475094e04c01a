// The null backend's clock: set by the test by hand.
#include "platform/null/NullPlatform.h"

uint32_t ReadTickCount()
{
    WatchNullCall("ReadTickCount");
    return gNull.tickCount;
}

double ReadWallClockMs()
{
    return gNull.tickCount;
}

double ReadProcessStartMs()
{
    return 0;
}
