#include "RenderBench.h"

#include <chrono>
#include <cstdio>
#include <vector>

#include "AllocCount.h"
#include "Percentile.h"
#include "app/Input.h"
#include "physics/Controls.h"
#include "physics/Keys.h"
#include "physics/Step.h"
#include "platform/GlState.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "platform/offscreen/Offscreen.h"
#include "render/Overlay.h"
#include "render/SceneView.h"

using Clock = std::chrono::steady_clock;

static double Millis(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double, std::milli>(b - a).count();
}

int RunRenderBench(long frames)
{
    if (!StartOffscreenGl(640, 480)) {
        std::fprintf(stderr, "kelvaron-replay: no offscreen GL context\n");
        return 1;
    }
    InitRenderState();
    ResizeViewport(640, 480);
    BuildWorld();
    CreateBitmapFont();
    for (unsigned vk : {unsigned(kVkUp), unsigned(kVkLeft), unsigned('W'), unsigned('I')})
        HandleKeyDown(vk);

    const long warmUp = 50;
    const size_t n = size_t(frames);
    std::vector<double> total(n), sim(n), draw(n), finish(n);
    unsigned long drawAllocs = 0, finishAllocs = 0;
    for (long i = -warmUp; i < frames; ++i) {
        Clock::time_point t0 = Clock::now();
        UpdateCarControls();
        UpdateFrameStats();
        StepSimulation();
        Clock::time_point t1 = Clock::now();
        AllocCounts a = ReadAllocCounts();
        RenderFrame();
        AllocCounts b = ReadAllocCounts();
        Clock::time_point t2 = Clock::now();
        glFinish();  // the software rasteriser works until here, as a buffer swap would wait
        AllocCounts c = ReadAllocCounts();
        Clock::time_point t3 = Clock::now();
        if (i < 0)
            continue;
        sim[size_t(i)] = Millis(t0, t1);
        draw[size_t(i)] = Millis(t1, t2);
        finish[size_t(i)] = Millis(t2, t3);
        total[size_t(i)] = Millis(t0, t3);
        drawAllocs += b.program - a.program;
        finishAllocs += c.program - b.program;
    }
    double sumTotal = 0, sumSim = 0, sumDraw = 0, sumFinish = 0;
    for (size_t i = 0; i < n; ++i) {
        sumTotal += total[i];
        sumSim += sim[i];
        sumDraw += draw[i];
        sumFinish += finish[i];
    }
    std::printf("rendered frame at 640 x 480 (OSMesa), %ld frames after %ld warm-up, three cars driving\n", frames, warmUp);
    std::printf("  per frame: median %.2f ms, p95 %.2f ms; medians: simulation %.3f ms, drawing calls %.2f ms, "
                "rasteriser finishing %.2f ms\n",
                Percentile(total, 0.5), Percentile(total, 0.95), Percentile(sim, 0.5), Percentile(draw, 0.5),
                Percentile(finish, 0.5));
    std::printf("  share of the time: simulation %.1f%%, drawing calls %.1f%%, rasteriser finishing %.1f%%\n",
                100 * sumSim / sumTotal, 100 * sumDraw / sumTotal, 100 * sumFinish / sumTotal);
    std::printf("  operator new per frame: in the drawing calls %.2f, while the rasteriser finishes %.2f\n",
                double(drawAllocs) / double(frames), double(finishAllocs) / double(frames));
    DeleteBitmapFont();
    DestroyWorld();
    EndOffscreenGl();
    return 0;
}
