// The null backend's state, as the tests set it and the backend records it, and its reset to a
// fresh process.
#include <cstdio>

#include "platform/null/NullPlatform.h"

uint32_t gNullTickCount;
char gNullWindowTitle[64];
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
std::vector<NullSurface> gNullSurfaces;
bool gNullModeFails;
Answer gNullAnswer;

void ResetNullPlatform()
{
    gNullTickCount = 0;
    gNullWindowTitle[0] = '\0';
    gNullPrepareFailure = gNullWindowFailure = WindowFailure::kNone;
    gNullWindow = NullWindow{};
    gNullFramesPresented = 0;
    gNullCalls.clear();
    gNullStore = StoredSettings{};
    gNullStoreFails = false;
    gNullFrameWatcher = nullptr;
    gNullWaits = 0;
    gNullPicture.clear();
    gNullPictureWidth = gNullPictureHeight = 0;
    if (!gNullPicturePath.empty())
        std::remove(gNullPicturePath.c_str());
    gNullPicturePath.clear();
    gNullSurfaces.clear();
    gNullModeFails = false;
    gNullAnswer = Answer::kYes;
}

void WatchNullCall(const char* call)
{
    if (gNullFrameWatcher)
        gNullFrameWatcher(call);
}
