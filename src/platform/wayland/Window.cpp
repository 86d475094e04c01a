// The render window on Wayland: a wlr-layer-shell surface on every output, in the overlay layer over
// everything (panels too), with the keyboard to itself; each surface an EGL window drawn by the one
// desktop GL context (a compatibility profile, for the GL 1.1 drawing). A compositor cannot be asked
// for another display mode, so the mode is the outputs' own and nothing needs covering.
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <wayland-egl.h>

#include <climits>
#include <cstdio>

#include "platform/Platform.h"
#include "platform/wayland/LayerShell.h"
#include "platform/wayland/WaylandBackend.h"

constexpr const char* kLayerNamespace = "kelvaron";  // what compositors' rules name the surfaces by

static void MakeEglSurface(WaylandOutput* output)
{
    WaylandState& w = gWayland;
    output->bufferWidth = output->width * output->scale;
    output->bufferHeight = output->height * output->scale;
    wl_surface_set_buffer_scale(output->surface, output->scale);
    output->eglWindow = wl_egl_window_create(output->surface, output->bufferWidth, output->bufferHeight);
    output->eglSurface = eglCreatePlatformWindowSurface(w.eglDisplay, w.eglConfig, output->eglWindow, nullptr);
    if (output->eglSurface == EGL_NO_SURFACE) {
        std::fprintf(stderr, "kelvaron: %s: no EGL surface (EGL error 0x%x)\n", output->label.c_str(), eglGetError());
        return;
    }
    // A swap never waits for the compositor: frames run back to back, and an output the compositor has
    // turned off, which asks for no frames, holds nothing up.
    eglMakeCurrent(w.eglDisplay, output->eglSurface, output->eglSurface, w.eglContext);
    eglSwapInterval(w.eglDisplay, 0);
}

static void HandleLayerConfigure(void* data, zwlr_layer_surface_v1* layer, uint32_t serial, uint32_t width,
                                 uint32_t height)
{
    auto* output = static_cast<WaylandOutput*>(data);
    zwlr_layer_surface_v1_ack_configure(layer, serial);
    output->width = int(width);
    output->height = int(height);
    if (!output->eglWindow && width > 0 && height > 0)
        MakeEglSurface(output);
}

// The compositor took the surface away (its output went): the run goes on on the others.
static void HandleLayerClosed(void* data, zwlr_layer_surface_v1*)
{
    DropOutputSurface(static_cast<WaylandOutput*>(data));
}

static const zwlr_layer_surface_v1_listener kLayerListener = {HandleLayerConfigure, HandleLayerClosed};

void MakeOutputSurface(WaylandOutput* output)
{
    WaylandState& w = gWayland;
    output->surface = wl_compositor_create_surface(w.compositor);
    output->layer = zwlr_layer_shell_v1_get_layer_surface(w.layerShell, output->surface, output->output,
                                                          ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, kLayerNamespace);
    // Anchored to every edge at no size of its own: the whole output. An exclusive zone of -1 puts it
    // over the panels rather than beside them.
    zwlr_layer_surface_v1_set_size(output->layer, 0, 0);
    zwlr_layer_surface_v1_set_anchor(output->layer,
                                     ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                         ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
    zwlr_layer_surface_v1_set_exclusive_zone(output->layer, -1);
    zwlr_layer_surface_v1_set_keyboard_interactivity(output->layer, 1);  // exclusive, in every version
    zwlr_layer_surface_v1_add_listener(output->layer, &kLayerListener, output);
    wl_region* whole = wl_compositor_create_region(w.compositor);
    wl_region_add(whole, 0, 0, INT_MAX, INT_MAX);
    wl_surface_set_opaque_region(output->surface, whole);
    wl_region_destroy(whole);
    wl_surface_commit(output->surface);
}

// Says how the surface's frames went, then lets it go. EGL keeps a current surface until it is no
// longer current, and its window must outlive it.
void DropOutputSurface(WaylandOutput* output)
{
    WaylandState& w = gWayland;
    if (output->framesShown > 1 && output->lastShownMs != output->firstShownMs) {
        const double seconds = double(output->lastShownMs - output->firstShownMs) / 1000;
        std::fprintf(stderr, "kelvaron: %s: %ld frames of %dx%d in %.1f s, %.1f a second\n", output->label.c_str(),
                     output->framesShown, output->bufferWidth, output->bufferHeight, seconds,
                     double(output->framesShown - 1) / seconds);
    }
    if (output->eglSurface != EGL_NO_SURFACE) {
        if (eglGetCurrentSurface(EGL_DRAW) == output->eglSurface)
            eglMakeCurrent(w.eglDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroySurface(w.eglDisplay, output->eglSurface);
    }
    if (output->eglWindow)
        wl_egl_window_destroy(output->eglWindow);
    if (output->layer)
        zwlr_layer_surface_v1_destroy(output->layer);
    if (output->surface)
        wl_surface_destroy(output->surface);
    output->eglSurface = EGL_NO_SURFACE;
    output->eglWindow = nullptr;
    output->layer = nullptr;
    output->surface = nullptr;
    output->width = output->height = output->bufferWidth = output->bufferHeight = 0;
    output->framesShown = 0;
}

WindowFailure PrepareRenderWindow()
{
    std::string error;
    if (!ConnectToCompositor(error)) {
        std::fprintf(stderr, "kelvaron: %s\n", error.c_str());
        return WindowFailure::kCreateWindow;
    }
    NoteStartupStep("video");
    return WindowFailure::kNone;
}

// No display mode but the outputs' own: the layer run never asks for one.
bool SetFullscreenMode(int, int, int)
{
    return false;
}

void RestoreDisplayMode() {}

// An opaque RGB buffer: an alpha channel would let the compositor blend the run with what is below.
static bool ChooseEglConfig()
{
    WaylandState& w = gWayland;
    const EGLint wanted[] = {EGL_SURFACE_TYPE, EGL_WINDOW_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                             EGL_RED_SIZE,     1,              EGL_GREEN_SIZE,      1,
                             EGL_BLUE_SIZE,    1,              EGL_DEPTH_SIZE,      16,
                             EGL_NONE};
    EGLConfig configs[64];
    EGLint count = 0;
    if (!eglChooseConfig(w.eglDisplay, wanted, configs, 64, &count))
        return false;
    for (EGLint i = 0; i < count; ++i) {
        EGLint alpha = -1;
        if (eglGetConfigAttrib(w.eglDisplay, configs[i], EGL_ALPHA_SIZE, &alpha) && alpha == 0) {
            w.eglConfig = configs[i];
            return true;
        }
    }
    return false;
}

static WindowFailure StartEgl()
{
    WaylandState& w = gWayland;
    w.eglDisplay = eglGetPlatformDisplay(EGL_PLATFORM_WAYLAND_KHR, w.display, nullptr);
    if (w.eglDisplay == EGL_NO_DISPLAY || !eglInitialize(w.eglDisplay, nullptr, nullptr))
        return WindowFailure::kDeviceContext;
    if (!ChooseEglConfig())
        return WindowFailure::kChoosePixelFormat;
    const EGLint compatibility[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                                    EGL_NONE};
    if (!eglBindAPI(EGL_OPENGL_API))
        return WindowFailure::kCreateContext;
    w.eglContext = eglCreateContext(w.eglDisplay, w.eglConfig, EGL_NO_CONTEXT, compatibility);
    return w.eglContext == EGL_NO_CONTEXT ? WindowFailure::kCreateContext : WindowFailure::kNone;
}

static WaylandOutput* FindDrawnOutput(int index)
{
    for (WaylandOutput* output : gWayland.outputs)
        if (output->eglSurface != EGL_NO_SURFACE && index-- == 0)
            return output;
    return nullptr;
}

// title, size, depth and mode are a window's: the surfaces take each output's size and depth.
WindowFailure CreateRenderWindow(const char*, int, int, int, bool, uintptr_t)
{
    WaylandState& w = gWayland;
    if (!w.compositor || !w.layerShell) {
        std::fprintf(stderr, "kelvaron: the compositor offers no wlr-layer-shell, which a layer run needs\n");
        return WindowFailure::kCreateWindow;
    }
    const WindowFailure failure = StartEgl();
    if (failure != WindowFailure::kNone)
        return failure;
    w.windowMade = true;
    FollowSeatCapabilities();
    for (WaylandOutput* output : w.outputs)
        if (output->described)
            MakeOutputSurface(output);
    // Each surface is sized by its configure event, which makes its EGL surface.
    if (wl_display_roundtrip(w.display) < 0)
        return WindowFailure::kCreateWindow;
    const WaylandOutput* first = FindDrawnOutput(0);
    if (!first) {
        std::fprintf(stderr, "kelvaron: no output took a surface\n");
        return WindowFailure::kCreateWindow;
    }
    if (!eglMakeCurrent(w.eglDisplay, first->eglSurface, first->eglSurface, w.eglContext))
        return WindowFailure::kActivateContext;
    w.reportedWidth = w.reportedHeight = -1;
    return WindowFailure::kNone;
}

void DestroyRenderWindow()
{
    WaylandState& w = gWayland;
    if (w.eglDisplay != EGL_NO_DISPLAY) {
        if (w.eglContext != EGL_NO_CONTEXT && !eglMakeCurrent(w.eglDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT))
            ShowMessage("SHUTDOWN ERROR", "Release Of DC And RC Failed.", MessageKind::kInformation);
        for (WaylandOutput* output : w.outputs)
            DropOutputSurface(output);
        if (w.eglContext != EGL_NO_CONTEXT && !eglDestroyContext(w.eglDisplay, w.eglContext))
            ShowMessage("SHUTDOWN ERROR", "Release Rendering Context Failed.", MessageKind::kInformation);
        eglTerminate(w.eglDisplay);
        eglReleaseThread();
    }
    w.eglContext = EGL_NO_CONTEXT;
    w.eglDisplay = EGL_NO_DISPLAY;
    w.windowMade = false;
    DisconnectFromCompositor();
}

// A layer surface has no title: each surface's frame rate is said as it goes.
void SetRenderWindowTitle(const char*) {}

// Every output has its own surface.
void CoverOtherMonitors() {}
void UncoverMonitors() {}

bool SelectRenderSurface(int index)
{
    WaylandState& w = gWayland;
    WaylandOutput* output = FindDrawnOutput(index);
    if (!output)
        return false;
    // A new configure or scale takes effect here, for the drawing about to be done.
    const int width = output->width * output->scale, height = output->height * output->scale;
    if (width != output->bufferWidth || height != output->bufferHeight) {
        output->bufferWidth = width;
        output->bufferHeight = height;
        wl_surface_set_buffer_scale(output->surface, output->scale);
        wl_egl_window_resize(output->eglWindow, width, height, 0, 0);
    }
    eglMakeCurrent(w.eglDisplay, output->eglSurface, output->eglSurface, w.eglContext);
    if (width != w.reportedWidth || height != w.reportedHeight) {
        w.reportedWidth = width;
        w.reportedHeight = height;
        HandleResized(width, height);
    }
    return true;
}

void PresentFrame()
{
    WaylandState& w = gWayland;
    const uint32_t now = ReadTickCount();
    for (WaylandOutput* output : w.outputs) {
        if (output->eglSurface == EGL_NO_SURFACE)
            continue;
        eglMakeCurrent(w.eglDisplay, output->eglSurface, output->eglSurface, w.eglContext);
        eglSwapBuffers(w.eglDisplay, output->eglSurface);
        if (output->framesShown++ == 0)
            output->firstShownMs = now;
        output->lastShownMs = now;
    }
}
