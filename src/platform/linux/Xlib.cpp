#include "platform/linux/Xlib.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xinerama.h>

#include <cstdio>
#include <vector>

#include "platform/Platform.h"

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

bool UnmapAdoptedWindow(SDL_Window* window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return false;
    unsigned long errors = gXErrors;
    XUnmapWindow(info.info.x11.display, info.info.x11.window);
    XSync(info.info.x11.display, False);
    return gXErrors == errors;
}

bool IsHostWindowGone()
{
    if (!gHost || !gHostDisplay)
        return false;
    Uint32 now = SDL_GetTicks();
    if (now - gLastLook < 200)
        return false;
    gLastLook = now;
    return HasHostWindowGone();
}

bool HasHostWindowGone()
{
    if (!gHost || !gHostDisplay)
        return false;
    XWindowAttributes attributes;
    return !XGetWindowAttributes(gHostDisplay, gHost, &attributes);
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

static Display* gCoverDisplay;
static std::vector<Window> gCovers;

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
        gCovers.push_back(cover);
    }
    XFlush(display);
    gCoverDisplay = display;
}

void UncoverMonitors()
{
    for (Window cover : gCovers)
        XDestroyWindow(gCoverDisplay, cover);
    if (!gCovers.empty())
        XFlush(gCoverDisplay);
    gCovers.clear();
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
