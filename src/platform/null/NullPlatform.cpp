#include "platform/null/NullPlatform.h"

#include <cstdio>

#include "platform/Platform.h"

uint32_t gNullTickCount;
char gNullWindowTitle[64];

uint32_t ReadTickCount()
{
    return gNullTickCount;
}

void SetRenderWindowTitle(const char* title)
{
    std::snprintf(gNullWindowTitle, sizeof gNullWindowTitle, "%s", title);
}
