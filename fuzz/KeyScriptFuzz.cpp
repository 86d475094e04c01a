// The replay's key-script reader on arbitrary bytes: it refuses or reads, and what it reads is sane.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/Platform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::FILE* file = std::tmpfile();
    if (!file)
        return 0;
    std::fwrite(data, 1, size, file);
    std::rewind(file);
    std::vector<KeyEvent> events;
    std::string error;
    bool ok = ReadKeyScript(file, events, error);
    std::fclose(file);
    if (!ok && error.empty())
        std::abort();  // a refusal always says why
    for (size_t i = 0; ok && i < events.size(); ++i)
        if (events[i].frame < 1 || events[i].vk > 255 || (i > 0 && events[i].frame < events[i - 1].frame))
            std::abort();
    return 0;
}
