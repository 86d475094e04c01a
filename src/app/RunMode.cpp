#include "platform/Platform.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iterator>

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

bool ReadWindowId(const char* text, unsigned long* id)
{
    if (!text || !*text)
        return false;
    bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* digits = hex ? text + 2 : text;
    if (!*digits || !std::strchr("0123456789abcdefABCDEF", *digits))
        return false;
    char* end;
    errno = 0;
    unsigned long value = std::strtoul(digits, &end, hex ? 16 : 10);
    if (*end || errno == ERANGE || value == 0 || value > 0xFFFFFFFFul)
        return false;
    *id = value;
    return true;
}

bool TakeRunSwitches(std::vector<std::string>& words, RunSwitches& switches, std::string& error)
{
    switches = RunSwitches{};
    for (auto word = words.begin(); word != words.end();) {
        std::string* value = *word == "--record" ? &switches.record
                             : *word == "--play" ? &switches.play
                             : *word == "--join" ? &switches.join
                                                 : nullptr;
        if (!value) {
            ++word;
            continue;
        }
        if (std::next(word) == words.end() || std::next(word)->empty() || (*std::next(word))[0] == '-') {
            error = *word + (value == &switches.join ? " needs a room's link after it" : " needs a file after it");
            return false;
        }
        if (!value->empty()) {
            error = *word + " is given twice";
            return false;
        }
        *value = *std::next(word);
        word = words.erase(word, word + 2);
    }
    if (!switches.join.empty() && !switches.play.empty()) {
        error = "--join and --play do not go together: a shared run's commands come from its room";
        return false;
    }
    return true;
}
