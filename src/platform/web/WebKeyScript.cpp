// Key scripts in the page: with ?keys=FILE in its address, the page (page.js) fetches the script
// into the in-memory file system, and each event reaches the run before the frame it names, as the
// replay applies them, so that a drive in the page is frame for frame the replay's.
#include <cstdio>
#include <string>

#include "KeyScript.h"
#include "platform/Platform.h"
#include "platform/web/WebBackend.h"

static const char kScriptPath[] = "/kelvaron/script.keys";

static std::vector<KeyEvent> gScript;
static size_t gNext;
static long gFramesPresented;

void StartKeyScript()
{
    gScript.clear();
    gNext = 0;
    gFramesPresented = 0;
    std::FILE* file = std::fopen(kScriptPath, "r");
    if (!file)
        return;
    std::string error;
    if (!ReadKeyScript(file, gScript, error)) {
        gScript.clear();
        ShowMessage("Key script", error.c_str(), MessageKind::kError);
    }
    std::fclose(file);
}

bool DeliverScriptedKey()
{
    if (gNext >= gScript.size() || gScript[gNext].frame > gFramesPresented + 1)
        return false;
    const KeyEvent& e = gScript[gNext++];
    e.down ? HandleKeyDown(e.vk) : HandleKeyUp(e.vk);
    return true;
}

void CountPresentedFrame()
{
    ++gFramesPresented;
}
