// The tests' backend: no events of its own (a test calls the handlers or queues commands), a clock
// set by hand and a store in memory, and on Linux an offscreen GL context instead of a window
// (OffscreenWindow.cpp). It records what the shared code asked of it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"

struct NullWindow {
    bool exists;
    std::string title;
    int width, height, bits;
    bool fullscreen;
    uintptr_t parent;
};

// What the tests set and what the backend records. Beside each global, who writes it: "the test"
// or a file of the null backend; ResetNullPlatform (State.cpp) puts every one back.

// The clock: the test sets it, and WaitForEvents (Events.cpp) moves it on by what was slept.
extern uint32_t gNullTickCount;
// OffscreenWindow.cpp and SetRenderWindowTitle (Window.cpp): the window's title as last set.
extern char gNullWindowTitle[64];
extern WindowFailure gNullPrepareFailure;  // the test: what PrepareRenderWindow reports
extern WindowFailure gNullWindowFailure;   // the test: what CreateRenderWindow reports, its window taken down
extern NullWindow gNullWindow;     // OffscreenWindow.cpp: the window as last made
extern long gNullFramesPresented;  // PresentFrame (Window.cpp)
// The null backend's files as each is called (the test may empty it): backend calls in order, with
// what was true at the time.
extern std::vector<std::string> gNullCalls;
extern StoredSettings gNullStore;  // the test, and WriteStoredSettings (Store.cpp) on a save
extern bool gNullStoreFails;       // the test: WriteStoredSettings refuses
// The test: told of some backend calls (ReadTickCount, PresentFrame, DestroyRenderWindow) as they
// happen, when set, so that a test sees what the shared code had done by then.
extern void (*gNullFrameWatcher)(const char* call);
void WatchNullCall(const char* call);
// WaitForEvents (Events.cpp): its calls; each moves the clock on by what it was asked.
extern long gNullWaits;
// WritePngFile (Pictures.cpp; the test may empty it): the last picture written, rows top down,
// RGB, and its size.
extern std::vector<unsigned char> gNullPicture;
extern int gNullPictureWidth, gNullPictureHeight;
// WritePngFile (Pictures.cpp): pictures go to the system's temporary folder, as raw RGB under the
// name asked for; the last one is removed when the next is written and at reset.
extern std::string gNullPicturePath;
// The test: the window's surfaces and their sizes, as a layer run has one on every output; none set,
// the window is its one surface. SelectRenderSurface (Window.cpp) reports each one's size as it is
// selected, and notes the indexes selected in gNullCalls.
struct NullSurface {
    int width, height;
};
extern std::vector<NullSurface> gNullSurfaces;
extern bool gNullModeFails;  // the test: SetFullscreenMode cannot have the mode
extern Answer gNullAnswer;   // the test: what AskQuestion answers

// Back to a fresh process: no window, no events, an empty store.
void ResetNullPlatform();
