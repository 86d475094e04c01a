#include "Join.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/Commands.h"
#include "app/Frame.h"
#include "net/SharedRun.h"
#include "FreshProcess.h"
#include "platform/Platform.h"
#include "sim/Simulation.h"

struct JoinedReplay {
    RelayAddress address;
    bool newRoom;            // the link named no room: say the one made
    KeyScript script;
    size_t nextCommand;      // the script's first command not sent yet
    long frames, every;
    long printed;            // the last frame whose trace is out, or would be
    bool hash;
    bool live;
    bool worldBuilt;
    std::chrono::steady_clock::time_point start;  // when it set out to join, by the real clock: the
                                                  // null backend's stands still
    bool caughtUp;           // ...and has run the room's world up to its last tick, and said when
};
static JoinedReplay gJoin;
constexpr uint32_t kStepWaitMs = 50;  // RunRelayLoop's wait between steps when nothing comes

// The confirmed frames not printed yet: every --every-th and the last, as the room has them.
static void PrintConfirmedTraces()
{
    for (long f = gJoin.printed + 1; f <= std::min(gShared.confirmed, gJoin.frames); ++f) {
        if (f % gJoin.every != 0 && f != gJoin.frames)
            continue;
        const std::string& trace = ReadSharedTrace(f);
        std::fputs((gJoin.hash ? trace : trace.substr(0, trace.find('\n') + 1)).c_str(), stdout);
    }
    gJoin.printed = std::max(gJoin.printed, std::min(gShared.confirmed, gJoin.frames));
    std::fflush(stdout);
}

static void EndJoinedReplay(int status)
{
    if (!gShared.ended.empty() && status && !gShared.logRead)  // once in the room, the shared run says it
        std::fprintf(stderr, "kelvaron-replay: left room %s at frame %ld: %s\n", gShared.room.c_str(), gSim.frame,
                     gShared.ended.c_str());
    if (gShared.ended.empty() && !DescribeRollbacks().empty())  // a room that ended has said them
        std::fprintf(stderr, "kelvaron-replay: room %s: %s\n", gShared.room.c_str(), DescribeRollbacks().c_str());
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
    // Joining the room again paces its tries by the clock, which here stands still: meanwhile it moves
    // by the loop's wait between steps.
    if (gShared.rejoining)
        WaitForEvents(kStepWaitMs);
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
    // Each of the script's commands goes out once its tick is near: in a room that rolls back, or live,
    // just before its frame runs here, as a person's key would; in one with a delay, as soon as that
    // delay would stamp it for its frame, as only a script known ahead allows. None while a world given
    // was refused and the room's is on its way.
    const std::vector<Command>& commands = gJoin.script.commands;
    const auto sendDue = [&] {
        const long reach =
            gShared.delay == kRollback || gJoin.live ? gSim.frame + 1 : gShared.lastTick + gShared.delay;
        while (gJoin.worldBuilt && gShared.logRead && gJoin.nextCommand < commands.size() &&
               commands[gJoin.nextCommand].frame <= reach)
            SendSeatCommand(commands[gJoin.nextCommand++]);
    };
    PrintConfirmedTraces();
    CorrectSharedWorld();
    PrintConfirmedTraces();
    sendDue();
    while (gShared.confirmed < gJoin.frames && CountDueFrames() > 0) {
        QueueSharedFrame();
        RunFrame();
        NoteSharedFrame();
        PrintConfirmedTraces();
        sendDue();
    }
    if (!gJoin.caughtUp && gJoin.worldBuilt && gShared.logRead && gSim.frame >= gShared.lastTick) {
        gJoin.caughtUp = true;
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - gJoin.start);
        std::fprintf(stderr, "kelvaron-replay: room %s: caught up with tick %ld %ld ms after setting out\n",
                     gShared.room.c_str(), gShared.lastTick, long(ms.count()));
    }
    if (gJoin.worldBuilt && gShared.confirmed >= gJoin.frames)
        EndJoinedReplay(0);
    if (!gShared.ended.empty())
        EndJoinedReplay(1);
    return true;
}

int RunJoinedReplay(const char* link, const KeyScript& script, long frames, long every, bool hash, int delay,
                    bool live)
{
    StartFreshProcess();
    HandleMinimised(true);
    gJoin = JoinedReplay{};
    gJoin.start = std::chrono::steady_clock::now();
    std::string error;
    if (!ReadRoomLink(link, gJoin.address, error)) {
        std::fprintf(stderr, "kelvaron-replay: cannot join %s: %s\n", link, error.c_str());
        return 2;
    }
    gJoin.newRoom = gJoin.address.target == kRoomsPath;
    if (delay && !gJoin.newRoom) {
        std::fprintf(stderr, "kelvaron-replay: --delay opens a new room: it goes with a relay's link, not %s\n", link);
        return 2;
    }
    if (delay)
        gJoin.address.target += std::string("?") + kDelayKey + "=" + std::to_string(delay);
    gJoin.script = script;
    gJoin.frames = frames;
    gJoin.every = every;
    gJoin.hash = hash;
    gJoin.live = live;
    if (!JoinSharedRun(gJoin.address, false, error)) {
        std::fprintf(stderr, "kelvaron-replay: cannot join %s: %s\n", link, error.c_str());
        return 1;
    }
    RunRelayLoop(StepJoinedReplay);
    return 0;
}
