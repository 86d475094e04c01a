// Mesa's software path asks the X server for the size of the window it draws into at each frame and
// does not look at whether the answer came. For a window gone with its host (a preview's host killed,
// XScreenSaver's window destroyed as the hack ends) it then draws at whatever size its memory held,
// and corrupts the heap. This XGetGeometry stands in front of Xlib's (the program exports it: see
// cmake/Linux.cmake) and answers for a gone window with a size of nothing.
#include <X11/Xlib.h>
#include <dlfcn.h>

using GetGeometry = Status (*)(Display*, Drawable, Window*, int*, int*, unsigned*, unsigned*, unsigned*, unsigned*);

extern "C" Status XGetGeometry(Display* display, Drawable drawable, Window* root, int* x, int* y, unsigned* width,
                               unsigned* height, unsigned* border, unsigned* depth)
{
    static const auto xlibs = reinterpret_cast<GetGeometry>(dlsym(RTLD_NEXT, "XGetGeometry"));
    Status answered = xlibs(display, drawable, root, x, y, width, height, border, depth);
    if (!answered) {
        *root = None;
        *x = *y = 0;
        *width = *height = *border = *depth = 0;
    }
    return answered;
}
