// The start-up figures' lines (declared in platform/Platform.h).
#include <cstdio>
#include <cstdlib>

#include "platform/Platform.h"

void NoteStartupStep(const char* step)
{
    static const bool wanted = std::getenv("KELVARON_STARTUP_TIMES") != nullptr;
    if (wanted)
        std::fprintf(stderr, "kelvaron: start-up %s %.2f\n", step, ReadMsSinceLaunch());
}
