// The Windows screensaver's reading of its command line, compiled natively: the mode from the second
// character, and for a preview the host window's id after the first blank.
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/Platform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string line(reinterpret_cast<const char*>(data), size);
    line = line.c_str();  // the command line ends at its first NUL
    RunMode mode = ChooseRunMode(line.c_str());
    if (mode == RunMode::kPreview) {
        const char* blank = std::strchr(line.c_str(), ' ');
        unsigned long id = 0;
        if (blank && ReadWindowId(blank + 1, &id) && (id == 0 || id > 0xFFFFFFFFul))
            std::abort();
    }
    return 0;
}
