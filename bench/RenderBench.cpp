#include "RenderBench.h"

#include <chrono>
#include <cstdio>
#include <initializer_list>
#include <vector>

#include "AllocCount.h"
#include "DrawnRun.h"
#include "Percentile.h"
#include "app/Frame.h"
#include "app/Input.h"
#include "gl/Gl.h"
#include "platform/Platform.h"

using Clock = std::chrono::steady_clock;

constexpr long kWarmUpFrames = 50;

static double Millis(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double, std::milli>(b - a).count();
}

struct FrameTimes {
    std::vector<double> frame, finish, total;
    unsigned long frameAllocs = 0, finishAllocs = 0;
};

// The run as the programs start it, in the null backend's offscreen window at 640 x 480, with
// three cars driving; drawn or, with draw false, the same frames as a minimised window runs them.
static FrameTimes MeasureFrames(long frames, bool draw)
{
    FrameTimes t;
    if (!StartDrawnRun(640, 480))
        return t;
    HandleMinimised(!draw);
    for (unsigned vk : {unsigned(kVkUp), unsigned(kVkLeft), unsigned('W'), unsigned('I')})
        HandleKeyDown(vk);
    for (long i = -kWarmUpFrames; i < frames; ++i) {
        Clock::time_point t0 = Clock::now();
        AllocCounts a = ReadAllocCounts();
        RunFrame();
        AllocCounts b = ReadAllocCounts();
        Clock::time_point t1 = Clock::now();
        glFinish();  // the software rasteriser works until here, as a buffer swap would wait
        AllocCounts c = ReadAllocCounts();
        Clock::time_point t2 = Clock::now();
        if (i < 0)
            continue;
        t.frame.push_back(Millis(t0, t1));
        t.finish.push_back(Millis(t1, t2));
        t.total.push_back(Millis(t0, t2));
        t.frameAllocs += b.program - a.program;
        t.finishAllocs += c.program - b.program;
    }
    EndDrawnRun();
    return t;
}

static double Sum(const std::vector<double>& v)
{
    double s = 0;
    for (double x : v)
        s += x;
    return s;
}

int RunRenderBench(long frames)
{
    FrameTimes drawn = MeasureFrames(frames, true);
    FrameTimes simulated = MeasureFrames(frames, false);
    if (drawn.total.empty() || simulated.total.empty()) {
        std::fprintf(stderr, "kelvaron-replay: no offscreen GL context\n");
        return 1;
    }
    // The same key presses give the same physics, so the undrawn run's frames cost what the
    // simulation costs in the drawn one.
    double total = Sum(drawn.total), sim = Sum(simulated.frame);
    double draw = Sum(drawn.frame) - sim, finish = Sum(drawn.finish);
    std::printf("rendered frame at 640 x 480 (OSMesa), %ld frames after %ld warm-up, three cars driving\n", frames,
                kWarmUpFrames);
    std::printf("  per frame: median %.2f ms, p95 %.2f ms; medians: RunFrame %.2f ms (of it the simulation %.3f ms), "
                "rasteriser finishing %.2f ms\n",
                Percentile(drawn.total, 0.5), Percentile(drawn.total, 0.95), Percentile(drawn.frame, 0.5),
                Percentile(simulated.frame, 0.5), Percentile(drawn.finish, 0.5));
    std::printf("  share of the time: simulation %.1f%%, drawing calls %.1f%%, rasteriser finishing %.1f%%\n",
                100 * sim / total, 100 * draw / total, 100 * finish / total);
    std::printf("  operator new per frame: in RunFrame %.2f (undrawn %.2f), while the rasteriser finishes %.2f\n",
                double(drawn.frameAllocs) / double(frames), double(simulated.frameAllocs) / double(frames),
                double(drawn.finishAllocs) / double(frames));
    return 0;
}
