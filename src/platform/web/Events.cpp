// The page's events turned into the calls the window procedure makes on Windows. The HTML5 API's
// callbacks run while the run waits (for the frame to be shown, or for events), never within a frame,
// and make the calls there: keys become commands for the next frame.
#include <emscripten/html5.h>

#include <cstdlib>
#include <cstring>

#include "platform/Platform.h"
#include "platform/web/WebBackend.h"

// The Windows virtual-key code of a key by the DOM's name for it, or -1 for keys that have none
// here. Letters and digits go by what the key types in the user's layout, as on the desktop. F12
// belongs to the browser's tools, so F9 saves the picture in its place (and Shift+F9 the run).
static int TranslateKey(const EmscriptenKeyboardEvent& e)
{
    const char* key = e.key;
    if (std::strlen(key) == 1) {
        char c = key[0];
        if (c >= 'a' && c <= 'z')
            return 'A' + (c - 'a');
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
            return c;
        if (c == ' ')
            return kVkSpace;
        return -1;
    }
    if (!std::strcmp(key, "F9"))
        return kVkF1 + 11;
    if (key[0] == 'F' && key[1] >= '1' && key[1] <= '9') {
        int n = std::atoi(key + 1);
        return n >= 1 && n <= 11 ? kVkF1 + n - 1 : -1;
    }
    static const struct { const char* name; int vk; } kNamed[] = {
        {"Escape", kVkEscape}, {"ArrowLeft", kVkLeft}, {"ArrowUp", kVkUp}, {"ArrowRight", kVkRight},
        {"ArrowDown", kVkDown}, {"Enter", kVkReturn}, {"Backspace", kVkBack}, {"Tab", kVkTab},
        {"Shift", kVkShift}, {"Control", kVkControl}, {"Alt", kVkMenu},
    };
    for (const auto& named : kNamed)
        if (!std::strcmp(key, named.name))
            return named.vk;
    return -1;
}

// Keys the run uses stay away from the page (no scrolling, no browser shortcut); Escape in the
// windowed page belongs to the page, since only the full run ends with it.
static EM_BOOL OnKey(int type, const EmscriptenKeyboardEvent* e, void*)
{
    int vk = TranslateKey(*e);
    if (vk < 0 || (vk == kVkEscape && !gWeb.fullRun))
        return EM_FALSE;
    type == EMSCRIPTEN_EVENT_KEYDOWN ? HandleKeyDown(unsigned(vk)) : HandleKeyUp(unsigned(vk));
    WakeWaiter();
    return EM_TRUE;
}

static EM_BOOL OnBlur(int, const EmscriptenFocusEvent*, void*)
{
    HandleFocusLost();
    return EM_FALSE;
}

// The mouse ends only the full run; over the windowed page it is the user's to move.
static EM_BOOL OnMouseMove(int, const EmscriptenMouseEvent* e, void*)
{
    if (gWeb.fullRun) {
        HandleMouseMoved(int(e->screenX), int(e->screenY));
        WakeWaiter();
    }
    return EM_FALSE;
}

static EM_BOOL OnVisibility(int, const EmscriptenVisibilityChangeEvent* e, void*)
{
    HandleMinimised(e->hidden);
    return EM_FALSE;
}

// The browser takes Escape itself to leave full screen: leaving it ends the full run as Escape does.
static EM_BOOL OnFullScreen(int, const EmscriptenFullscreenChangeEvent* e, void*)
{
    if (e->isFullscreen) {
        gWeb.fullRun = true;
    } else if (gWeb.fullRun) {
        gWeb.fullRun = false;
        HandleCloseRequested();
        WakeWaiter();
    }
    return EM_FALSE;
}

// The callbacks while the window exists, none after.
static void SetCallbacks(bool on)
{
    emscripten_set_keydown_callback(kCanvasTarget, nullptr, EM_TRUE, on ? OnKey : nullptr);
    emscripten_set_keyup_callback(kCanvasTarget, nullptr, EM_TRUE, on ? OnKey : nullptr);
    emscripten_set_blur_callback(kCanvasTarget, nullptr, EM_TRUE, on ? OnBlur : nullptr);
    emscripten_set_mousemove_callback(kCanvasTarget, nullptr, EM_TRUE, on ? OnMouseMove : nullptr);
    emscripten_set_visibilitychange_callback(nullptr, EM_TRUE, on ? OnVisibility : nullptr);
    emscripten_set_fullscreenchange_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_TRUE, on ? OnFullScreen : nullptr);
}

void StartListening()
{
    gWeb.fullRun = false;
    gWeb.startTraced = false;
    SetCallbacks(true);
    StartKeyScript();
}

void StopListening()
{
    SetCallbacks(false);
    gWeb.fullRun = false;
}

// The callbacks have made their calls already; the world is built by the time the run first asks.
PumpResult PumpOneEvent()
{
    if (!gWeb.startTraced) {
        gWeb.startTraced = true;
        TraceKeyScriptStart();
    }
    return PumpResult::kIdle;
}

void WaitForEvents(uint32_t milliseconds)
{
    AwaitEvent(milliseconds);
}
