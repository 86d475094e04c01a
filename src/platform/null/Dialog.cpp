// The null backend's settings dialog: recorded, never shown.
#include "platform/null/NullPlatform.h"

bool RunSettingsDialog()
{
    gNull.calls.push_back("RunSettingsDialog");
    return true;
}
