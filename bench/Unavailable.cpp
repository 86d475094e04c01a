#include "RenderBench.h"

#include <cstdio>

int RunRenderBench(long)
{
    std::fprintf(stderr, "kelvaron-replay: this build draws no offscreen frames; use the Linux build\n");
    return 2;
}
