#include "platform/null/NullPlatform.h"

#include <cstdio>


uint32_t gNullTickCount;
char gNullWindowTitle[64];
std::vector<NullEvent> gNullEvents;
bool gNullWindowFails;
NullWindow gNullWindow;
long gNullFramesPresented;
std::vector<std::string> gNullCalls;
StoredSettings gNullStore;
bool gNullStoreFails;
void (*gNullFrameWatcher)(const char* call);
long gNullWaits;
std::vector<unsigned char> gNullPicture;
int gNullPictureWidth, gNullPictureHeight;
static bool gQuitRequested;

void ResetNullPlatform()
{
    gNullTickCount = 0;
    gNullWindowTitle[0] = '\0';
    gNullEvents.clear();
    gNullWindowFails = false;
    gNullWindow = NullWindow{};
    gNullFramesPresented = 0;
    gNullCalls.clear();
    gNullStore = StoredSettings{};
    gNullStoreFails = false;
    gQuitRequested = false;
    gNullFrameWatcher = nullptr;
    gNullWaits = 0;
    gNullPicture.clear();
    gNullPictureWidth = gNullPictureHeight = 0;
}

void SetRenderWindowTitle(const char* title)
{
    std::snprintf(gNullWindowTitle, sizeof gNullWindowTitle, "%s", title);
}

static void DeliverEvent(const NullEvent& e)
{
    switch (e.kind) {
    case NullEvent::kKeyDown: HandleKeyDown(unsigned(e.a)); break;
    case NullEvent::kKeyUp: HandleKeyUp(unsigned(e.a)); break;
    case NullEvent::kFocusLost: HandleFocusLost(); break;
    case NullEvent::kMouseMoved: HandleMouseMoved(e.a, e.b); break;
    case NullEvent::kResized: HandleResized(e.a, e.b); break;
    case NullEvent::kMinimised: HandleMinimised(true); break;
    case NullEvent::kRestored: HandleMinimised(false); break;
    case NullEvent::kCloseRequested: HandleCloseRequested(); break;
    }
}

PumpResult PumpOneEvent()
{
    if (!gNullEvents.empty() && gNullEvents.front().frame <= gNullFramesPresented) {
        NullEvent e = gNullEvents.front();
        gNullEvents.erase(gNullEvents.begin());
        DeliverEvent(e);
        return PumpResult::kHandled;
    }
    if (gQuitRequested) {
        gQuitRequested = false;
        return PumpResult::kQuit;
    }
    return PumpResult::kIdle;
}

bool SavePicture(const unsigned char* rgb, int width, int height, char* where, size_t whereSize)
{
    gNullPicture.assign(rgb, rgb + size_t(width) * height * 3);
    gNullPictureWidth = width;
    gNullPictureHeight = height;
    std::snprintf(where, whereSize, "memory");
    return true;
}

void WaitForEvents(uint32_t milliseconds)
{
    // The clock set by hand moves on by what was slept.
    gNullTickCount += milliseconds;
    ++gNullWaits;
}

void PostQuitRequest()
{
    gNullCalls.push_back("PostQuitRequest");
    gQuitRequested = true;
}

static void Watch(const char* call)
{
    if (gNullFrameWatcher)
        gNullFrameWatcher(call);
}

uint32_t ReadTickCount()
{
    Watch("ReadTickCount");
    return gNullTickCount;
}

void PresentFrame()
{
    Watch("PresentFrame");
    ++gNullFramesPresented;
}

void ReadStoredSettings(StoredSettings* stored)
{
    *stored = gNullStore;
}

bool WriteStoredSettings(const int32_t values[kStoredValueCount], char* error, size_t errorSize)
{
    if (gNullStoreFails) {
        std::snprintf(error, errorSize, "the store refused");
        return false;
    }
    for (int i = 0; i < kStoredValueCount; ++i) {
        gNullStore.values[i] = values[i];
        gNullStore.present[i] = true;
    }
    return true;
}

bool RunSettingsDialog()
{
    gNullCalls.push_back("RunSettingsDialog");
    return true;
}

double ReadWallClockMs()
{
    return gNullTickCount;
}

double ReadProcessStartMs()
{
    return 0;
}
