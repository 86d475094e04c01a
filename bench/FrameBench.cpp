#include "FrameBench.h"

#include <chrono>
#include <cstdio>
#include <vector>

#include "AllocCount.h"
#include "FreshProcess.h"
#include "Percentile.h"
#include "app/Frame.h"
#include "app/Input.h"
#include "platform/Platform.h"

constexpr long kWarmUpFrames = 200;

static void MeasureScenario(const char* name, const std::vector<unsigned>& heldKeys, long frames)
{
    StartScene();  // the simulation alone: the frame as a minimised window runs it
    for (unsigned vk : heldKeys)
        HandleKeyDown(vk);
    for (long i = 0; i < kWarmUpFrames; ++i)
        RunFrame();

    std::vector<double> micros(size_t(frames), 0.0);
    unsigned long programAllocs = 0, odeAllocs = 0;
    for (long i = 0; i < frames; ++i) {
        auto start = std::chrono::steady_clock::now();
        AllocCounts a = ReadAllocCounts();
        RunFrame();
        AllocCounts b = ReadAllocCounts();
        micros[size_t(i)] = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
        programAllocs += b.program - a.program;
        odeAllocs += b.ode - a.ode;
    }

    double n = double(frames);
    std::printf("%-8s %ld frames: median %.1f us, p95 %.1f us; heap allocations per frame: operator new %.2f, "
                "ODE's allocator %.2f\n",
                name, frames, Percentile(micros, 0.5), Percentile(micros, 0.95), programAllocs / n, odeAllocs / n);
    for (unsigned vk : heldKeys)
        HandleKeyUp(vk);
    EndScene();
}

int RunFrameBench(long frames)
{
    std::printf("simulation frame (RunFrame, not drawn), after %ld warm-up frames\n", kWarmUpFrames);
    MeasureScenario("idle", {}, frames);
    // All three cars accelerate while steering left, so they circle among the scene.
    MeasureScenario("driving", {kVkUp, kVkLeft, 'W', 'A', 'I', 'J'}, frames);
    return 0;
}
