// Asks for the size of a window that has gone, the way Mesa's software path does at each frame: by
// the symbol found first in the process. Exits 0 only if the answer is "no window" with a size of
// nothing, not whatever the caller's memory held.
//   gone-window-size
#include <X11/Xlib.h>
#include <dlfcn.h>

#include <cstdio>

using GetGeometry = Status (*)(Display*, Drawable, Window*, int*, int*, unsigned*, unsigned*, unsigned*, unsigned*);

static int IgnoreXError(Display*, XErrorEvent*)
{
    return 0;
}

int main()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 2;
    XSetErrorHandler(IgnoreXError);
    Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 64, 48, 0, 0, 0);
    XDestroyWindow(display, window);
    XSync(display, False);
    auto getGeometry = reinterpret_cast<GetGeometry>(dlsym(RTLD_DEFAULT, "XGetGeometry"));
    Window root = 1;
    int x = 7, y = 7;
    unsigned width = 0xdeadbeef, height = 0xdeadbeef, border = 7, depth = 7;
    Status answered = getGeometry(display, window, &root, &x, &y, &width, &height, &border, &depth);
    std::printf("answered %d, size %u x %u\n", answered, width, height);
    XCloseDisplay(display);
    return !answered && width == 0 && height == 0 ? 0 : 1;
}
