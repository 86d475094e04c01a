// Key scripts in the page: with ?keys=FILE in its address, the page (page.js) fetches the script
// into the in-memory file system, and each event reaches the run before the frame it names, as the
// replay applies them, so that a drive in the page is frame for frame the replay's. The page then
// prints the replay's trace to the console, at the start and every kTraceEvery frames.
#include <cstdio>
#include <string>

#include "platform/Platform.h"
#include "platform/web/WebBackend.h"

static const char kScriptPath[] = "/kelvaron/script.keys";

constexpr long kTraceEvery = 50;  // the replay's own default

static std::vector<KeyEvent> gScript;
static size_t gNext;
static long gFramesPresented;
static bool gTracing;      // a script drives this run
static bool gStartTraced;

static void PrintTrace(long frame)
{
    char line[512];
    FormatCarsTrace(frame, line, sizeof line);
    std::printf("%s\n", line);
    std::fflush(stdout);
}

void StartKeyScript()
{
    gScript.clear();
    gNext = 0;
    gFramesPresented = 0;
    gTracing = gStartTraced = false;
    std::FILE* file = std::fopen(kScriptPath, "r");
    if (!file)
        return;
    gTracing = true;
    std::string error;
    if (!ReadKeyScript(file, gScript, error)) {
        gScript.clear();
        ShowMessage("Key script", error.c_str(), MessageKind::kError);
    }
    std::fclose(file);
}

bool DeliverScriptedKey()
{
    // The world is built by the time the run first asks for events: the state before frame 1.
    if (gTracing && !gStartTraced) {
        gStartTraced = true;
        PrintTrace(0);
    }
    if (gNext >= gScript.size() || gScript[gNext].frame > gFramesPresented + 1)
        return false;
    const KeyEvent& e = gScript[gNext++];
    e.down ? HandleKeyDown(e.vk) : HandleKeyUp(e.vk);
    return true;
}

void CountPresentedFrame()
{
    ++gFramesPresented;
    if (gTracing && gFramesPresented % kTraceEvery == 0)
        PrintTrace(gFramesPresented);
}
