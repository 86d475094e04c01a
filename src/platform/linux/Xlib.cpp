#include "platform/linux/Xlib.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xinerama.h>

#include <cstdio>
#include <vector>

#include "platform/Platform.h"
#include "platform/linux/LinuxBackend.h"

// A host window can vanish at any moment, and every request about it or about the render window
// inside it then fails; Xlib's default handler would end the process on the spot.
static int CountXError(Display*, XErrorEvent*)
{
    ++gLinux.xErrors;
    return 0;
}

bool FindHostWindow(unsigned long* window, int* width, int* height)
{
    gLinux.hostDisplay = XOpenDisplay(nullptr);
    if (!gLinux.hostDisplay) {
        std::fprintf(stderr, "kelvaron: cannot open the X display '%s'\n", XDisplayName(nullptr));
        return false;
    }
    XSetErrorHandler(CountXError);
    if (!*window)
        *window = DefaultRootWindow(gLinux.hostDisplay);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(gLinux.hostDisplay, *window, &attributes)) {
        std::fprintf(stderr, "kelvaron: there is no window 0x%lx on this display\n", *window);
        return false;
    }
    gLinux.host = *window;
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
    unsigned long errors = gLinux.xErrors;
    XReparentWindow(info.info.x11.display, info.info.x11.window, host, 0, 0);
    XSync(info.info.x11.display, False);
    gLinux.host = host;
    return gLinux.xErrors == errors;
}

void ReleaseHostWindow()
{
    if (gLinux.hostDisplay)
        XCloseDisplay(gLinux.hostDisplay);
    gLinux.hostDisplay = nullptr;
    gLinux.host = 0;
}

bool UnmapAdoptedWindow(SDL_Window* window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return false;
    unsigned long errors = gLinux.xErrors;
    XUnmapWindow(info.info.x11.display, info.info.x11.window);
    XSync(info.info.x11.display, False);
    return gLinux.xErrors == errors;
}

bool IsHostWindowGone()
{
    if (!gLinux.host || !gLinux.hostDisplay)
        return false;
    Uint32 now = SDL_GetTicks();
    if (now - gLinux.lastLook < 200)
        return false;
    gLinux.lastLook = now;
    return HasHostWindowGone();
}

bool HasHostWindowGone()
{
    if (!gLinux.host || !gLinux.hostDisplay)
        return false;
    XWindowAttributes attributes;
    return !XGetWindowAttributes(gLinux.hostDisplay, gLinux.host, &attributes);
}

// An EWMH window manager names its check window on the root window; an ICCCM one owns WM_S0.
bool IsWindowManagerRunning()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    Atom type = None;
    int format;
    unsigned long count = 0, remaining;
    unsigned char* value = nullptr;
    if (check != None)
        XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW, &type, &format, &count,
                           &remaining, &value);
    if (value)
        XFree(value);
    Atom selection = XInternAtom(display, "WM_S0", True);
    bool running = count > 0 || (selection != None && XGetSelectionOwner(display, selection) != None);
    XCloseDisplay(display);
    return running;
}

// The monitors as the X server reports them: Xinerama's heads (on a desktop with RandR these are its
// outputs; Xephyr and Xvfb report their heads only this way), else the one screen.
static std::vector<XineramaScreenInfo> ListMonitors(Display* display)
{
    std::vector<XineramaScreenInfo> monitors;
    int count = 0;
    if (XineramaIsActive(display))
        if (XineramaScreenInfo* heads = XineramaQueryScreens(display, &count)) {
            monitors.assign(heads, heads + count);
            XFree(heads);
        }
    return monitors;
}

void CoverMonitorsBeside(SDL_Window* window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return;
    Display* display = info.info.x11.display;
    int x, y, w, h;
    SDL_GetWindowPosition(window, &x, &y);
    SDL_GetWindowSize(window, &w, &h);
    const int centreX = x + w / 2, centreY = y + h / 2;
    XSetWindowAttributes black = {};
    black.override_redirect = True;  // no window manager frames or moves it
    black.background_pixel = BlackPixel(display, DefaultScreen(display));
    for (const XineramaScreenInfo& m : ListMonitors(display)) {
        bool showsRun = centreX >= m.x_org && centreX < m.x_org + m.width && centreY >= m.y_org &&
                        centreY < m.y_org + m.height;
        if (showsRun)
            continue;
        Window cover = XCreateWindow(display, DefaultRootWindow(display), m.x_org, m.y_org, unsigned(m.width),
                                     unsigned(m.height), 0, CopyFromParent, InputOutput, CopyFromParent,
                                     CWOverrideRedirect | CWBackPixel, &black);
        XMapRaised(display, cover);
        gLinux.covers.push_back(cover);
    }
    XFlush(display);
    gLinux.coverDisplay = display;
}

void UncoverMonitors()
{
    for (Window cover : gLinux.covers)
        XDestroyWindow(gLinux.coverDisplay, cover);
    if (!gLinux.covers.empty())
        XFlush(gLinux.coverDisplay);
    gLinux.covers.clear();
}

bool IsOnX11(SDL_Window* window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    return SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11;
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
