#include "SyncTest.h"

#include <cinttypes>
#include <cstdio>
#include <string>
#include <vector>

#include "app/Commands.h"
#include "app/Frame.h"
#include "physics/Bytes.h"
#include "sim/Snapshot.h"
#include "sim/StateHash.h"

static size_t FindFirstDifference(const ByteWriter& a, const ByteWriter& b)
{
    size_t i = 0;
    while (i < a.used && i < b.used && a.bytes[i] == b.bytes[i])
        ++i;
    return i;
}

int RunSyncTest(long first, long last, long rollback)
{
    // The last rollback + 1 frames' snapshots and hashes, by frame modulo their number.
    const long kept = rollback + 1;
    std::vector<ByteWriter> saved(size_t(kept), ByteWriter{});
    std::vector<uint64_t> hashes(static_cast<size_t>(kept));
    ByteWriter again{};
    SaveSnapshot(saved[size_t(first % kept)]);
    for (long frame = first + 1; frame <= last; ++frame) {
        RunFrame();
        hashes[size_t(frame % kept)] = HashWorldState();
        SaveSnapshot(saved[size_t(frame % kept)]);
        const long from = frame - rollback;
        if (from < first)
            continue;
        const ByteWriter& back = saved[size_t(from % kept)];
        std::string why;
        if (!RestoreSnapshot(back.bytes.data(), back.used, why)) {
            std::printf("synctest: the snapshot of frame %ld was not restored: %s\n", from, why.c_str());
            return 1;
        }
        QueuePlayedCommands(from, frame);
        for (long f = from + 1; f <= frame; ++f) {
            RunFrame();
            const uint64_t hash = HashWorldState();
            if (hash != hashes[size_t(f % kept)]) {
                std::printf("synctest: frame %ld differs when run again from frame %ld: state hash %016" PRIx64
                            ", and %016" PRIx64 " the first time\n",
                            f, from, hash, hashes[size_t(f % kept)]);
                return 1;
            }
        }
        SaveSnapshot(again);
        const ByteWriter& once = saved[size_t(frame % kept)];
        const size_t at = FindFirstDifference(again, once);
        if (at < once.used || again.used != once.used) {
            std::printf("synctest: frame %ld differs when run again from frame %ld: its snapshot, from byte %lu\n",
                        frame, from, (unsigned long)at);
            return 1;
        }
    }
    std::printf("synctest: %ld frames, rolled back %ld at every frame, no difference\n", last - first, rollback);
    return 0;
}
