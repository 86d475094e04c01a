#include "FrameBench.h"

#include <chrono>
#include <cstdio>
#include <vector>

#include "AllocCount.h"
#include "Percentile.h"
#include "app/Input.h"
#include "physics/Controls.h"
#include "physics/Keys.h"
#include "physics/Step.h"

constexpr long kWarmUpFrames = 200;

static void MeasureScenario(const char* name, const std::vector<unsigned>& heldKeys, long frames)
{
    BuildWorld();
    for (unsigned vk : heldKeys)
        HandleKeyDown(vk);
    for (long i = 0; i < kWarmUpFrames; ++i) {
        UpdateCarControls();
        StepSimulation();
    }

    std::vector<double> micros(size_t(frames), 0.0);
    unsigned long controlAllocs = 0, stepAllocs = 0, odeAllocs = 0;
    for (long i = 0; i < frames; ++i) {
        auto start = std::chrono::steady_clock::now();
        AllocCounts a = ReadAllocCounts();
        UpdateCarControls();
        AllocCounts b = ReadAllocCounts();
        StepSimulation();
        AllocCounts c = ReadAllocCounts();
        micros[size_t(i)] = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
        controlAllocs += b.program - a.program;
        stepAllocs += c.program - b.program;
        odeAllocs += c.ode - a.ode;
    }

    double n = double(frames);
    std::printf("%-8s %ld frames: median %.1f us, p95 %.1f us; heap allocations per frame: operator new in "
                "UpdateCarControls %.2f, in StepSimulation %.2f; ODE's allocator %.2f\n",
                name, frames, Percentile(micros, 0.5), Percentile(micros, 0.95), controlAllocs / n,
                stepAllocs / n, odeAllocs / n);
    for (unsigned vk : heldKeys)
        HandleKeyUp(vk);
    DestroyWorld();
}

int RunFrameBench(long frames)
{
    std::printf("simulation frame (UpdateCarControls + StepSimulation), after %ld warm-up frames\n", kWarmUpFrames);
    MeasureScenario("idle", {}, frames);
    // All three cars accelerate while steering left, so they circle among the scene.
    MeasureScenario("driving", {kVkUp, kVkLeft, 'W', 'A', 'I', 'J'}, frames);
    return 0;
}
