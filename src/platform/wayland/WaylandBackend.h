// What the pieces of the Wayland backend share, in one record; the rest is in platform/Platform.h.
// The backend runs the layer run (a full run on every output as a wlr-layer-shell surface) and the
// idle watcher that starts it.
#pragma once
#if !defined(__linux__)
#error "the Wayland backend is for Linux builds only"
#endif
#include <EGL/egl.h>
#include <wayland-client.h>

#include <cstdint>
#include <string>
#include <vector>

struct zwlr_layer_shell_v1;
struct zwlr_layer_surface_v1;
struct ext_idle_notifier_v1;
struct ext_idle_notification_v1;
struct org_kde_kwin_idle;
struct org_kde_kwin_idle_timeout;
struct wl_egl_window;
struct xkb_context;
struct xkb_keymap;
struct xkb_state;

// An output, and once the window is made the run's surface on it.
struct WaylandOutput {
    uint32_t name = 0;  // the registry's
    wl_output* output = nullptr;
    std::string label;  // the compositor's name for it (HEADLESS-1, DP-2), or its registry name
    int x = 0, y = 0;   // where it stands in the compositor's space, for the pointer's place
    int scale = 1;      // pixels to a unit of the compositor's space
    bool described = false;  // its first description is complete
    wl_surface* surface = nullptr;
    zwlr_layer_surface_v1* layer = nullptr;
    int width = 0, height = 0;  // the surface in the compositor's units, as last configured
    int bufferWidth = 0, bufferHeight = 0;  // its drawing buffer in pixels, as last sized
    wl_egl_window* eglWindow = nullptr;
    EGLSurface eglSurface = EGL_NO_SURFACE;
    long framesShown = 0;
    uint32_t firstShownMs = 0, lastShownMs = 0;
};

struct WaylandState {
    wl_display* display;
    wl_registry* registry;
    wl_compositor* compositor;
    zwlr_layer_shell_v1* layerShell;
    ext_idle_notifier_v1* idleNotifier;
    org_kde_kwin_idle* kdeIdle;
    wl_seat* seat;
    uint32_t seatCapabilities;  // as the seat last said
    wl_keyboard* keyboard;
    wl_pointer* pointer;
    xkb_context* xkb;
    xkb_keymap* keymap;
    xkb_state* keyState;
    std::vector<WaylandOutput*> outputs;  // each kept where it is: its listeners hold it
    const WaylandOutput* pointerOutput;   // the output whose surface the pointer is over
    ext_idle_notification_v1* idleNotification;  // the idle watcher's question, by either protocol
    org_kde_kwin_idle_timeout* kdeIdleTimeout;
    bool idle;                                     // its answer came
    EGLDisplay eglDisplay;
    EGLConfig eglConfig;
    EGLContext eglContext;
    bool windowMade;  // outputs arriving now get a surface of their own, and the seat's input is taken
    int reportedWidth, reportedHeight;  // the surface size the shell was last told of
};
extern WaylandState gWayland;

// Connects to the compositor and learns its globals and outputs. False with the reason.
bool ConnectToCompositor(std::string& error);
// Lets the connection and everything bound through it go.
void DisconnectFromCompositor();
// Sends what is queued and handles what has arrived, waiting up to milliseconds (-1: for ever) for
// something when nothing has. The events handled, or -1 once the connection is lost.
int DispatchWaylandEvents(int milliseconds);

// Takes the seat's keyboard and pointer as its capabilities say, and lets go of those it no longer has;
// lets go of both (Events.cpp).
void FollowSeatCapabilities();
void ReleaseSeatDevices();

// The run's surface on an output: made as the window is, or as an output arrives later; gone with the
// window, or with its output (Window.cpp).
void MakeOutputSurface(WaylandOutput* output);
void DropOutputSurface(WaylandOutput* output);

// The Windows virtual-key code of an XKB key symbol, or -1 for keys that have none here (KeyCodes.cpp).
int TranslateKeysym(uint32_t keysym);

// kelvaron --saver: watches for the seat going idle for seconds, then runs kelvaron -layer, and
// watches again once it has ended, until an ending signal. Returns the exit status (Saver.cpp).
int RunIdleWatcher(int seconds);
