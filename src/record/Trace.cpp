// The trace of a key-script run (declared in platform/Platform.h): the same line from the replay and
// from a backend that runs key scripts, so that their runs compare byte for byte.
#include <cstdio>

#include "platform/Platform.h"
#include "sim/World.h"

void FormatCarsTrace(long frame, char* line, size_t lineSize)
{
    int used = std::snprintf(line, lineSize, "frame %ld", frame);
    for (int c = 0; c < kWorldCarCount; ++c) {
        float p[3], v[3];
        ReadCarMotion(c, p, v);
        if (used < 0 || size_t(used) >= lineSize)
            return;
        used += std::snprintf(line + used, lineSize - size_t(used), " %.9g %.9g %.9g %.9g %.9g %.9g", p[0], p[1], p[2],
                              v[0], v[1], v[2]);
    }
}
