#include "HashBench.h"

#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <vector>

#include "FreshProcess.h"
#include "Percentile.h"
#include "app/Frame.h"
#include "sim/StateHash.h"

int RunHashBench(long frames)
{
    StartAutopilotScene(5);  // the simulation alone, with every car driven and some bodies asleep
    std::vector<double> frameMicros(size_t(frames), 0.0), hashMicros(size_t(frames), 0.0);
    uint64_t all = 0;
    for (long i = 0; i < frames; ++i) {
        auto start = std::chrono::steady_clock::now();
        RunFrame();
        frameMicros[size_t(i)] = MicrosSince(start);
        start = std::chrono::steady_clock::now();
        all ^= HashWorldState();
        hashMicros[size_t(i)] = MicrosSince(start);
    }
    EndScene();
    std::printf("state hash after each of %ld autopilot frames: median %.2f us, p95 %.2f us; the frame itself: "
                "median %.1f us, p95 %.1f us (hashes folded: %016" PRIx64 ")\n",
                frames, Percentile(hashMicros, 0.5), Percentile(hashMicros, 0.95), Percentile(frameMicros, 0.5),
                Percentile(frameMicros, 0.95), all);
    return 0;
}
