// The tests' backend: events scripted by frame, a clock set by hand and a store in memory, and on
// Linux an offscreen GL context instead of a window (NullWindow.cpp). It records what the shared
// code asked of it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"

struct NullEvent {
    enum Kind { kKeyDown, kKeyUp, kFocusLost, kMouseMoved, kResized, kMinimised, kRestored, kCloseRequested } kind;
    long frame;  // handed over once this many frames have been presented
    int a, b;    // key code, or x and y, or width and height
};

struct NullWindow {
    bool exists;
    std::string title;
    int width, height, bits;
    bool fullscreen;
    uintptr_t parent;
};

extern uint32_t gNullTickCount;
extern char gNullWindowTitle[64];
extern std::vector<NullEvent> gNullEvents;  // in order; consumed from the front
extern WindowFailure gNullPrepareFailure;    // what PrepareRenderWindow reports
extern WindowFailure gNullWindowFailure;     // what CreateRenderWindow reports, having taken down its window
extern NullWindow gNullWindow;
extern long gNullFramesPresented;
extern std::vector<std::string> gNullCalls;  // backend calls in order, with what was true at the time
extern StoredSettings gNullStore;
extern bool gNullStoreFails;
// Told of some backend calls (ReadTickCount, PresentFrame, DestroyRenderWindow) as they happen, when
// set: a test sees what the shared code had done by then.
extern void (*gNullFrameWatcher)(const char* call);
void WatchNullCall(const char* call);
extern long gNullWaits;  // WaitForEvents calls; each moves the clock on by what it was asked
extern std::vector<unsigned char> gNullPicture;  // the last picture written, rows top down, RGB
extern int gNullPictureWidth, gNullPictureHeight;
// Pictures go to the system's temporary folder, as raw RGB under the name asked for; the last one
// is removed when the next is written and at reset.
extern std::string gNullPicturePath;
extern bool gNullModeFails;      // SetFullscreenMode cannot have the mode
extern Answer gNullAnswer;       // what AskQuestion answers

// Back to a fresh process: no window, no events, an empty store.
void ResetNullPlatform();
