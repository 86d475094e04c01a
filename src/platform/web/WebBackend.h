// What the pieces of the browser backend share with each other; the rest is in platform/Platform.h.
#pragma once
#ifndef __EMSCRIPTEN__
#error "platform/web is the browser build's backend: build it with emscripten"
#endif
#include <emscripten/html5.h>

#include <cstdint>
#include <string>

#include "platform/Platform.h"

// The page's canvas, as the HTML5 API names its targets.
constexpr const char* kCanvasTarget = "#canvas";

constexpr int kSeenPadCount = 8;  // the browser's pads looked at

// The backend's one record, but for the relay socket, a library of its own that node's programs link
// too (RelaySocket.cpp keeps its socket). Beside each field, the file that writes it.
struct WebBackend {
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context;  // Window.cpp
    int runWidth, runHeight;        // Window.cpp: the size asked for: the canvas's CSS size
    int bufferWidth, bufferHeight;  // Window.cpp: its drawing buffer's
    float scale = 1;                // Window.cpp: buffer pixels to a CSS pixel of the run's size
    bool fullRun;                   // Events.cpp
    bool startTraced;               // Events.cpp: a key script's run has traced its world as built
    bool padConnected[kSeenPadCount];  // Pads.cpp: the browser's pad at each index was there at the last poll
    bool pictureWritten;            // Pictures.cpp: a file may have been written since the last delivery
    bool restartRequested;          // Dialog.cpp
    std::string roomToJoin;         // Room.cpp: the room this run joins once its first frame is shown
    bool inRoom;                    // Room.cpp: this run joined a room
    SharedRunStatus shownRoom;      // Room.cpp: what the page says of it
    long framesPresented;           // WebKeyScript.cpp
    bool tracing;                   // WebKeyScript.cpp: a script drives this run
};

extern WebBackend gWeb;  // Window.cpp

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
// run about to start joins it once its first frame is on screen (the second presented), its log in,
// or says on the page why it could not and runs on its own.
void ReadPageRoom();
void JoinPageRoom();
// Brings the page's word on the room up to date; each frame.
void ShowRoomStatus();
