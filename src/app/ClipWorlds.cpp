#include "app/ClipWorlds.h"

#include <vector>

#include "physics/Bytes.h"
#include "record/Playback.h"
#include "sim/Simulation.h"
#include "sim/Snapshot.h"

constexpr long kClipFrames = 1800;  // a minute at the settings' default 30 frames a second
constexpr long kClipEvery = 30;
constexpr long kClipWorlds = kClipFrames / kClipEvery + 1;

struct KeptWorld {
    long frame;  // the world after it; -1: none kept here
    ByteWriter snapshot;
};

static KeptWorld gClipWorlds[kClipWorlds];  // by frame / kClipEvery, round the ring

void ForgetClipWorlds()
{
    for (KeptWorld& kept : gClipWorlds)
        kept.frame = -1;
}

void KeepClipWorld()
{
    if (gSim.frame % kClipEvery)
        return;
    KeptWorld& kept = gClipWorlds[gSim.frame / kClipEvery % kClipWorlds];
    SaveSnapshot(kept.snapshot);
    kept.frame = gSim.frame;
}

void KeepRunAsClip()
{
    const RecordingHeader run = DescribeRun(gSim.frame);
    const long since = gSim.frame - kClipFrames;
    const KeptWorld* first = nullptr;
    for (const KeptWorld& kept : gClipWorlds)
        if (kept.frame >= since && kept.frame <= gSim.frame && (!first || kept.frame < first->frame))
            first = &kept;
    // A run no longer than a minute since its start, or one under format 1's rules, which a clip's
    // format does not keep, is kept whole.
    if (since <= run.from || !first || run.format < kRecordingFormat) {
        KeepRunAsRecording(0, {});
        return;
    }
    const ByteWriter& world = first->snapshot;
    KeepRunAsRecording(first->frame, std::vector<uint8_t>(world.bytes.begin(), world.bytes.begin() + long(world.used)));
}
