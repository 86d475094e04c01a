#include "platform/linux/Xlib.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <cstdio>

static Display* gHostDisplay;
static Window gHost;
static unsigned long gXErrors;
static Uint32 gLastLook;

// A host window can vanish at any moment, and every request about it or about the render window
// inside it then fails; Xlib's default handler would end the process on the spot.
static int CountXError(Display*, XErrorEvent*)
{
    ++gXErrors;
    return 0;
}

bool FindHostWindow(unsigned long* window, int* width, int* height)
{
    gHostDisplay = XOpenDisplay(nullptr);
    if (!gHostDisplay) {
        std::fprintf(stderr, "kelvaron: cannot open the X display '%s'\n", XDisplayName(nullptr));
        return false;
    }
    XSetErrorHandler(CountXError);
    if (!*window)
        *window = DefaultRootWindow(gHostDisplay);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(gHostDisplay, *window, &attributes)) {
        std::fprintf(stderr, "kelvaron: there is no window 0x%lx on this display\n", *window);
        return false;
    }
    gHost = *window;
    *width = attributes.width;
    *height = attributes.height;
    return true;
}

bool AdoptIntoHost(SDL_Window* window, unsigned long host)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return false;
    // SDL put its own handler in place when it started; take ours back.
    XSetErrorHandler(CountXError);
    unsigned long errors = gXErrors;
    XReparentWindow(info.info.x11.display, info.info.x11.window, host, 0, 0);
    XSync(info.info.x11.display, False);
    gHost = host;
    return gXErrors == errors;
}

void ReleaseHostWindow()
{
    if (gHostDisplay)
        XCloseDisplay(gHostDisplay);
    gHostDisplay = nullptr;
    gHost = 0;
}

bool IsHostWindowGone()
{
    if (!gHost || !gHostDisplay)
        return false;
    Uint32 now = SDL_GetTicks();
    if (now - gLastLook < 200)
        return false;
    gLastLook = now;
    XWindowAttributes attributes;
    return !XGetWindowAttributes(gHostDisplay, gHost, &attributes);
}

bool QueryCursorPosition(SDL_Window* window, int* x, int* y)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return false;
    Window root, child;
    int windowX, windowY;
    unsigned int buttons;
    return XQueryPointer(info.info.x11.display, info.info.x11.window, &root, &child, x, y, &windowX, &windowY,
                         &buttons);
}
