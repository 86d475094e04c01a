// A stand-in for the screensaver host's preview pane: an X window of the given size that prints its
// id and stays until it is killed.
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    int width = argc > 1 ? std::atoi(argv[1]) : 200;
    int height = argc > 2 ? std::atoi(argv[2]) : 150;
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "host-window: no display\n");
        return 1;
    }
    Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 100, 100, unsigned(width),
                                        unsigned(height), 0, 0, WhitePixel(display, DefaultScreen(display)));
    XStoreName(display, window, "Preview Host");
    XMapWindow(display, window);
    XSync(display, False);
    std::printf("%lu\n", window);
    std::fflush(stdout);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
    }
}
