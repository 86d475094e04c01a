// The page's events turned into the calls the window procedure makes on Windows. The HTML5 API's
// callbacks run while the run waits for a frame; they queue what happened, and PumpOneEvent hands it
// over one event at a time, as the desktop backends do.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdlib>
#include <cstring>
#include <deque>

#include "platform/Platform.h"
#include "platform/web/WebBackend.h"

struct PageEvent {
    enum Kind { kKeyDown, kKeyUp, kFocusLost, kMouseMoved, kHidden, kShown, kLeftFullScreen } kind;
    int a, b;  // key code, or screen x and y
};

static std::deque<PageEvent> gEvents;
static bool gQuitPosted;
static bool gFullRun;

// Events wake a wait for them (WaitForEvents).
EM_JS(void, WakeWaiter, (), { if (Module.kelvaronWake) Module.kelvaronWake(); });

static void Queue(PageEvent e)
{
    gEvents.push_back(e);
    WakeWaiter();
}

// The Windows virtual-key code of a key by the DOM's name for it, or -1 for keys that have none
// here. Letters and digits go by what the key types in the user's layout, as on the desktop. F12
// belongs to the browser's tools, so F9 saves the picture in its place.
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
    if (vk < 0 || (vk == kVkEscape && !gFullRun))
        return EM_FALSE;
    Queue({type == EMSCRIPTEN_EVENT_KEYDOWN ? PageEvent::kKeyDown : PageEvent::kKeyUp, vk, 0});
    return EM_TRUE;
}

static EM_BOOL OnBlur(int, const EmscriptenFocusEvent*, void*)
{
    Queue({PageEvent::kFocusLost, 0, 0});
    return EM_FALSE;
}

// The mouse ends only the full run; over the windowed page it is the user's to move.
static EM_BOOL OnMouseMove(int, const EmscriptenMouseEvent* e, void*)
{
    if (gFullRun)
        Queue({PageEvent::kMouseMoved, int(e->screenX), int(e->screenY)});
    return EM_FALSE;
}

static EM_BOOL OnVisibility(int, const EmscriptenVisibilityChangeEvent* e, void*)
{
    Queue({e->hidden ? PageEvent::kHidden : PageEvent::kShown, 0, 0});
    return EM_FALSE;
}

// The browser takes Escape itself to leave full screen: leaving it ends the full run as Escape does.
static EM_BOOL OnFullScreen(int, const EmscriptenFullscreenChangeEvent* e, void*)
{
    if (e->isFullscreen) {
        gFullRun = true;
    } else if (gFullRun) {
        gFullRun = false;
        Queue({PageEvent::kLeftFullScreen, 0, 0});
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
    gEvents.clear();
    gQuitPosted = false;
    gFullRun = false;
    SetCallbacks(true);
    StartKeyScript();
}

void StopListening()
{
    SetCallbacks(false);
    gFullRun = false;
}

static void Deliver(const PageEvent& e)
{
    switch (e.kind) {
    case PageEvent::kKeyDown: HandleKeyDown(unsigned(e.a)); break;
    case PageEvent::kKeyUp: HandleKeyUp(unsigned(e.a)); break;
    case PageEvent::kFocusLost: HandleFocusLost(); break;
    case PageEvent::kMouseMoved: HandleMouseMoved(e.a, e.b); break;
    case PageEvent::kHidden: HandleMinimised(true); break;
    case PageEvent::kShown: HandleMinimised(false); break;
    case PageEvent::kLeftFullScreen: HandleCloseRequested(); break;
    }
}

PumpResult PumpOneEvent()
{
    if (!gEvents.empty()) {
        PageEvent e = gEvents.front();
        gEvents.pop_front();
        Deliver(e);
        return PumpResult::kHandled;
    }
    if (DeliverScriptedKey())
        return PumpResult::kHandled;
    if (gQuitPosted) {
        gQuitPosted = false;
        return PumpResult::kQuit;
    }
    return PumpResult::kIdle;
}

EM_ASYNC_JS(void, AwaitEventOrTimeout, (uint32_t milliseconds), {
    await new Promise((resolve) => {
        Module.kelvaronWake = resolve;
        setTimeout(resolve, milliseconds);
    });
    Module.kelvaronWake = null;
});

void WaitForEvents(uint32_t milliseconds)
{
    if (gEvents.empty())
        AwaitEventOrTimeout(milliseconds);
}

void PostQuitRequest()
{
    gQuitPosted = true;
}
