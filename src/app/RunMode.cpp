#include "platform/Platform.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

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
