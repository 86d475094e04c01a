// The Linux program's command line on arbitrary arguments: the first NUL-separated piece is
// XSCREENSAVER_WINDOW (absent when empty), the rest are the arguments.
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/linux/CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> pieces(1);
    for (size_t i = 0; i < size; ++i)
        data[i] ? pieces.back() += char(data[i]) : pieces.emplace_back();
    std::vector<const char*> argv = {"kelvaron"};
    for (size_t i = 1; i < pieces.size(); ++i)
        argv.push_back(pieces[i].c_str());
    const char* environment = pieces[0].empty() ? nullptr : pieces[0].c_str();
    LaunchRequest request = {};
    std::string error;
    bool ok = ReadLaunchRequest(int(argv.size()), argv.data(), environment, &request, &error);
    if (!ok && error.empty())
        std::abort();
    if (ok && request.mode == LaunchMode::kPreview && (request.window == 0 || request.window > 0xFFFFFFFFul))
        std::abort();  // a preview always has a usable host window id
    return 0;
}
