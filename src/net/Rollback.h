// A rollback room's bookkeeping, as GGPO keeps it: this machine's world runs ahead of the relay's last
// tick, each frame with the commands it will most likely have. A tick already sent runs with the
// relay's commands; a frame past it runs with this seat's own commands (acting on the frame after
// they were given) and the other seats' cars as held. The world after each of the latest frames is
// kept, so that a tick unlike what its frame ran with winds the world back to the last frame known
// right and runs it forward again. SharedRun.cpp alone calls these.
#pragma once
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "net/Protocol.h"
#include "sim/Commands.h"
#include "physics/Bytes.h"  // the kept worlds
#include "sim/Snapshot.h"

constexpr int kFramesKept = int(kMaxPrediction) + 1;  // the last confirmed frame and those predicted after it

struct RanFrame {
    long frame;
    ByteWriter world;  // the world after it
    uint64_t hash;
    std::vector<Command> commands;  // what it ran with, in order
};

struct RollbackRun {
    long confirmed;  // every frame up to this one ran with all its tick's commands: the room's world
    bool wrong;      // a tick came unlike what its frame ran with: the frames after confirmed run again
    std::deque<Command> arrived;  // the relay's commands for ticks after confirmed, in its order
    std::deque<Command> own;      // this seat's, sent and not back in a tick yet; frame: the one sent for
    RanFrame ran[kFramesKept];    // by frame modulo kFramesKept
    long rollbacks, deepest, waits;
};

// Nothing yet: the world at frame, which the room's log has decided.
void StartRollback(RollbackRun& run, long frame);
// A command this seat sent for the frame in command.frame.
void NoteOwnCommand(RollbackRun& run, const Command& command);
// Tick's commands, in the relay's order; worldFrame is the last frame run. This seat's own come back;
// a frame already run with other commands is wrong from now on. The frames newly confirmed, as the
// tick's agreement confirms frames run before it came, are confirmed's; their hashes are kept.
void TakeRolledTick(RollbackRun& run, long tick, const std::vector<Command>& commands, int seat, long worldFrame);
// The commands frame runs with: the tick's, when lastTick has it; else this seat's own due then.
std::vector<Command> FindFrameCommands(const RollbackRun& run, long frame, long lastTick);
// After frame ran with commands: the world kept while it may be wound back to, and the frame
// confirmed when it ran with its tick.
void NoteRolledFrame(RollbackRun& run, long frame, std::vector<Command> commands, uint64_t hash, long lastTick);
// The hash kept for a frame run lately, or false.
bool FindRolledHash(const RollbackRun& run, long frame, uint64_t& hash);
// The world kept after a frame run lately, or null.
const ByteWriter* FindRolledWorld(const RollbackRun& run, long frame);
// When wrong: the world back at confirmed, counted, and the frame it had reached (to run forward to).
// 0 when nothing is wrong; -1, why said, when the frame to go back to is not kept.
long WindBackWorld(RollbackRun& run, long worldFrame, std::string& why);
