// The configuration record, loaded at start and edited by the settings dialog. Settings.cpp is the
// one writer of gSettings; everything else reads it or asks through these functions.
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/Platform.h"

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

// Back to the defaults, as a new process has them.
void ResetSettings();
// Takes the stored values; a value the store lacks, or a screen size that is not usable, leaves its
// field as it is.
void LoadSettings();
// Stores gSettings; false with the reason when the old values had to be left as they were.
bool SaveSettings(char* error, size_t errorSize);
// Takes the dialog's fields as ReadSettingsFields reads them; the message to show, and nothing
// taken, when a field must be corrected; null once taken.
const char* TakeSettingsFields(const SettingsFields& fields);
// XScreenSaver's window decides the size, and its settings the two switches.
void TakeXScreenSaverSettings(int width, int height, bool autopilot, bool steadyPace);
// The gravity shown is the one the world really falls at, whatever was stored.
void ShowWorldGravity(float gravity);
