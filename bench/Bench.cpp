// kelvaron-bench: measures the cost of the programs' own frame, not drawn or drawn offscreen, of the
// state hash and of snapshots, and soaks the simulation in random driving.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "AllocCount.h"
#include "FrameBench.h"
#include "HashBench.h"
#include "RenderBench.h"
#include "SnapshotBench.h"
#include "Soak.h"

static bool ReadCount(const char* text, long& value)
{
    char* end;
    value = std::strtol(text, &end, 10);
    return *text && !*end && value > 0;
}

static int Usage(const char* why)
{
    std::fprintf(stderr,
                 "kelvaron-bench: %s\n"
                 "usage: kelvaron-bench --bench [--frames N]\n"
                 "       kelvaron-bench --bench-hash [--frames N]\n"
                 "       kelvaron-bench --bench-snapshot [--frames N]\n"
                 "       kelvaron-bench --render [--frames N]\n"
                 "       kelvaron-bench --soak [--frames N] [--seed S] [--record FILE]\n"
                 "Each prints its figures, medians and p95 over the frames.\n",
                 why);
    return 2;
}

int main(int argc, char** argv)
{
    long frames = 600, seed = 1;
    const char* record = nullptr;
    const char* mode = nullptr;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (!std::strcmp(arg, "--bench") || !std::strcmp(arg, "--bench-hash") || !std::strcmp(arg, "--bench-snapshot") ||
            !std::strcmp(arg, "--render") || !std::strcmp(arg, "--soak")) {
            mode = arg;
        } else if (!std::strcmp(arg, "--frames") && hasValue) {
            if (!ReadCount(argv[++i], frames))
                return Usage("--frames takes a whole number above 0");
        } else if (!std::strcmp(arg, "--seed") && hasValue) {
            if (!ReadCount(argv[++i], seed))
                return Usage("--seed takes a whole number above 0");
        } else if (!std::strcmp(arg, "--record") && hasValue) {
            record = argv[++i];
        } else {
            return Usage((std::string("unknown or incomplete option ") + arg).c_str());
        }
    }
    if (!mode)
        return Usage("which figures? --bench, --bench-hash, --bench-snapshot, --render or --soak");
    StartCountingOdeAllocations();
    if (!std::strcmp(mode, "--bench"))
        return RunFrameBench(frames);
    if (!std::strcmp(mode, "--bench-hash"))
        return RunHashBench(frames);
    if (!std::strcmp(mode, "--bench-snapshot"))
        return RunSnapshotBench(frames);
    if (!std::strcmp(mode, "--render"))
        return RunRenderBench(frames);
    return RunSoak(frames, unsigned(seed), record);
}
