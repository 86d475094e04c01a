// The clocks on Windows: the tick count the frames are timed by, and the start-up figures' clocks (the
// system time and the process's creation time).
#include "platform/Platform.h"
#include "platform/win32/Win32Backend.h"

constexpr double kEpochMsOnFileTime = 11644473600000.0;  // 1970 counted from 1601

static double ToEpochMs(const FILETIME& time)
{
    return double((uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 10000 - kEpochMsOnFileTime;
}

// To the microsecond where the system has the precise clock (Windows 8 on, and Wine).
double ReadWallClockMs()
{
    using ReadTime = void(WINAPI*)(FILETIME*);
    static const ReadTime precise = reinterpret_cast<ReadTime>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetSystemTimePreciseAsFileTime")));
    FILETIME now;
    (precise ? precise : GetSystemTimeAsFileTime)(&now);
    return ToEpochMs(now);
}

double ReadProcessStartMs()
{
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return ReadWallClockMs();
    return ToEpochMs(created);
}

uint32_t ReadTickCount()
{
    return GetTickCount();
}
