// The screensaver host's three modes.
#pragma once

enum class RunMode {
    kPreview,         // inside the screensaver host's preview window
    kFullRun,         // the screensaver proper, with the stored settings
    kSettingsDialog,  // anything else
};

// The second character of the host's command line decides, in either case.
RunMode ChooseRunMode(const char* commandLine);

// A host window's id, decimal or hexadecimal with 0x, at most 32 bits; false for anything else or 0.
bool ReadWindowId(const char* text, unsigned long* id);
constexpr const char* kBadPreviewId =
    "the preview switch needs the host window's id after it, decimal or 0x hexadecimal";
