// Key scripts and recordings in the page: with ?keys=FILE or ?play=FILE in its address, or #run= with
// a recording in it, the page (page.js) puts the script into the in-memory file system before the
// program starts, and each run plays it from its first frame, as the replay does, so that a drive in
// the page is frame for frame the replay's. The page then prints the replay's trace to the console.
#include <cstdio>
#include <string>

#include "platform/Platform.h"
#include "platform/web/WebBackend.h"

static const char kScriptPath[] = "/kelvaron/script.keys";

constexpr long kTraceEvery = 50;  // the replay's own default

static void PrintTrace(long frame)
{
    char line[512];
    FormatCarsTrace(frame, line, sizeof line);
    std::printf("%s\n", line);
    std::fflush(stdout);
}

void StartKeyScript()
{
    gWeb.framesPresented = 0;
    std::FILE* file = std::fopen(kScriptPath, "r");
    gWeb.tracing = file != nullptr;
    if (!file)
        return;
    std::fclose(file);
    std::string error;
    if (!LoadPlayback(kScriptPath, error))
        ShowMessage("Key script", error.c_str(), MessageKind::kError);
}

void TraceKeyScriptStart()
{
    if (gWeb.tracing)
        PrintTrace(0);
}

void CountPresentedFrame()
{
    ++gWeb.framesPresented;
    if (gWeb.tracing && gWeb.framesPresented % kTraceEvery == 0)
        PrintTrace(gWeb.framesPresented);
}
