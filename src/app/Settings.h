// The configuration record, loaded at start and edited by the settings dialog.
#pragma once
#include <cstdint>

struct Settings {
    int32_t bitsPP;
    int32_t screenWidth;
    int32_t screenHeight;
    int32_t dFps;
    float sGravity;  // shown and stored, but the world always falls at -0.5
    float boxMass;   // stored only
    bool autopilot;  // a car left alone drives itself
    bool steadyPace; // frames are paced to dFps instead of running back to back
};

constexpr Settings kDefaultSettings = {16, 640, 480, 30, -10.5f, 0.02f, false, false};

extern Settings gSettings;
