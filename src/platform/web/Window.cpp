// The render window in a page: its canvas at the size asked for, in CSS pixels, with a WebGL 1
// context that emscripten's legacy-GL emulation turns into GL 1.1. Its drawing buffer follows the
// screen: as many pixels as the screen shows the canvas with, so that a HiDPI screen, the browser's
// zoom and full screen draw sharp, one buffer pixel to a device pixel. The page has no display modes
// and no other monitors; only the user may put the canvas full screen (the page's button), which
// makes the run a full run.
#include <emscripten.h>
#include <emscripten/html5.h>

#include "platform/Platform.h"
#include "platform/web/WebBackend.h"

WebBackend gWeb;

extern "C" void kelvaron_start_gl_emulation();         // LegacyGl.js
extern "C" void kelvaron_scale_line_widths(float scale);  // LegacyGl.js

float ReadCanvasScale()
{
    return gWeb.scale;
}

// The page's style sizes the canvas from these (index.html): the run's width, and its shape.
EM_JS(void, SetCanvasCssSize, (int width, int height), {
    Module.canvas.style.setProperty('--run-width', width);
    Module.canvas.style.setProperty('--run-height', height);
});

// The buffer the screen shows the canvas with: its box in CSS pixels (in full screen the run's shape
// fitted into the screen, as the page's style fits it) times the device pixels to a CSS pixel. False
// while the canvas is not shown.
EM_JS(int, MeasureShownBuffer, (int runWidth, int runHeight, int* width, int* height), {
    const box = Module.canvas.getBoundingClientRect();
    if (!(box.width > 0 && box.height > 0)) return 0;
    const fit = Math.min(box.width / runWidth, box.height / runHeight) * (window.devicePixelRatio || 1);
    HEAP32[width >> 2] = Math.max(1, Math.round(runWidth * fit));
    HEAP32[height >> 2] = Math.max(1, Math.round(runHeight * fit));
    return 1;
});

static bool SizeDrawingBuffer(int width, int height)
{
    if (emscripten_set_canvas_element_size(kCanvasTarget, width, height) != EMSCRIPTEN_RESULT_SUCCESS)
        return false;
    gWeb.bufferWidth = width;
    gWeb.bufferHeight = height;
    gWeb.scale = float(height) / float(gWeb.runHeight);
    kelvaron_scale_line_widths(gWeb.scale);
    return true;
}

// Read at every frame, as the browser shows it: a zoom, a move to another screen, a resized page or
// full screen all change it, and some (an emulated scale among them) without any event.
static void FollowShownSize()
{
    int width, height;
    if (!MeasureShownBuffer(gWeb.runWidth, gWeb.runHeight, &width, &height) ||
        (width == gWeb.bufferWidth && height == gWeb.bufferHeight))
        return;
    if (SizeDrawingBuffer(width, height))
        HandleDrawingBufferResized(width, height);
}

WindowFailure PrepareRenderWindow()
{
    NoteStartupStep("video");
    return WindowFailure::kNone;
}

// The canvas at the run's size stands for the display mode: there is nothing to change.
bool SetFullscreenMode(int, int, int)
{
    return true;
}

void RestoreDisplayMode() {}

void CoverOtherMonitors() {}

void UncoverMonitors() {}

// The buffer starts at the size asked, as the shell takes the window to be; the first frame shown
// brings it to the screen's.
WindowFailure CreateRenderWindow(const char* title, int width, int height, int, bool, uintptr_t)
{
    gWeb.runWidth = width;
    gWeb.runHeight = height;
    SetCanvasCssSize(width, height);
    if (!SizeDrawingBuffer(width, height))
        return WindowFailure::kCreateWindow;
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.alpha = false;
    attributes.depth = true;
    attributes.stencil = false;
    attributes.antialias = false;
    attributes.majorVersion = 1;
    gWeb.context = emscripten_webgl_create_context(kCanvasTarget, &attributes);
    if (gWeb.context <= 0)
        return WindowFailure::kCreateContext;
    if (emscripten_webgl_make_context_current(gWeb.context) != EMSCRIPTEN_RESULT_SUCCESS)
        return WindowFailure::kActivateContext;
    kelvaron_start_gl_emulation();
    SetRenderWindowTitle(title);
    StartListening();
    return WindowFailure::kNone;
}

EM_JS(void, LeaveFullScreen, (), {
    if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
});

void DestroyRenderWindow()
{
    StopListening();
    LeaveFullScreen();
    if (gWeb.context > 0) {
        emscripten_webgl_make_context_current(0);
        emscripten_webgl_destroy_context(gWeb.context);
    }
    gWeb.context = 0;
}

EM_JS(void, SetPageTitle, (const char* title), { document.title = UTF8ToString(title); });

void SetRenderWindowTitle(const char* title)
{
    SetPageTitle(title);
}

// The frame goes to the screen when the browser next composites: the run waits for that moment.
EM_ASYNC_JS(void, AwaitAnimationFrame, (), { await new Promise((resolve) => requestAnimationFrame(resolve)); });

// The window is the one surface, always current.
bool SelectRenderSurface(int index)
{
    return index == 0;
}

// Once the run's first frame is on screen, the page asks for its room (Room.cpp).
void PresentFrame()
{
    AwaitAnimationFrame();
    CountPresentedFrame();
    JoinPageRoom();
    ShowRoomStatus();
    DeliverPictures();
    FollowShownSize();
}
