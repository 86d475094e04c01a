// The start-up figures' clock on Linux: the wall clock against the launch time a launcher put in
// KELVARON_STARTUP_TIMES, or the boot-time clock against the kernel's record of the process start,
// which comes in clock ticks (10 ms steps).
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

// Milliseconds after boot at which the process started; field 22 of /proc/self/stat, counted after
// the command name's closing parenthesis as the name may hold blanks.
static double ReadProcessStartMs()
{
    char text[1024] = {};
    FILE* file = std::fopen("/proc/self/stat", "r");
    if (!file)
        return 0;
    size_t length = std::fread(text, 1, sizeof text - 1, file);
    std::fclose(file);
    text[length] = '\0';
    const char* field = std::strrchr(text, ')');
    for (int i = 2; field && i < 22; ++i)
        field = std::strchr(field + 1, ' ');
    return field ? std::strtod(field, nullptr) * 1000 / double(sysconf(_SC_CLK_TCK)) : 0;
}

double ReadMsSinceLaunch()
{
    const char* launch = std::getenv("KELVARON_STARTUP_TIMES");
    char* end = nullptr;
    double launchSeconds = launch ? std::strtod(launch, &end) : 0;
    if (launch && end != launch && std::strchr(launch, '.'))
        return ReadClockMs(CLOCK_REALTIME) - launchSeconds * 1000;
    static const double startMs = ReadProcessStartMs();
    return ReadClockMs(CLOCK_BOOTTIME) - startMs;
}
