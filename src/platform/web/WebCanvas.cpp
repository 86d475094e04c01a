// The render window in a page: its canvas at the size asked for, with a WebGL 1 context that
// emscripten's legacy-GL emulation turns into GL 1.1. The page has no display mode to change, and only
// the user may put the canvas full screen (the page's button).
#include <emscripten.h>
#include <emscripten/html5.h>

#include "gl/GlState.h"
#include "platform/Platform.h"
#include "platform/web/WebBackend.h"

extern "C" void kelvaron_start_gl_emulation();  // LegacyGl.js

static EMSCRIPTEN_WEBGL_CONTEXT_HANDLE gContext;

EM_JS(void, ShowPageProblem, (const char* text), { Module.kelvaronPage.showProblem(UTF8ToString(text)); });

bool CreateRenderWindow(const char* title, int width, int height, int, bool, uintptr_t, bool* modeChanged)
{
    *modeChanged = false;
    NoteStartupStep("video");
    if (emscripten_set_canvas_element_size(kCanvasTarget, width, height) != EMSCRIPTEN_RESULT_SUCCESS) {
        ShowPageProblem("Window Creation Error.");
        return false;
    }
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.alpha = false;
    attributes.depth = true;
    attributes.stencil = false;
    attributes.antialias = false;
    attributes.majorVersion = 1;
    gContext = emscripten_webgl_create_context(kCanvasTarget, &attributes);
    if (gContext <= 0) {
        ShowPageProblem("Can't Create A GL Rendering Context.");
        return false;
    }
    if (emscripten_webgl_make_context_current(gContext) != EMSCRIPTEN_RESULT_SUCCESS) {
        DestroyRenderWindow();
        ShowPageProblem("Can't Activate The GL Rendering Context.");
        return false;
    }
    kelvaron_start_gl_emulation();
    SetRenderWindowTitle(title);
    StartListening();
    ResizeViewport(width, height);
    InitRenderState();
    return true;
}

EM_JS(void, LeaveFullScreen, (), {
    if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
});

void DestroyRenderWindow()
{
    StopListening();
    ReleaseGamepads();
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
}
