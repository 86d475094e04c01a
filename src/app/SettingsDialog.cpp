// The settings dialog's decisions (declared in platform/Platform.h), the same on every platform; a
// backend only shows the fields and the messages.
#include <cstdio>

#include "app/Settings.h"
#include "app/SettingsStore.h"
#include "platform/Platform.h"

void OpenSettingsDialog(SettingsFields* fields)
{
    LoadSettings();
    FormatSettingsFields(gSettings, fields);
}

bool ConfirmSettingsDialog(const SettingsFields& fields, char* message, size_t messageSize)
{
    if (const char* problem = TakeSettingsFields(fields)) {
        std::snprintf(message, messageSize, "%s", problem);
        return false;
    }
    // Closing after a failed save would lose what was typed: the user may free the store and retry.
    return SaveSettings(message, messageSize);
}
