// Replays a key script or recording through the programs' own frame, not drawn, and prints the cars' states (a
// golden trace) and, with --hash, the whole state's hash after each traced frame; or, with --bench or
// --render, measures the cost of a frame.
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "AllocCount.h"
#include "FrameBench.h"
#include "FreshProcess.h"
#include "HashBench.h"
#include "Join.h"
#include "RenderBench.h"
#include "Soak.h"
#include "app/Autopilot.h"
#include "app/Frame.h"
#include "app/KeyScript.h"
#include "app/Playback.h"
#include "app/Settings.h"
#include "app/StateHash.h"
#include "platform/Platform.h"

static void PrintTrace(long frame, bool hash)
{
    char line[512];
    FormatCarsTrace(frame, line, sizeof line);
    std::printf("%s\n", line);
    if (hash)
        std::printf("hash %ld %016" PRIx64 "\n", frame, HashWorldState());
}

// The script's commands, and with a seed or a recording's header the autopilot, drive the cars that
// the script leaves alone.
static int Replay(long frames, long every, const KeyScript& script, uint32_t autopilotSeed, bool hash)
{
    StartScene();
    if (autopilotSeed)
        SwitchAutopilot(true);
    PlayKeyScript(script, "the script");
    StartPlayback();
    StartAutopilot(ChooseAutopilotSeed(autopilotSeed));
    PrintTrace(0, hash);
    for (long f = 1; f <= frames; ++f) {
        RunFrame();
        if (f % every == 0 || f == frames)
            PrintTrace(f, hash);
    }
    EndScene();
    return 0;
}

static bool ReadCount(const char* text, long& value)
{
    char* end;
    value = std::strtol(text, &end, 10);
    return *text && !*end && value > 0;
}

static int Usage(const char* why)
{
    std::fprintf(stderr,
                 "kelvaron-replay: %s\n"
                 "usage: kelvaron-replay [--frames N] [--every K] [--script FILE] [--autopilot SEED] [--hash]\n"
                 "       kelvaron-replay --bench [--frames N]\n"
                 "       kelvaron-replay --bench-hash [--frames N]\n"
                 "       kelvaron-replay --render [--frames N]\n"
                 "       kelvaron-replay --soak [--frames N] [--seed S] [--record FILE]\n"
                 "       kelvaron-replay --join LINK [--script FILE] [--frames N] [--every K] [--hash]\n"
                 "Traces frame 0, every K-th frame and the last; --hash adds 'hash FRAME HEX' after each\n"
                 "traced frame, the whole simulation state's 64-bit hash, the same on every build.\n"
                 "A recording (kelvaron --record) plays with its own autopilot, to its own last frame\n"
                 "unless --frames says otherwise.\n"
                 "--join takes a seat in a room (http://HOST:PORT/?room=CODE), or a new room at a relay\n"
                 "(http://HOST:PORT/, printing 'room LINK' first), drives it from the script, and\n"
                 "traces the shared world's frames, counted from the room's first tick, to the Nth:\n"
                 "in a room past tick N it runs only the room's history, and says so. Once the room's\n"
                 "three cars have their people it only watches, its script driving nothing.\n",
                 why);
    return 2;
}

int main(int argc, char** argv)
{
    long frames = 600, every = 50, seed = 1, autopilotSeed = 0;
    const char* script = nullptr;
    const char* record = nullptr;
    const char* join = nullptr;
    bool bench = false, benchHash = false, render = false, soak = false, hash = false, framesGiven = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (!std::strcmp(arg, "--bench")) {
            bench = true;
        } else if (!std::strcmp(arg, "--bench-hash")) {
            benchHash = true;
        } else if (!std::strcmp(arg, "--hash")) {
            hash = true;
        } else if (!std::strcmp(arg, "--render")) {
            render = true;
        } else if (!std::strcmp(arg, "--autopilot") && hasValue) {
            if (!ReadCount(argv[++i], autopilotSeed))
                return Usage("--autopilot takes a seed, a whole number above 0");
        } else if (!std::strcmp(arg, "--soak")) {
            soak = true;
        } else if (!std::strcmp(arg, "--seed") && hasValue) {
            if (!ReadCount(argv[++i], seed))
                return Usage("--seed takes a whole number above 0");
        } else if (!std::strcmp(arg, "--frames") && hasValue) {
            if (!ReadCount(argv[++i], frames))
                return Usage("--frames takes a whole number above 0");
            framesGiven = true;
        } else if (!std::strcmp(arg, "--every") && hasValue) {
            if (!ReadCount(argv[++i], every))
                return Usage("--every takes a whole number above 0");
        } else if (!std::strcmp(arg, "--script") && hasValue) {
            script = argv[++i];
        } else if (!std::strcmp(arg, "--join") && hasValue) {
            join = argv[++i];
        } else if (!std::strcmp(arg, "--record") && hasValue) {
            record = argv[++i];
        } else {
            return Usage((std::string("unknown or incomplete option ") + arg).c_str());
        }
    }
    StartCountingOdeAllocations();
    if (bench)
        return RunFrameBench(frames);
    if (benchHash)
        return RunHashBench(frames);
    if (render)
        return RunRenderBench(frames);
    if (soak)
        return RunSoak(frames, unsigned(seed), record);

    KeyScript keyScript;
    if (script) {
        std::FILE* file = std::fopen(script, "r");
        if (!file) {
            std::fprintf(stderr, "kelvaron-replay: cannot open %s: %s\n", script, std::strerror(errno));
            return 2;
        }
        std::string error;
        bool ok = ReadKeyScript(file, keyScript, error);
        std::fclose(file);
        if (!ok) {
            std::fprintf(stderr, "kelvaron-replay: %s: %s\n", script, error.c_str());
            return 2;
        }
        if (keyScript.recorded && autopilotSeed) {
            std::fprintf(stderr, "kelvaron-replay: %s is a recording, which names its own autopilot: --autopilot "
                                 "does not go with it\n", script);
            return 2;
        }
        if (keyScript.recorded && !framesGiven)
            frames = keyScript.header.frames;
    }
    if (join)
        return RunJoinedReplay(join, keyScript, frames, every, hash);
    return Replay(frames, every, keyScript, uint32_t(autopilotSeed), hash);
}
