// The key-script and recording reader on arbitrary bytes: it refuses or reads, and what it reads is sane.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "record/KeyScript.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::FILE* file = std::tmpfile();
    if (!file)
        return 0;
    std::fwrite(data, 1, size, file);
    std::rewind(file);
    KeyScript script;
    std::string error;
    bool ok = ReadKeyScript(file, script, error);
    std::fclose(file);
    if (!ok && error.empty())
        std::abort();  // a refusal always says why
    const std::vector<Command>& c = script.commands;
    for (size_t i = 0; ok && i < c.size(); ++i)
        if (c[i].frame < 1 || c[i].car < kEveryCar || c[i].car > 2 || (i > 0 && c[i].frame < c[i - 1].frame) ||
            (script.recorded && c[i].frame > script.header.frames))
            std::abort();
    return 0;
}
