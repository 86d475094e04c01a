#include "SnapshotBench.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "FreshProcess.h"
#include "Percentile.h"
#include "app/Frame.h"
#include "physics/Bytes.h"
#include "sim/Snapshot.h"

constexpr long kRollbackFrames = 8;

int RunSnapshotBench(long frames)
{
    StartAutopilotScene(5);  // the simulation alone, with every car driven and some bodies asleep
    std::vector<ByteWriter> saved(kRollbackFrames + 1, ByteWriter{});
    std::vector<double> saveMicros, restoreMicros, rollbackMicros;
    std::string why;
    size_t size = 0;
    for (long frame = 1; frame <= frames; ++frame) {
        RunFrame();
        ByteWriter& now = saved[size_t(frame % (kRollbackFrames + 1))];
        auto start = std::chrono::steady_clock::now();
        SaveSnapshot(now);
        size = now.used;
        saveMicros.push_back(MicrosSince(start));
        start = std::chrono::steady_clock::now();
        bool restored = RestoreSnapshot(now.bytes.data(), now.used, why);
        restoreMicros.push_back(MicrosSince(start));
        if (frame > kRollbackFrames && restored) {
            const ByteWriter& back = saved[size_t((frame - kRollbackFrames) % (kRollbackFrames + 1))];
            start = std::chrono::steady_clock::now();
            restored = RestoreSnapshot(back.bytes.data(), back.used, why);
            for (long f = 0; f < kRollbackFrames; ++f)
                RunFrame();
            rollbackMicros.push_back(MicrosSince(start));
        }
        if (!restored) {
            std::printf("snapshot bench: frame %ld's snapshot was not restored: %s\n", frame, why.c_str());
            return 1;
        }
    }
    EndScene();
    std::printf("snapshot: %lu bytes; over %ld autopilot frames: save median %.2f us, p95 %.2f us; restore median "
                "%.2f us, p95 %.2f us; rollback of %ld frames (restore and %ld frames) median %.3f ms, p95 %.3f ms\n",
                (unsigned long)size, frames, Percentile(saveMicros, 0.5), Percentile(saveMicros, 0.95),
                Percentile(restoreMicros, 0.5), Percentile(restoreMicros, 0.95), kRollbackFrames, kRollbackFrames,
                Percentile(rollbackMicros, 0.5) / 1000, Percentile(rollbackMicros, 0.95) / 1000);
    return 0;
}
