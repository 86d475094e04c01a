#include "Join.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>

#include "app/Commands.h"
#include "app/Frame.h"
#include "net/SharedRun.h"
#include "FreshProcess.h"
#include "platform/Platform.h"
#include "sim/Simulation.h"
#include "sim/StateHash.h"

struct JoinedReplay {
    RelayAddress address;
    bool newRoom;            // the link named no room: say the one made
    KeyScript script;
    size_t nextCommand;      // the script's first command not sent yet
    long frames, every;
    bool hash;
    bool worldBuilt;
};
static JoinedReplay gJoin;

static void PrintJoinedTrace()
{
    char line[512];
    FormatCarsTrace(gSim.frame, line, sizeof line);
    std::printf("%s\n", line);
    if (gJoin.hash)
        std::printf("hash %ld %016" PRIx64 "\n", gSim.frame, HashWorldState());
    std::fflush(stdout);
}

static void EndJoinedReplay(int status)
{
    if (!gShared.ended.empty() && status && !gShared.logRead)  // once in the room, the shared run says it
        std::fprintf(stderr, "kelvaron-replay: left room %s at frame %ld: %s\n", gShared.room.c_str(), gSim.frame,
                     gShared.ended.c_str());
    LeaveSharedRun();
    if (gJoin.worldBuilt)
        EndScene();
    std::fflush(stdout);
    std::exit(status);
}

// One round: what the relay sent is in; the script's commands whose tick is near go out, and every
// confirmed frame runs.
static bool StepJoinedReplay()
{
    if (gJoin.newRoom && !gShared.room.empty()) {
        std::printf("room %s\n", MakeRoomLink(gJoin.address, gShared.room).c_str());
        std::fflush(stdout);
        gJoin.newRoom = false;
    }
    if (gShared.logRead && !gJoin.worldBuilt) {
        if (gShared.lastTick >= gJoin.frames)
            std::fprintf(stderr,
                         "kelvaron-replay: room %s is at tick %ld: --frames %ld counts from its first tick, so "
                         "only its history runs\n",
                         gShared.room.c_str(), gShared.lastTick, gJoin.frames);
        BuildRunWorld();
        StartSharedWorld();
        gJoin.worldBuilt = true;
    }
    const std::vector<Command>& commands = gJoin.script.commands;
    while (gJoin.worldBuilt && gJoin.nextCommand < commands.size() &&
           commands[gJoin.nextCommand].frame <= gShared.lastTick + gShared.delay)
        SendSeatCommand(commands[gJoin.nextCommand++]);
    while (IsNextFrameConfirmed() && gSim.frame < gJoin.frames) {
        RunFrame();
        NoteSharedFrame();
        if (gSim.frame % gJoin.every == 0 || gSim.frame == gJoin.frames)
            PrintJoinedTrace();
    }
    if (gJoin.worldBuilt && gSim.frame >= gJoin.frames)
        EndJoinedReplay(0);
    if (!gShared.ended.empty())
        EndJoinedReplay(1);
    return true;
}

int RunJoinedReplay(const char* link, const KeyScript& script, long frames, long every, bool hash)
{
    StartFreshProcess();
    HandleMinimised(true);
    gJoin = JoinedReplay{};
    std::string error;
    if (!ReadRoomLink(link, gJoin.address, error)) {
        std::fprintf(stderr, "kelvaron-replay: cannot join %s: %s\n", link, error.c_str());
        return 2;
    }
    gJoin.newRoom = gJoin.address.target == "/ws";
    gJoin.script = script;
    gJoin.frames = frames;
    gJoin.every = every;
    gJoin.hash = hash;
    if (!JoinSharedRun(gJoin.address, false, error)) {
        std::fprintf(stderr, "kelvaron-replay: cannot join %s: %s\n", link, error.c_str());
        return 1;
    }
    RunRelayLoop(StepJoinedReplay);
    return 0;
}
