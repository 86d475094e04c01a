// Key scripts (declared in platform/Platform.h), read alike by the replay, the tests and the page.
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/Platform.h"

static bool ParseWhole(const char* word, long min, long max, long& value)
{
    char* end;
    errno = 0;
    value = std::strtol(word, &end, 10);
    return *word && !*end && errno == 0 && value >= min && value <= max;
}

static bool ParseLine(char* line, KeyEvent& event, bool& empty, std::string& why)
{
    if (char* hash = std::strchr(line, '#'))
        *hash = '\0';
    const char* words[4] = {};
    int count = 0;
    for (char* w = std::strtok(line, " \t\r\n"); w; w = std::strtok(nullptr, " \t\r\n"))
        if (count < 4)
            words[count++] = w;
        else
            count = 5;
    empty = count == 0;
    if (empty)
        return true;
    if (count != 3) {
        why = "expected FRAME down|up VK";
        return false;
    }
    long frame, vk;
    if (!ParseWhole(words[0], 1, 1000000000L, frame)) {
        why = std::string("bad frame number '") + words[0] + "' (a whole number from 1)";
        return false;
    }
    if (std::strcmp(words[1], "down") != 0 && std::strcmp(words[1], "up") != 0) {
        why = std::string("expected down or up, not '") + words[1] + "'";
        return false;
    }
    if (!ParseWhole(words[2], 0, 255, vk)) {
        why = std::string("bad key code '") + words[2] + "' (a whole number from 0 to 255)";
        return false;
    }
    event = {frame, words[1][0] == 'd', unsigned(vk)};
    return true;
}

bool ReadKeyScript(std::FILE* file, std::vector<KeyEvent>& events, std::string& error)
{
    char line[512];
    for (long number = 1; std::fgets(line, sizeof line, file); ++number) {
        if (!std::strchr(line, '\n') && !std::feof(file)) {
            error = "line " + std::to_string(number) + ": too long";
            return false;
        }
        KeyEvent event;
        bool empty;
        std::string why;
        if (!ParseLine(line, event, empty, why)) {
            error = "line " + std::to_string(number) + ": " + why;
            return false;
        }
        if (!empty)
            events.push_back(event);
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const KeyEvent& a, const KeyEvent& b) { return a.frame < b.frame; });
    return true;
}
