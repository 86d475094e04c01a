// The start-up figures' clock on Windows: the system time against the launch time a launcher put in
// KELVARON_STARTUP_TIMES (under Wine that launch includes Wine's own start), or against the
// process's creation time.
#include <cstdlib>
#include <cstring>

#include "platform/Platform.h"
#include "platform/win32/Win32Backend.h"

constexpr double kEpochMsOnFileTime = 11644473600000.0;  // 1970 counted from 1601

static double ToMs(const FILETIME& time)
{
    return double((uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 10000;
}

// To the microsecond where the system has the precise clock (Windows 8 on, and Wine).
static double ReadSystemTimeMs()
{
    using ReadTime = void(WINAPI*)(FILETIME*);
    static const ReadTime precise = reinterpret_cast<ReadTime>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetSystemTimePreciseAsFileTime")));
    FILETIME now;
    (precise ? precise : GetSystemTimeAsFileTime)(&now);
    return ToMs(now);
}

double ReadMsSinceLaunch()
{
    const char* launch = std::getenv("KELVARON_STARTUP_TIMES");
    char* end = nullptr;
    double launchSeconds = launch ? std::strtod(launch, &end) : 0;
    if (launch && end != launch && std::strchr(launch, '.'))
        return ReadSystemTimeMs() - kEpochMsOnFileTime - launchSeconds * 1000;
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return 0;
    return ReadSystemTimeMs() - ToMs(created);
}
