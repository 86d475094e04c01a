// SDL's events turned into the calls the window procedure makes on Windows.
#include <SDL.h>

#include <csignal>
#include <initializer_list>

#include "app/Input.h"
#include "platform/Platform.h"
#include "platform/linux/Xlib.h"
#include "platform/linux/LinuxBackend.h"

static volatile std::sig_atomic_t gSignalled;
static bool gQuitPosted;

static void NoteSignal(int)
{
    gSignalled = 1;
}

void CatchEndingSignals()
{
    struct sigaction action = {};
    action.sa_handler = NoteSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
}

// The Windows virtual-key code of an SDL key, or -1 for keys that have none here.
static int TranslateKey(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z)
        return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9)
        return '0' + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return 0x70 + (key - SDLK_F1);
    switch (key) {
    case SDLK_SPACE: return kVkSpace;
    case SDLK_ESCAPE: return kVkEscape;
    case SDLK_LEFT: return kVkLeft;
    case SDLK_UP: return kVkUp;
    case SDLK_RIGHT: return kVkRight;
    case SDLK_DOWN: return kVkDown;
    case SDLK_RETURN: return 0x0D;
    case SDLK_BACKSPACE: return 0x08;
    case SDLK_TAB: return 0x09;
    case SDLK_LSHIFT: case SDLK_RSHIFT: return 0x10;
    case SDLK_LCTRL: case SDLK_RCTRL: return 0x11;
    case SDLK_LALT: case SDLK_RALT: return 0x12;
    default: return -1;
    }
}

static void HandleWindowEvent(const SDL_WindowEvent& e)
{
    switch (e.event) {
    case SDL_WINDOWEVENT_SIZE_CHANGED: HandleResized(e.data1, e.data2); break;
    case SDL_WINDOWEVENT_MINIMIZED: HandleMinimised(true); break;
    case SDL_WINDOWEVENT_RESTORED: HandleMinimised(false); break;
    case SDL_WINDOWEVENT_CLOSE: HandleCloseRequested(); break;
    case SDL_WINDOWEVENT_FOCUS_LOST: HandleFocusLost(); break;
    default: break;
    }
}

static void HandleEvent(const SDL_Event& e)
{
    switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        int vk = TranslateKey(e.key.keysym.sym);
        if (vk >= 0)
            e.type == SDL_KEYDOWN ? HandleKeyDown(unsigned(vk)) : HandleKeyUp(unsigned(vk));
        break;
    }
    case SDL_MOUSEMOTION: {
        // SDL's own idea of the cursor can lag behind (the motion it reports as the window appears
        // under the cursor, synthetic motion), so the X server is asked where it is.
        int x, y;
        SDL_Window* window = SDL_GetWindowFromID(e.motion.windowID);
        if (window && QueryCursorPosition(window, &x, &y))
            HandleMouseMoved(x, y);
        break;
    }
    case SDL_WINDOWEVENT: HandleWindowEvent(e.window); break;
    case SDL_QUIT: HandleCloseRequested(); break;
    default: HandlePadEvent(e); break;
    }
}

PumpResult PumpOneEvent()
{
    if (gSignalled || IsHostWindowGone())
        return PumpResult::kQuit;
    SDL_Event e;
    if (SDL_PollEvent(&e)) {
        HandleEvent(e);
        return PumpResult::kHandled;
    }
    if (gQuitPosted) {
        gQuitPosted = false;
        return PumpResult::kQuit;
    }
    PollGamepads();  // nothing waiting: a frame follows
    return PumpResult::kIdle;
}

void WaitForEvents(uint32_t milliseconds)
{
    SDL_WaitEventTimeout(nullptr, int(milliseconds));  // the event stays queued for PumpOneEvent
}

void PostQuitRequest()
{
    gQuitPosted = true;
}

uint32_t ReadTickCount()
{
    return SDL_GetTicks();
}
