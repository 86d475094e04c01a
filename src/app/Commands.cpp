#include "app/Commands.h"

#include <algorithm>
#include <limits>

#include "app/Input.h"
#include "record/Playback.h"
#include "net/SharedRun.h"
#include "sim/Snapshot.h"
#include "sim/World.h"

bool gQuitRequested;
static std::vector<Command> gMachineQueue;  // this machine's, waiting for their frame, in frame order

void StartCommands()
{
    gQuitRequested = false;
    gMachineQueue.clear();
}

void QueueCommand(const Command& command)
{
    if (kCommandTable[int(command.kind)].reach != CommandReach::kThisMachine) {
        QueueWorldCommand(command);
        return;
    }
    auto after = std::upper_bound(gMachineQueue.begin(), gMachineQueue.end(), command.frame,
                                  [](long frame, const Command& c) { return frame < c.frame; });
    gMachineQueue.insert(after, command);
}

void QueuePlayedCommands(long after, long upTo)
{
    for (const Command& c : ReadPlayedCommands())
        if (c.frame > after && c.frame <= upTo)
            QueueCommand(c);
}

bool StartRunPlayback(uint32_t freshSeed, std::string& why)
{
    QueuePlayedCommands(0, std::numeric_limits<long>::max());
    StartPlayback();
    StartAutopilot(ChooseAutopilotSeed(freshSeed));
    const std::vector<uint8_t>& clip = ReadPlayedSnapshot();
    if (clip.empty() || RestoreSnapshot(clip.data(), clip.size(), why))
        return true;
    why = "the clip's world could not be restored: " + why;
    return false;
}

void QueueLiveCommand(Command command)
{
    const CommandReach reach = kCommandTable[int(command.kind)].reach;
    if (gShared.joined && reach != CommandReach::kThisMachine) {
        // The shared world changes only by the relay's ticks, and pausing it is no one's to do.
        command.frame = NextCommandFrame();
        if (reach == CommandReach::kSharedWorld)
            SendSeatCommand(command);
        return;
    }
    if (IsPlaybackDriving() && reach != CommandReach::kThisMachine)
        return;
    command.frame = NextCommandFrame();
    QueueCommand(command);
}

bool ApplyMachineCommands()
{
    const long frame = NextCommandFrame();
    size_t due = 0;
    while (due < gMachineQueue.size() && gMachineQueue[due].frame <= frame)
        ++due;
    // Nothing of the frame a quit came for runs, its other commands neither.
    for (size_t i = 0; i < due; ++i)
        if (gMachineQueue[i].kind == CommandKind::kQuit)
            RequestQuit();
    if (gQuitRequested)
        return false;
    for (size_t i = 0; i < due; ++i)
        ApplyMachineCommand(gMachineQueue[i]);
    gMachineQueue.erase(gMachineQueue.begin(), gMachineQueue.begin() + long(due));
    return true;
}

void RequestQuit()
{
    gQuitRequested = true;
}
