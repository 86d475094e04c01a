// The clocks on Linux: SDL's tick count for the frames, and the start-up figures' clocks. The kernel
// records the process start in clock ticks after boot (10 ms steps), which the boot-time clock turns
// into wall-clock time.
#include <SDL.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/Platform.h"

static double ReadClockMs(clockid_t clock)
{
    timespec now;
    clock_gettime(clock, &now);
    return double(now.tv_sec) * 1000 + double(now.tv_nsec) / 1e6;
}

double ReadWallClockMs()
{
    return ReadClockMs(CLOCK_REALTIME);
}

// Field 22 of /proc/self/stat, counted after the command name's closing parenthesis as the name may
// hold blanks.
double ReadProcessStartMs()
{
    char text[1024] = {};
    FILE* file = std::fopen("/proc/self/stat", "r");
    if (!file)
        return ReadWallClockMs();
    size_t length = std::fread(text, 1, sizeof text - 1, file);
    std::fclose(file);
    text[length] = '\0';
    const char* field = std::strrchr(text, ')');
    for (int i = 2; field && i < 22; ++i)
        field = std::strchr(field + 1, ' ');
    double afterBootMs = field ? std::strtod(field, nullptr) * 1000 / double(sysconf(_SC_CLK_TCK)) : 0;
    return ReadWallClockMs() - (ReadClockMs(CLOCK_BOOTTIME) - afterBootMs);
}

uint32_t ReadTickCount()
{
    return SDL_GetTicks();
}
