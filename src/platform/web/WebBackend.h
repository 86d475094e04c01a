// What the pieces of the browser backend share with each other.
#pragma once
#ifndef __EMSCRIPTEN__
#error "platform/web is the browser build's backend: build it with emscripten"
#endif

// The page's canvas, as the HTML5 API names its targets.
constexpr const char* kCanvasTarget = "#canvas";

// Events (WebEvents.cpp): the canvas's keys, focus and mouse, the page's visibility and full screen,
// listened to while the render window exists.
void StartListening();
void StopListening();
// The canvas fills the screen: this is the full run, which Escape and mouse motion end.
bool IsFullRun();

// Gamepads (WebPads.cpp): read once a frame, let go with the window.
void PollGamepads();
void ReleaseGamepads();
