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

// The test: a surface of the window and its size, as a layer run has one on every output.
struct NullSurface {
    int width, height;
};

// What the tests set and what the backend records, in one record. Beside each field, who writes it:
// "the test" or a file of the null backend; ResetNullPlatform (State.cpp) puts every one back.
struct NullBackend {
    // The clock: the test sets it, and WaitForEvents (Events.cpp) moves it on by what was slept.
    uint32_t tickCount;
    // OffscreenWindow.cpp and SetRenderWindowTitle (Window.cpp): the window's title as last set.
    char windowTitle[64];
    WindowFailure prepareFailure;  // the test: what PrepareRenderWindow reports
    WindowFailure windowFailure;   // the test: what CreateRenderWindow reports, its window taken down
    NullWindow window;             // OffscreenWindow.cpp: the window as last made
    long framesPresented;          // PresentFrame (Window.cpp)
    // The null backend's files as each is called (the test may empty it): backend calls in order,
    // with what was true at the time.
    std::vector<std::string> calls;
    StoredSettings store;  // the test, and WriteStoredSettings (Store.cpp) on a save
    bool storeFails;       // the test: WriteStoredSettings refuses
    // The test: told of some backend calls (ReadTickCount, PresentFrame, DestroyRenderWindow) as they
    // happen, when set, so that a test sees what the shared code had done by then.
    void (*frameWatcher)(const char* call);
    // WaitForEvents (Events.cpp): its calls; each moves the clock on by what it was asked.
    long waits;
    // WritePngFile (Pictures.cpp; the test may empty it): the last picture written, rows top down,
    // RGB, and its size.
    std::vector<unsigned char> picture;
    int pictureWidth, pictureHeight;
    // WritePngFile (Pictures.cpp): pictures go to the system's temporary folder, as raw RGB under the
    // name asked for; the last one is removed when the next is written and at reset.
    std::string picturePath;
    // The test: the window's surfaces; none set, the window is its one surface. SelectRenderSurface
    // (Window.cpp) reports each one's size as it is selected, and notes the indexes selected in calls.
    std::vector<NullSurface> surfaces;
    bool modeFails;  // the test: SetFullscreenMode cannot have the mode
    Answer answer;   // the test: what AskQuestion answers
};

extern NullBackend gNull;
// Tells the test's frame watcher of a call, if it set one.
void WatchNullCall(const char* call);

// Back to a fresh process: no window, no events, an empty store.
void ResetNullPlatform();
