// The render window in a page: its canvas at the size asked for, with a WebGL 1 context that
// emscripten's legacy-GL emulation turns into GL 1.1. The page has no display modes and no other
// monitors; only the user may put the canvas full screen (the page's button), which makes the run a
// full run.
#include <emscripten.h>
#include <emscripten/html5.h>

#include "platform/Platform.h"
#include "platform/web/WebBackend.h"

extern "C" void kelvaron_start_gl_emulation();  // LegacyGl.js

static EMSCRIPTEN_WEBGL_CONTEXT_HANDLE gContext;

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

WindowFailure CreateRenderWindow(const char* title, int width, int height, int, bool, uintptr_t)
{
    if (emscripten_set_canvas_element_size(kCanvasTarget, width, height) != EMSCRIPTEN_RESULT_SUCCESS)
        return WindowFailure::kCreateWindow;
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.alpha = false;
    attributes.depth = true;
    attributes.stencil = false;
    attributes.antialias = false;
    attributes.majorVersion = 1;
    gContext = emscripten_webgl_create_context(kCanvasTarget, &attributes);
    if (gContext <= 0)
        return WindowFailure::kCreateContext;
    if (emscripten_webgl_make_context_current(gContext) != EMSCRIPTEN_RESULT_SUCCESS) {
        DestroyRenderWindow();
        return WindowFailure::kActivateContext;
    }
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
    if (gContext > 0) {
        emscripten_webgl_make_context_current(0);
        emscripten_webgl_destroy_context(gContext);
    }
    gContext = 0;
}

EM_JS(void, SetPageTitle, (const char* title), { document.title = UTF8ToString(title); });

void SetRenderWindowTitle(const char* title)
{
    SetPageTitle(title);
}

// The frame goes to the screen when the browser next composites: the run waits for that moment.
EM_ASYNC_JS(void, AwaitAnimationFrame, (), { await new Promise((resolve) => requestAnimationFrame(resolve)); });

void PresentFrame()
{
    AwaitAnimationFrame();
    CountPresentedFrame();
    DeliverPictures();
}
