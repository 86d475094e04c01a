// kelvaron-replay: plays a key script or recording through the programs' own frame, not drawn, and
// prints the cars' states (a golden trace) and, with --hash, the whole state's hash after each traced
// frame; saves the world as a snapshot and goes on from one; runs the sync test; takes a seat in a
// room of a relay.
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "FreshProcess.h"
#include "Join.h"
#include "SnapshotFile.h"
#include "SyncTest.h"
#include "app/Commands.h"
#include "app/Frame.h"
#include "net/JoinSnapshot.h"
#include "net/Protocol.h"
#include "net/SharedRun.h"
#include "record/KeyScript.h"
#include "record/Playback.h"
#include "platform/Platform.h"
#include "sim/Autopilot.h"
#include "sim/Simulation.h"
#include "sim/Snapshot.h"
#include "sim/StateHash.h"

static void PrintTrace(long frame, bool hash)
{
    char line[512];
    FormatCarsTrace(frame, line, sizeof line);
    std::printf("%s\n", line);
    if (hash)
        std::printf("hash %ld %016" PRIx64 "\n", frame, HashWorldState());
}

// What the command line asks of a replay.
struct ReplayRequest {
    long frames = 600;
    long every = 50;
    uint32_t autopilotSeed = 0;
    bool hash = false;
    long saveFrame = -1;               // --save-snapshot: after this frame, the world into savePath
    const char* savePath = nullptr;
    const char* fromPath = nullptr;    // --from-snapshot: the run goes on from this world
    long rollback = 0;                 // --synctest: frames wound back at every frame
};

// Restores the world of request.fromPath; false after saying why.
static bool StartFromSnapshot(const ReplayRequest& request)
{
    std::vector<uint8_t> bytes;
    std::string why;
    if (!ReadSnapshotFile(request.fromPath, bytes, why) || !RestoreSnapshot(bytes.data(), bytes.size(), why)) {
        std::fprintf(stderr, "kelvaron-replay: %s: %s\n", request.fromPath, why.c_str());
        return false;
    }
    return true;
}

// The script's commands, and with a seed or a recording's header the autopilot, drive the cars that
// the script leaves alone; from the world as built or from a snapshot's.
static int Replay(const ReplayRequest& request, const KeyScript& script)
{
    StartScene();
    if (request.autopilotSeed)
        SwitchAutopilot(true);
    PlayKeyScript(script, "the script");
    std::string why;
    if (!StartRunPlayback(request.autopilotSeed, why)) {
        std::fprintf(stderr, "kelvaron-replay: %s\n", why.c_str());
        return 2;
    }
    if (request.fromPath && !StartFromSnapshot(request))
        return 2;
    const long first = gSim.frame;
    if (first >= request.frames || (request.saveFrame >= 0 && request.saveFrame < first)) {
        std::fprintf(stderr, "kelvaron-replay: the snapshot is of frame %ld, and %s\n", first,
                     first >= request.frames ? "--frames leaves nothing to run after it"
                                             : "--save-snapshot asks for an earlier frame");
        return 2;
    }
    if (request.rollback) {
        const int status = RunSyncTest(first, request.frames, request.rollback);
        EndScene();
        return status;
    }
    if (!request.fromPath && first == 0)
        PrintTrace(0, request.hash);
    for (long f = first; f <= request.frames; ++f) {
        if (f > first) {
            RunFrame();
            if (f % request.every == 0 || f == request.frames)
                PrintTrace(f, request.hash);
        }
        if (f == request.saveFrame && !WriteSnapshotFile(request.savePath, why)) {
            std::fprintf(stderr, "kelvaron-replay: could not save the snapshot to %s: %s\n", request.savePath,
                         why.c_str());
            return 1;
        }
    }
    EndScene();
    return 0;
}

static bool ReadCount(const char* text, long& value, long least = 1)
{
    char* end;
    value = std::strtol(text, &end, 10);
    return *text && !*end && value >= least;
}

static int Usage(const char* why)
{
    std::fprintf(stderr,
                 "kelvaron-replay: %s\n"
                 "usage: kelvaron-replay [--frames N] [--every K] [--script FILE] [--autopilot SEED] [--hash]\n"
                 "                       [--save-snapshot FRAME FILE] [--from-snapshot FILE] [--synctest N]\n"
                 "       kelvaron-replay --join LINK [--delay D] [--live] [--whole-log] [--script FILE]\n"
                 "                       [--frames N] [--every K] [--hash]\n"
                 "Traces frame 0, every K-th frame and the last; --hash adds 'hash FRAME HEX' after each\n"
                 "traced frame, the whole simulation state's 64-bit hash, the same on every build.\n"
                 "A recording (kelvaron --record) plays with its own autopilot, to its own last frame\n"
                 "unless --frames says otherwise; a clip (Shift+F12) from the world it holds, tracing\n"
                 "only the frames after it.\n"
                 "--save-snapshot writes the world after FRAME (0: as built) to FILE; --from-snapshot\n"
                 "goes on from such a world, --frames still counting from the run's start, and traces\n"
                 "only the frames after the snapshot's. --synctest saves the world at every frame, runs\n"
                 "N frames, winds back, runs them again and compares the state hashes; it names the\n"
                 "first frame that differs and gives status 1, or says there was no difference.\n"
                 "--join takes a seat in a room (http://HOST:PORT/?room=CODE), or a new room at a relay\n"
                 "(http://HOST:PORT/, printing 'room LINK' first), drives it from the script, and\n"
                 "traces the shared world's frames, counted from the room's first tick, to the Nth:\n"
                 "in a room past tick N it runs only the room's history, and says so. Once the room's\n"
                 "three cars have their people it only watches, its script driving nothing. A new room\n"
                 "rolls back; with --delay D (3 to 6) it waits out an input delay of at least D ticks.\n"
                 "--live sends each command as its frame comes, as if typed then, not ahead of time as\n"
                 "a script known in advance allows: the room's log then shows the seat's input delay.\n"
                 "A room under way is joined from a seat's world of a recent tick, tracing the frames\n"
                 "after it; --whole-log runs the room's whole log instead, tracing its history too.\n",
                 why);
    return 2;
}

int main(int argc, char** argv)
{
    ReplayRequest request;
    long autopilotSeed = 0;
    const char* script = nullptr;
    const char* join = nullptr;
    long delay = 0;
    bool live = false;
    bool framesGiven = false;
    bool wholeLog = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (!std::strcmp(arg, "--hash")) {
            request.hash = true;
        } else if (!std::strcmp(arg, "--live")) {
            live = true;
        } else if (!std::strcmp(arg, "--autopilot") && hasValue) {
            if (!ReadCount(argv[++i], autopilotSeed))
                return Usage("--autopilot takes a seed, a whole number above 0");
        } else if (!std::strcmp(arg, "--frames") && hasValue) {
            if (!ReadCount(argv[++i], request.frames))
                return Usage("--frames takes a whole number above 0");
            framesGiven = true;
        } else if (!std::strcmp(arg, "--every") && hasValue) {
            if (!ReadCount(argv[++i], request.every))
                return Usage("--every takes a whole number above 0");
        } else if (!std::strcmp(arg, "--save-snapshot") && i + 2 < argc) {
            if (!ReadCount(argv[++i], request.saveFrame, 0))
                return Usage("--save-snapshot takes a frame, a whole number from 0, and a file");
            request.savePath = argv[++i];
        } else if (!std::strcmp(arg, "--from-snapshot") && hasValue) {
            request.fromPath = argv[++i];
        } else if (!std::strcmp(arg, "--synctest") && hasValue) {
            if (!ReadCount(argv[++i], request.rollback))
                return Usage("--synctest takes the frames to wind back, a whole number above 0");
        } else if (!std::strcmp(arg, "--script") && hasValue) {
            script = argv[++i];
        } else if (!std::strcmp(arg, "--delay") && hasValue) {
            if (!ReadCount(argv[++i], delay, kMinDelay) || delay > kMaxDelay)
                return Usage("--delay takes the ticks of a new room's input delay, 3 to 6");
        } else if (!std::strcmp(arg, "--join") && hasValue) {
            join = argv[++i];
        } else if (!std::strcmp(arg, "--whole-log")) {
            wholeLog = true;
        } else if (!std::strcmp(arg, "--test-spoil-offers")) {  // tests only: a seat whose world given is wrong
            SpoilOffers();
        } else {
            return Usage((std::string("unknown or incomplete option ") + arg).c_str());
        }
    }
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
            request.frames = keyScript.header.frames;
        if (!CheckClip(keyScript.header, error)) {
            std::fprintf(stderr, "kelvaron-replay: %s: %s\n", script, error.c_str());
            return 2;
        }
    }
    if (!keyScript.header.snapshot.empty() && (join || request.fromPath))
        return Usage("a clip starts from its own world: --join and --from-snapshot do not go with it");
    if (request.saveFrame > request.frames)
        return Usage("--save-snapshot asks for a frame after the last one run");
    if (join && (request.fromPath || request.savePath || request.rollback))
        return Usage("--join does not go with snapshots or --synctest");
    if ((delay || live || wholeLog) && !join)
        return Usage("--delay, --live and --whole-log go with --join");
    JoinByWholeLog(wholeLog);
    if (join)
        return RunJoinedReplay(join, keyScript, request.frames, request.every, request.hash, int(delay), live);
    request.autopilotSeed = uint32_t(autopilotSeed);
    return Replay(request, keyScript);
}
