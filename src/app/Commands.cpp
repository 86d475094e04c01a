#include "app/Commands.h"

#include <algorithm>

#include "app/Input.h"
#include "app/Playback.h"
#include "app/SharedRun.h"

long gFramesRun;
bool gQuitRequested;
static std::vector<Command> gQueue;     // waiting for their frame, in frame order
static std::vector<Command> gRecorded;  // applied, and kept for a recording

void StartCommands()
{
    gFramesRun = 0;
    gQuitRequested = false;
    gQueue.clear();
    gRecorded.clear();
}

void RestartCommandsAt(long frame)
{
    gFramesRun = frame;
    gQuitRequested = false;
    const auto isAfter = [frame](const Command& c) { return c.frame > frame; };
    gQueue.erase(gQueue.begin(), std::find_if(gQueue.begin(), gQueue.end(), isAfter));
    gRecorded.erase(std::find_if(gRecorded.begin(), gRecorded.end(), isAfter), gRecorded.end());
}

void QueueCommand(const Command& command)
{
    auto after = std::upper_bound(gQueue.begin(), gQueue.end(), command.frame,
                                  [](long frame, const Command& c) { return frame < c.frame; });
    gQueue.insert(after, command);
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

long NextCommandFrame()
{
    return gFramesRun + 1;
}

bool ApplyFrameCommands()
{
    const long frame = gFramesRun + 1;
    size_t due = 0;
    while (due < gQueue.size() && gQueue[due].frame <= frame)
        ++due;
    // Nothing of the frame a quit came for runs, its other commands neither.
    for (size_t i = 0; i < due; ++i)
        if (gQueue[i].kind == CommandKind::kQuit)
            RequestQuit();
    if (gQuitRequested)
        return false;
    for (size_t i = 0; i < due; ++i) {
        Command c = gQueue[i];
        c.frame = frame;  // one that came late acts now
        ApplyCommand(c);
        if (IsRecorded(c))
            gRecorded.push_back(c);
    }
    gQueue.erase(gQueue.begin(), gQueue.begin() + long(due));
    gFramesRun = frame;
    return true;
}

bool ApplyThisMachineCommands()
{
    const long frame = gFramesRun + 1;
    const auto isLocalAndDue = [frame](const Command& c) {
        return c.frame <= frame && kCommandTable[int(c.kind)].reach == CommandReach::kThisMachine;
    };
    for (const Command& c : gQueue)
        if (isLocalAndDue(c))
            ApplyCommand(c);
    gQueue.erase(std::remove_if(gQueue.begin(), gQueue.end(), isLocalAndDue), gQueue.end());
    return !gQuitRequested;
}

void RequestQuit()
{
    gQuitRequested = true;
}

const std::vector<Command>& ReadRecordedCommands()
{
    return gRecorded;
}
