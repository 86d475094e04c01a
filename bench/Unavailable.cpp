// The Windows and web builds' bench: what needs Mesa's offscreen context or /proc is Linux's.
#include <cstdio>

#include "RenderBench.h"
#include "Soak.h"

static int SayUnavailable()
{
    std::fprintf(stderr, "kelvaron-bench: this build has no offscreen frames or memory figures; use the Linux build\n");
    return 2;
}

int RunRenderBench(long)
{
    return SayUnavailable();
}

int RunSoak(long, unsigned, const char*)
{
    return SayUnavailable();
}
