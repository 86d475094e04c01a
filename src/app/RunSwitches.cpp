// The run about to start readied as its switches ask: a recording to play or keep, a room to join.
// The room is joined before any window, so that a link that leads nowhere is said first, but only
// watched until the window is up (RunUntilQuit takes the seat); or, by the page, once its first frame
// is on screen, seated at once.
#include <cstdio>

#include "record/Playback.h"
#include "net/SharedRun.h"
#include "platform/Platform.h"

constexpr double kJoinSeconds = 10;  // for the relay to let this machine in, its room's log and all

bool StartRunSwitches(const RunSwitches& switches, std::string& error)
{
    std::string why;
    if (!switches.play.empty() && !LoadPlayback(switches.play.c_str(), why)) {
        error = "cannot play " + why;
        return false;
    }
    if (!switches.record.empty())
        RecordRunInto(switches.record.c_str());
    if (switches.join.empty())
        return true;
    // A recording of a room keeps its whole run: the history is run, not taken from a seat's world.
    JoinByWholeLog(!switches.record.empty());
    RelayAddress address;
    if (!ReadRoomLink(switches.join, address, why) || !JoinSharedRun(address, !switches.windowOpen, why) || !WaitForRoom(kJoinSeconds, why)) {
        error = "cannot join " + switches.join + ": " + why;
        return false;
    }
    if (address.target != "/ws")
        return true;
    std::printf("kelvaron: a new room; give the others its link:\n");
    for (const std::string& host : switches.linkHosts.empty() ? std::vector<std::string>{address.host} : switches.linkHosts) {
        RelayAddress theirs = address;
        theirs.host = host;
        std::printf("  %s\n", MakeRoomLink(theirs, gShared.room).c_str());
    }
    std::fflush(stdout);
    return true;
}
