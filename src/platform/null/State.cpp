// The null backend's state, as the tests set it and the backend records it, and its reset to a
// fresh process.
#include <cstdio>

#include "platform/null/NullPlatform.h"

NullBackend gNull;

void ResetNullPlatform()
{
    if (!gNull.picturePath.empty())
        std::remove(gNull.picturePath.c_str());
    gNull = NullBackend{};
    gNull.answer = Answer::kYes;
}

void WatchNullCall(const char* call)
{
    if (gNull.frameWatcher)
        gNull.frameWatcher(call);
}
