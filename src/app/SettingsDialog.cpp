#include "app/SettingsDialog.h"

#include <cstdio>

#include "app/Settings.h"

void OpenSettingsDialog(SettingsFields* fields)
{
    LoadSettings();
    FormatSettingsFields(gSettings, fields);
}

bool ConfirmSettingsDialog(const SettingsFields& fields, char* message, size_t messageSize)
{
    if (const char* problem = ReadSettingsFields(fields, &gSettings)) {
        std::snprintf(message, messageSize, "%s", problem);
        return false;
    }
    // Closing after a failed save would lose what was typed: the user may free the store and retry.
    return SaveSettings(message, messageSize);
}
