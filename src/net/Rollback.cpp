#include "net/Rollback.h"

#include <algorithm>

static bool IsSameCommand(const Command& a, const Command& b)
{
    return a.kind == b.kind && a.car == b.car && a.key == b.key && a.down == b.down && a.source == b.source;
}

static bool AreSameCommands(const std::vector<Command>& a, const std::vector<Command>& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), IsSameCommand);
}

void StartRollback(RollbackRun& run, long frame)
{
    run.confirmed = frame;
    run.wrong = false;
    run.arrived.clear();
    run.own.clear();
    for (RanFrame& r : run.ran)
        r.frame = -1;
    run.rollbacks = run.deepest = run.waits = 0;
}

void NoteOwnCommand(RollbackRun& run, const Command& command)
{
    run.own.push_back(command);
}

static void ConfirmFrames(RollbackRun& run, long upTo)
{
    run.confirmed = std::max(run.confirmed, upTo);
    while (!run.arrived.empty() && run.arrived.front().frame <= run.confirmed)
        run.arrived.pop_front();
}

void TakeRolledTick(RollbackRun& run, long tick, const std::vector<Command>& commands, int seat, long worldFrame)
{
    for (const Command& c : commands) {
        if (c.car != seat || c.kind == CommandKind::kAutopilot)
            continue;
        // The relay keeps a seat's commands in order: the first like it is the one sent.
        auto sent = std::find_if(run.own.begin(), run.own.end(), [&](const Command& o) { return IsSameCommand(o, c); });
        if (sent != run.own.end())
            run.own.erase(sent);
    }
    run.arrived.insert(run.arrived.end(), commands.begin(), commands.end());
    if (tick > worldFrame || run.wrong)
        return;
    const RanFrame& r = run.ran[tick % kFramesKept];
    if (r.frame == tick && run.confirmed == tick - 1 && AreSameCommands(r.commands, commands))
        ConfirmFrames(run, tick);
    else
        run.wrong = true;
}

std::vector<Command> FindFrameCommands(const RollbackRun& run, long frame, long lastTick)
{
    std::vector<Command> due;
    if (frame <= lastTick) {
        for (const Command& c : run.arrived)
            if (c.frame == frame)
                due.push_back(c);
        return due;
    }
    // A command the relay has not sent back by its tick was late and comes in a later one: the next
    // frame it may still be in.
    for (const Command& c : run.own)
        if (std::max(c.frame, lastTick + 1) == frame) {
            due.push_back(c);
            due.back().frame = frame;
        }
    return due;
}

void NoteRolledFrame(RollbackRun& run, long frame, std::vector<Command> commands, uint64_t hash, long lastTick)
{
    // Only the last confirmed frame and those after it are ever gone back to; a catch-up's are not kept.
    RanFrame& r = run.ran[frame % kFramesKept];
    if (frame + kFramesKept > lastTick) {
        SaveSnapshot(r.world);
        r.frame = frame;
        r.hash = hash;
        r.commands = std::move(commands);
    }
    if (frame <= lastTick && run.confirmed == frame - 1 && !run.wrong)
        ConfirmFrames(run, frame);
}

bool FindRolledHash(const RollbackRun& run, long frame, uint64_t& hash)
{
    const RanFrame& r = run.ran[frame % kFramesKept];
    hash = r.hash;
    return r.frame == frame;
}

const ByteWriter* FindRolledWorld(const RollbackRun& run, long frame)
{
    const RanFrame& r = run.ran[frame % kFramesKept];
    return r.frame == frame ? &r.world : nullptr;
}

long WindBackWorld(RollbackRun& run, long worldFrame, std::string& why)
{
    if (!run.wrong)
        return 0;
    const RanFrame& back = run.ran[run.confirmed % kFramesKept];
    if (back.frame != run.confirmed) {
        why = "the world of tick " + std::to_string(run.confirmed) + " to wind back to is not kept";
        return -1;
    }
    if (!RestoreSnapshot(back.world.bytes.data(), back.world.used, why)) {
        why = "the world of tick " + std::to_string(run.confirmed) + " did not come back: " + why;
        return -1;
    }
    run.wrong = false;
    ++run.rollbacks;
    run.deepest = std::max(run.deepest, worldFrame - run.confirmed);
    return worldFrame;
}
