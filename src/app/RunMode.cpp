#include "app/RunMode.h"

RunMode ChooseRunMode(const char* commandLine)
{
    if (!commandLine || !commandLine[0])
        return RunMode::kSettingsDialog;
    switch (commandLine[1]) {
    case 'p':
    case 'P':
        return RunMode::kPreview;
    case 's':
    case 'S':
        return RunMode::kFullRun;
    default:
        return RunMode::kSettingsDialog;
    }
}
