// The screensaver host's three modes.
#pragma once

enum class RunMode {
    kPreview,         // inside the screensaver host's preview window
    kFullRun,         // the screensaver proper, with the stored settings
    kSettingsDialog,  // anything else
};

// The second character of the host's command line decides, in either case.
RunMode ChooseRunMode(const char* commandLine);
