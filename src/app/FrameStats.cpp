#include "app/FrameStats.h"

#include <cstdio>

#include "app/RunState.h"
#include "platform/Platform.h"

constexpr uint32_t kStatIntervalMs = 10000;

float gFrameCount;
static uint32_t gLastStatTicks;  // tick count of the last update, or of the first frame
static bool gStatsStarted;
float gFps;
float gSleepTime;
char gTitleText[20];

void ResetFrameStats()
{
    gFrameCount = 0;
    gLastStatTicks = 0;
    gStatsStarted = false;
    gFps = 0;
    gSleepTime = 0;
    gTitleText[0] = '\0';
}

void UpdateFrameStats()
{
    uint32_t now = ReadTickCount();
    if (!gStatsStarted) {
        // The first frame starts the clock: there is nothing to measure yet.
        gStatsStarted = true;
        gLastStatTicks = now;
        return;
    }
    gFrameCount += 1;
    uint32_t elapsedMs = now - gLastStatTicks;  // unsigned, so a tick-count wrap does no harm
    if (elapsedMs <= kStatIntervalMs)
        return;
    gLastStatTicks = now;
    gFps = float(gFrameCount / (elapsedMs * 0.001));
    std::snprintf(gTitleText, sizeof gTitleText, "FPS: %.1f", double(gFps));
    SetRenderWindowTitle(gTitleText);
    gFrameCount = 0;
    if (gDesiredFps - 10 > gFps)
        gSleepTime -= 10;
    if (gSleepTime < 0)
        gSleepTime = 0;
    if (gDesiredFps + 10 < gFps)
        gSleepTime += 10;
}
