// The start-up figures' lines (declared in platform/Platform.h).
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/Platform.h"

// When the launcher says (seconds since 1970, with a point), else when the process started.
static double ReadLaunchMs(const char* launch)
{
    char* end = nullptr;
    double seconds = std::strtod(launch, &end);
    return end != launch && std::strchr(launch, '.') ? seconds * 1000 : ReadProcessStartMs();
}

void NoteStartupStep(const char* step)
{
    static const char* const launch = std::getenv("KELVARON_STARTUP_TIMES");
    if (!launch)
        return;
    static const double launchMs = ReadLaunchMs(launch);
    std::fprintf(stderr, "kelvaron: start-up %s %.2f\n", step, ReadWallClockMs() - launchMs);
}
