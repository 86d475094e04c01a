// The shared run as a backend may show it (declared in platform/Platform.h).
#include "net/SharedRun.h"
#include "platform/Platform.h"

SharedRunStatus ReadSharedRunStatus()
{
    const char* line = DescribeSharedRun();
    return {gShared.room, gShared.seat, line ? line : "", !gShared.ended.empty()};
}
