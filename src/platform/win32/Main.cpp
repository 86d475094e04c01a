// The screensaver's entry point: the host's switch picks preview, full run or settings.
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/win32/Win32Backend.h"

// The host window's handle follows the first blank of a preview command line; null when what
// follows is not a window id.
static HWND FindPreviewHost(const char* commandLine)
{
    const char* blank = std::strchr(commandLine, ' ');
    unsigned long id = 0;
    if (!blank || !ReadWindowId(blank + 1, &id))
        return nullptr;
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(id));
}

// The command line's words: blanks part them, double quotes hold a path with blanks together.
static std::vector<std::string> SplitCommandLine(const char* line)
{
    std::vector<std::string> words;
    std::string word;
    bool quoted = false, any = false;
    for (const char* c = line; *c; ++c) {
        if (*c == '"') {
            quoted = !quoted;
            any = true;
        } else if ((*c == ' ' || *c == '\t') && !quoted) {
            if (any)
                words.push_back(word);
            word.clear();
            any = false;
        } else {
            word += *c;
            any = true;
        }
    }
    if (any)
        words.push_back(word);
    return words;
}

// "--record FILE", "--play FILE" and "--join LINK" come out of the command line's words; what is left
// is the host's switch and window.
static bool TakeRunRequest(const char* commandLine, std::string* hostLine, bool* switchesAlone)
{
    std::vector<std::string> words = SplitCommandLine(commandLine);
    RunSwitches switches;
    std::string error;
    if (!TakeRunSwitches(words, switches, error)) {
        MessageBoxA(nullptr, error.c_str(), "ERROR", MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    for (const std::string& word : words)
        *hostLine += (hostLine->empty() ? "" : " ") + word;
    *switchesAlone = (!switches.play.empty() || !switches.join.empty()) && hostLine->empty();
    if (*switchesAlone)
        *hostLine = "/s";  // --play or --join alone is a full run
    if (!StartRunSwitches(switches, error)) {
        error[0] = char(std::toupper(static_cast<unsigned char>(error[0])));
        MessageBoxA(nullptr, error.c_str(), "ERROR", MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR lpCmdLine, int)
{
    NoteStartupStep("main");
    std::string hostLine;
    bool switchesAlone;
    if (!TakeRunRequest(lpCmdLine, &hostLine, &switchesAlone))
        return 2;
    const char* commandLine = hostLine.c_str();
    // The mode by the second character of the line as Windows gives it, quotes and blanks as they
    // are: a quoted "/s" is no full run. Only --play or --join alone stand for "/s".
    bool started = false;
    switch (ChooseRunMode(switchesAlone ? commandLine : lpCmdLine)) {
    case RunMode::kPreview: {
        HWND host = FindPreviewHost(commandLine);
        if (!host) {
            MessageBoxA(nullptr, kBadPreviewId, "ERROR", MB_OK | MB_ICONEXCLAMATION);
            return 2;
        }
        RECT client;
        if (!IsWindow(host) || !GetClientRect(host, &client)) {
            MessageBoxA(nullptr, "The preview needs the handle of an existing host window after /p.", "ERROR",
                        MB_OK | MB_ICONEXCLAMATION);
            return 1;
        }
        started = StartPreview(reinterpret_cast<uintptr_t>(host), client.right - client.left,
                               client.bottom - client.top);
        break;
    }
    case RunMode::kFullRun:
        started = StartFullRun();
        break;
    case RunMode::kSettingsDialog:
        return RunSettingsDialog() ? 0 : 1;
    }
    // A run whose window could not be made has failed; the host pays no heed, a script may.
    return started ? RunUntilQuit() : 1;
}
