// The render window on Linux: an SDL window with an OpenGL compatibility context, fullscreen,
// windowed, or inside a host window.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/Platform.h"
#include "platform/linux/LinuxBackend.h"
#include "platform/linux/Xlib.h"

LinuxBackend gLinux;

// X11 cannot change the colour depth of a running display: the depth counts as met when the
// display's is at least the one asked for.
static bool FindDisplayMode(int width, int height, int bits, SDL_DisplayMode* found)
{
    for (int i = 0; i < SDL_GetNumDisplayModes(0); ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) == 0 && mode.w == width && mode.h == height &&
            int(SDL_BITSPERPIXEL(mode.format)) >= bits) {
            *found = mode;
            return true;
        }
    }
    return false;
}

// On Wayland every window is the compositor's to place: none stands over the screen unless fullscreen.
static bool IsX11Video()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver && !std::strcmp(driver, "x11");
}

// A host gone while the window was being made has ended the preview: that is why it failed.
static WindowFailure FailCreation(WindowFailure failure)
{
    return gLinux.adopted && HasHostWindowGone() ? WindowFailure::kHostGone : failure;
}

void PreferWaylandVideo()
{
    const char* session = std::getenv("WAYLAND_DISPLAY");
    if (session && *session && !std::getenv("SDL_VIDEODRIVER"))
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "wayland,x11");
}

WindowFailure PrepareRenderWindow()
{
    if (gLinux.videoStarted)
        return WindowFailure::kNone;
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "kelvaron: the video system did not start: %s\n", SDL_GetError());
        return WindowFailure::kCreateWindow;
    }
    gLinux.videoStarted = true;
    NoteStartupStep("video");
    SDL_DisableScreenSaver();  // no screensaver or monitor power-down over this one
    return WindowFailure::kNone;
}

// The mode itself is taken by the fullscreen window; here it is only found.
bool SetFullscreenMode(int width, int height, int bits)
{
    return FindDisplayMode(width, height, bits, &gLinux.fullMode);
}

void RestoreDisplayMode()
{
    if (!gLinux.window)
        return;
    SDL_SetWindowFullscreen(gLinux.window, 0);  // the desktop's display mode comes back
    SDL_ShowCursor(SDL_ENABLE);
}

WindowFailure CreateRenderWindow(const char* title, int width, int height, int bits, bool fullscreen,
                                 uintptr_t parent)
{
    (void)bits;  // met by SetFullscreenMode, or not asked for
    const SDL_DisplayMode mode = gLinux.fullMode;
    // SDL asks the window manager for the fullscreen state and waits up to a tenth of a second for it
    // to act. With none on the display nobody does, and on a single monitor already at the mode asked
    // for, a plain window over all of it is what the user sees either way.
    SDL_Rect bounds;
    const bool plainCover = fullscreen && IsX11Video() && SDL_GetNumVideoDisplays() == 1 && SDL_GetDisplayBounds(0, &bounds) == 0 &&
                            bounds.x == 0 && bounds.y == 0 && bounds.w == mode.w && bounds.h == mode.h &&
                            !IsWindowManagerRunning();

    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (fullscreen && !plainCover)
        flags |= SDL_WINDOW_FULLSCREEN;
    else if (parent)
        flags |= SDL_WINDOW_BORDERLESS;
    else if (!fullscreen)
        flags |= SDL_WINDOW_RESIZABLE;
    gLinux.window = SDL_CreateWindow(title, 0, 0, width, height, flags);
    if (!gLinux.window || (fullscreen && !plainCover && SDL_SetWindowDisplayMode(gLinux.window, &mode) != 0))
        return FailCreation(WindowFailure::kCreateWindow);
    gLinux.adopted = parent != 0;
    if (parent && !AdoptIntoHost(gLinux.window, parent))
        return FailCreation(WindowFailure::kCreateWindow);
    gLinux.context = SDL_GL_CreateContext(gLinux.window);
    if (!gLinux.context)
        return FailCreation(WindowFailure::kCreateContext);
    if (SDL_GL_MakeCurrent(gLinux.window, gLinux.context) != 0)
        return FailCreation(WindowFailure::kActivateContext);
    SDL_ShowWindow(gLinux.window);
    SDL_RaiseWindow(gLinux.window);
    if (fullscreen)
        SDL_ShowCursor(SDL_DISABLE);
    return WindowFailure::kNone;
}

void CoverOtherMonitors()
{
    if (gLinux.window)
        CoverMonitorsBeside(gLinux.window);
}

void DestroyRenderWindow()
{
    // A window that went with its host (XScreenSaver destroys its window as the hack ends; a
    // preview's host may be killed) is left to the end of the process, with its context and SDL's
    // video: SDL would wait for ever for it to unmap, and letting the context go makes Mesa finish
    // drawing into it, taking the size the X server does not give for a gone window from whatever
    // memory held.
    bool lost = gLinux.window && gLinux.adopted && !UnmapAdoptedWindow(gLinux.window);
    if (gLinux.context && !lost) {
        if (SDL_GL_MakeCurrent(gLinux.window, nullptr) != 0)
            ShowMessage("SHUTDOWN ERROR", "Release Of DC And RC Failed.", MessageKind::kInformation);
        SDL_GL_DeleteContext(gLinux.context);
    }
    gLinux.context = nullptr;
    if (gLinux.window && !lost)
        SDL_DestroyWindow(gLinux.window);
    gLinux.window = nullptr;
    gLinux.adopted = false;
    if (gLinux.videoStarted) {
        if (!lost)
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
        gLinux.videoStarted = false;
    }
}

void SetRenderWindowTitle(const char* title)
{
    if (gLinux.window)
        SDL_SetWindowTitle(gLinux.window, title);
}

// The window is the one surface, always current.
bool SelectRenderSurface(int index)
{
    return index == 0;
}

void PresentFrame()
{
    SDL_GL_SwapWindow(gLinux.window);
}
