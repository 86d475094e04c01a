#include "app/Settings.h"

#include "app/SettingsStore.h"

Settings gSettings = kDefaultSettings;

void ResetSettings()
{
    gSettings = kDefaultSettings;
}

void LoadSettings()
{
    StoredSettings stored = {};
    ReadStoredSettings(&stored);
    DecodeSettings(stored, &gSettings);
}

bool SaveSettings(char* error, size_t errorSize)
{
    int32_t values[kStoredValueCount];
    EncodeSettings(gSettings, values);
    return WriteStoredSettings(values, error, errorSize);
}

const char* TakeSettingsFields(const SettingsFields& fields)
{
    return ReadSettingsFields(fields, &gSettings);
}

void TakeXScreenSaverSettings(int width, int height, bool autopilot, bool steadyPace)
{
    gSettings.screenWidth = width;
    gSettings.screenHeight = height;
    gSettings.autopilot = autopilot;
    gSettings.steadyPace = steadyPace;
}

void ShowWorldGravity(float gravity)
{
    gSettings.sGravity = gravity;
}

