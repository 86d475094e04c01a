#include "render/Overlay.h"

#include <cmath>
#include <cstdio>

#include "app/RunState.h"
#include "app/Settings.h"
#include "physics/Car.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "render/Primitives.h"

constexpr uint32_t kStatIntervalMs = 10000;

float gFrameCount;
uint32_t gLastStatTicks;
bool gStatsStarted;
float gFps;
float gSleepTime;
char gTitleText[20];

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

float CarGroundSpeed(int c)
{
    const dReal* v = dBodyGetLinearVel(gCars[c].chassis.body);
    float vx = float(v[0]), vy = float(v[1]);
    return std::sqrt(vx * vx + vy * vy);
}

void DrawOverlay()
{
    float speeds[kCarCount];
    for (int c = 0; c < kCarCount; ++c)
        speeds[c] = CarGroundSpeed(c);

    glLoadIdentity();
    glTranslatef(0, 0, -1);
    glColor3f(1, 0, 1);
    glRasterPos2f(-0.45f, -0.33f);
    PrintText(" Fps:[%.2f] Gravity:[%.5f] SleepTime:[%.2f]", double(gFps), double(gSettings.sGravity),
              double(gSleepTime));
    glRasterPos2f(-0.45f, -0.37f);
    PrintText("Velocity Car1>[%f], Car2>[%f], Car3>[%f]", double(speeds[0]), double(speeds[1]),
              double(speeds[2]));

    // From high above, nearly straight down: world +x runs to the upper right, +y to the upper left.
    gluLookAt(0, 0, 1500, 2, 2, 10, 0, 0, 1);
    for (const Car& car : gCars) {
        glColor3f(float(car.color[0]), float(car.color[1]), float(car.color[2]));
        DrawBodyBox(car.chassis);
    }
}
