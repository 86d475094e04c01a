// The event pump on Linux: SDL's events turned into the calls the window procedure makes on Windows;
// a signal or a host window gone asks for the run's end as closing the window does.
#include <SDL.h>

#include "platform/Platform.h"
#include "platform/linux/LinuxBackend.h"
#include "platform/linux/Xlib.h"

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
        // SDL's own idea of the cursor can lag behind on X (the motion it reports as the window
        // appears under the cursor, synthetic motion), so the X server is asked where it is. Wayland
        // tells a window only where the pointer is on it, and tells it as it happens.
        int x = e.motion.x, y = e.motion.y;
        SDL_Window* window = SDL_GetWindowFromID(e.motion.windowID);
        if (window && (QueryCursorPosition(window, &x, &y) || !IsOnX11(window)))
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
    if (IsEndingSignalled() || IsHostWindowGone()) {
        HandleCloseRequested();
        return PumpResult::kHandled;
    }
    SDL_Event e;
    if (!SDL_PollEvent(&e))
        return PumpResult::kIdle;
    HandleEvent(e);
    return PumpResult::kHandled;
}

void WaitForEvents(uint32_t milliseconds)
{
    SDL_WaitEventTimeout(nullptr, int(milliseconds));  // the event stays queued for PumpOneEvent
}
