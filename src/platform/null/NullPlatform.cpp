#include "platform/null/NullPlatform.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

uint32_t gNullTickCount;
char gNullWindowTitle[64];
std::vector<NullEvent> gNullEvents;
WindowFailure gNullPrepareFailure;
WindowFailure gNullWindowFailure;
NullWindow gNullWindow;
long gNullFramesPresented;
std::vector<std::string> gNullCalls;
StoredSettings gNullStore;
bool gNullStoreFails;
void (*gNullFrameWatcher)(const char* call);
long gNullWaits;
std::vector<unsigned char> gNullPicture;
int gNullPictureWidth, gNullPictureHeight;
std::string gNullPicturePath;
bool gNullModeFails;
Answer gNullAnswer;
static bool gQuitRequested;

void ResetNullPlatform()
{
    gNullTickCount = 0;
    gNullWindowTitle[0] = '\0';
    gNullEvents.clear();
    gNullPrepareFailure = gNullWindowFailure = WindowFailure::kNone;
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
    if (!gNullPicturePath.empty())
        std::remove(gNullPicturePath.c_str());
    gNullPicturePath.clear();
    gNullModeFails = false;
    gNullAnswer = Answer::kYes;
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

bool FindPicturesFolder(char* folder, size_t folderSize)
{
    std::error_code error;
    std::filesystem::path temporary = std::filesystem::temp_directory_path(error);
    if (error)
        return false;
    std::snprintf(folder, folderSize, "%s", (temporary / "").string().c_str());
    return true;
}

bool WritePngFile(const char* path, const unsigned char* rgb, int width, int height, char* error, size_t errorSize)
{
    const size_t bytes = size_t(width) * size_t(height) * 3;
    std::FILE* file = std::fopen(path, "wb");
    bool written = file && std::fwrite(rgb, 1, bytes, file) == bytes;
    if (file && std::fclose(file) != 0)
        written = false;
    if (!written) {
        std::snprintf(error, errorSize, "the null backend could not write it");
        return false;
    }
    if (!gNullPicturePath.empty())
        std::remove(gNullPicturePath.c_str());
    gNullPicturePath = std::string(path, std::strlen(path) - std::strlen(".part"));  // its name once renamed
    gNullPicture.assign(rgb, rgb + bytes);
    gNullPictureWidth = width;
    gNullPictureHeight = height;
    return true;
}

void ShowMessage(const char* caption, const char* text, MessageKind)
{
    gNullCalls.push_back(std::string("ShowMessage ") + caption + ": " + text);
}

Answer AskQuestion(const char* caption, const char*)
{
    gNullCalls.push_back(std::string("AskQuestion ") + caption);
    return gNullAnswer;
}

bool SetFullscreenMode(int, int, int)
{
    gNullCalls.push_back("SetFullscreenMode");
    return !gNullModeFails;
}

void RestoreDisplayMode()
{
    gNullCalls.push_back("RestoreDisplayMode");
}

// No monitors of its own: the calls are recorded.
void CoverOtherMonitors()
{
    gNullCalls.push_back("CoverOtherMonitors");
}

void UncoverMonitors()
{
    gNullCalls.push_back("UncoverMonitors");
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

void WatchNullCall(const char* call)
{
    if (gNullFrameWatcher)
        gNullFrameWatcher(call);
}

uint32_t ReadTickCount()
{
    WatchNullCall("ReadTickCount");
    return gNullTickCount;
}

void PresentFrame()
{
    WatchNullCall("PresentFrame");
    ++gNullFramesPresented;
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
