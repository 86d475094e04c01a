#include "platform/linux/CommandLine.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/Platform.h"

// -name or --name
static bool IsOption(const char* arg, const char* name)
{
    if (arg[0] != '-')
        return false;
    return !std::strcmp(arg + 1, name) || (arg[1] == '-' && !std::strcmp(arg + 2, name));
}

// XScreenSaver cannot be driven from the keyboard: there the cars drive themselves at a steady pace
// unless its settings say otherwise, with these options after -root or -window-id ID.
static bool ReadXScreenSaverOptions(int first, int argc, const char* const* argv, LaunchRequest* request,
                                    std::string* error)
{
    request->autopilot = request->steadyPace = true;
    for (int i = first; i < argc; ++i) {
        if (IsOption(argv[i], "no-autopilot")) {
            request->autopilot = false;
        } else if (IsOption(argv[i], "no-pace")) {
            request->steadyPace = false;
        } else {
            *error = std::string("unknown option '") + argv[i] + "' for XScreenSaver";
            return false;
        }
    }
    return true;
}

static bool ReadXScreenSaverWindow(const char* text, LaunchRequest* request, std::string* error)
{
    request->mode = LaunchMode::kXScreenSaver;
    request->window = 0;
    if (text && !ReadWindowId(text, &request->window)) {
        *error = std::string("XSCREENSAVER_WINDOW is not a window id: '") + text + "'";
        return false;
    }
    return true;
}

static bool ReadSaverSeconds(const char* text, int* seconds)
{
    if (text[0] < '0' || text[0] > '9')
        return false;
    char* end;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (*end || errno == ERANGE || value < 1 || value > kMostSaverSeconds)
        return false;
    *seconds = int(value);
    return true;
}

static bool ReadRunRequest(int argc, const char* const* argv, const char* xscreensaverWindow,
                           LaunchRequest* request, std::string* error)
{
    if (argc == 2 && (IsOption(argv[1], "help") || !std::strcmp(argv[1], "-h"))) {
        request->mode = LaunchMode::kHelp;
        return true;
    }
    if (argc == 2 && IsOption(argv[1], "version")) {
        request->mode = LaunchMode::kVersion;
        return true;
    }
    if (argc == 2 && IsOption(argv[1], "add-to-xscreensaver")) {
        request->mode = LaunchMode::kAddToXScreenSaver;
        return true;
    }
    if (argc == 2 && IsOption(argv[1], "remove-from-xscreensaver")) {
        request->mode = LaunchMode::kRemoveFromXScreenSaver;
        return true;
    }
    if (argc == 2 && IsOption(argv[1], "layer")) {
        request->mode = LaunchMode::kLayerRun;
        return true;
    }
    if (argc <= 3 && argc >= 2 && IsOption(argv[1], "saver")) {
        request->mode = LaunchMode::kSaver;
        request->saverSeconds = kSaverSeconds;
        if (argc == 3 && !ReadSaverSeconds(argv[2], &request->saverSeconds)) {
            *error = std::string("--saver takes the seconds without input before the run starts, a whole number from "
                                 "1 to ") + std::to_string(kMostSaverSeconds) + ", not '" + argv[2] + "'";
            return false;
        }
        return true;
    }
    // XScreenSaver's own options come first.
    if (argc >= 2 && IsOption(argv[1], "root"))
        return ReadXScreenSaverOptions(2, argc, argv, request, error) &&
               ReadXScreenSaverWindow(xscreensaverWindow, request, error);
    if (argc >= 2 && IsOption(argv[1], "window-id")) {
        request->mode = LaunchMode::kXScreenSaver;
        if (argc < 3 || !ReadWindowId(argv[2], &request->window)) {
            *error = "-window-id needs one window id, decimal or 0x hexadecimal";
            return false;
        }
        return ReadXScreenSaverOptions(3, argc, argv, request, error);
    }
    if (argc == 1 && xscreensaverWindow)
        return ReadXScreenSaverOptions(1, argc, argv, request, error) &&
               ReadXScreenSaverWindow(xscreensaverWindow, request, error);

    // The screensaver host's command line: the switch, and for a preview the host window after a blank.
    std::string line;
    for (int i = 1; i < argc; ++i)
        line += (i > 1 ? " " : "") + std::string(argv[i]);
    request->window = 0;
    if (line.size() < 2) {
        request->mode = LaunchMode::kSettingsDialog;
        return true;
    }
    std::string option = line.substr(0, line.find(' '));
    bool isSwitch = option[0] == '/' || option[0] == '-';
    switch (ChooseRunMode(line.c_str())) {
    case RunMode::kFullRun:
        if (isSwitch && line.size() == 2) {
            request->mode = LaunchMode::kFullRun;
            return true;
        }
        break;
    case RunMode::kPreview:
        if (isSwitch && option.size() == 2) {
            request->mode = LaunchMode::kPreview;
            size_t blank = line.find(' ');
            if (blank != std::string::npos && ReadWindowId(line.c_str() + blank + 1, &request->window))
                return true;
            *error = kBadPreviewId;
            return false;
        }
        break;
    case RunMode::kSettingsDialog:
        if (isSwitch && (option[1] == 'c' || option[1] == 'C') && (option.size() == 2 || option[2] == ':')) {
            request->mode = LaunchMode::kSettingsDialog;
            return true;
        }
        break;
    }
    *error = "unknown option '" + line + "'";
    return false;
}

bool ReadLaunchRequest(int argc, const char* const* argv, const char* xscreensaverWindow,
                       LaunchRequest* request, std::string* error)
{
    request->autopilot = request->steadyPace = request->host = false;
    request->saverSeconds = 0;
    std::vector<std::string> words(argv, argv + argc);
    if (!TakeRunSwitches(words, request->switches, *error))
        return false;
    const auto host = std::find(words.begin(), words.end(), "--host");
    if (host != words.end()) {
        request->host = true;
        words.erase(host);
    }
    const RunSwitches& s = request->switches;
    if (request->host && (!s.join.empty() || !s.play.empty())) {
        *error = "--host makes a room of its own: it goes with neither --join nor --play";
        return false;
    }
    std::vector<const char*> rest;
    for (const std::string& word : words)
        rest.push_back(word.c_str());
    if ((!s.play.empty() || !s.join.empty() || request->host) && rest.size() == 1) {
        request->mode = LaunchMode::kFullRun;
        return true;
    }
    if (!ReadRunRequest(int(rest.size()), rest.data(), xscreensaverWindow, request, error))
        return false;
    const bool run = request->mode == LaunchMode::kFullRun || request->mode == LaunchMode::kPreview ||
                     request->mode == LaunchMode::kXScreenSaver || request->mode == LaunchMode::kLayerRun;
    const char* needsRun = request->host ? "--host" : !s.join.empty() ? "--join" : !s.play.empty() ? "--play"
                           : !s.record.empty() ? "--record" : nullptr;
    if (!run && needsRun) {
        *error = std::string(needsRun) + " goes with a run: /s, /p WINDOW-ID, -root, -window-id WINDOW-ID or -layer";
        return false;
    }
    return true;
}
