// What the pieces of the browser backend share with each other; the rest is in platform/Platform.h.
#pragma once
#ifndef __EMSCRIPTEN__
#error "platform/web is the browser build's backend: build it with emscripten"
#endif
#include <cstdint>

// The page's canvas, as the HTML5 API names its targets.
constexpr const char* kCanvasTarget = "#canvas";

// Events (Events.cpp): the canvas's keys, focus and mouse, the page's visibility and full screen,
// listened to while the render window exists.
void StartListening();
void StopListening();

// The key script or recording of the page's address (WebKeyScript.cpp), played from the start of each
// run, which is traced as the replay traces it: the world as built, then every kTraceEvery frames.
void StartKeyScript();
void TraceKeyScriptStart();
void CountPresentedFrame();

// Drawing-buffer pixels to a CSS pixel of the run's size, as the canvas is shown now (Window.cpp):
// 2 on a HiDPI screen, more in full screen, less in a narrow page; the overlay's glyphs follow it.
float ReadCanvasScale();

// Pictures written since the last frame go to the browser as downloads (Pictures.cpp).
void DeliverPictures();

// The settings form's Save ends the run, so that the next one starts at once with what was saved
// (Dialog.cpp); true once, after such a save.
bool TakeRestartRequest();

// The wait (Wait.cpp): sleeps until WakeWaiter is called or milliseconds have passed, the browser
// running meanwhile. Only the page, built with Asyncify, may sleep; node's programs never do.
void AwaitEvent(uint32_t milliseconds);
void WakeWaiter();

// Rooms (Room.cpp): with a room in the page's address (?room=CODE, or ?room=new for a new one), the
// run about to start joins it, its log in, or says on the page why it could not and runs on its own.
void JoinPageRoom();
// Brings the page's word on the room up to date; each frame.
void ShowRoomStatus();
