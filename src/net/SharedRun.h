// A shared run: one world on every machine in a room. The relay owns the clock; each tick it sends
// every seat's commands for that tick. In a room that rolls back (the default), each machine runs
// its world a little ahead of the ticks it has: a person's command here acts on the next frame and
// goes to the relay stamped with it, the other cars are predicted as held, and a tick unlike the
// prediction winds the world back and runs it forward again before it is drawn (net/Rollback.h). In
// a room with an input delay, a machine runs the tick's frame once it has it, and a command goes out
// stamped the delay ahead. SharedRun.cpp speaks the relay's protocol (net/Protocol.h) and writes
// gShared; the frame loop asks it which frames may run.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "record/KeyScript.h"
#include "sim/Commands.h"
#include "net/Protocol.h"
#include "platform/Platform.h"

constexpr int kHashEveryTicks = 30;  // a state hash to compare, once a second

struct SharedRun {
    bool joined;            // connected to a room, or trying to
    std::string ended;      // why the connection ended, once it has
    std::string room;       // the room's code, from its welcome
    int seat;               // the car this machine drives, or kSpectator
    int wantedSeat;         // the car the link asked for, or kSpectator for any
    bool watchingForNow;    // joined as a spectator until the run's window is up: TakeSharedSeat
    bool autopilot[kSeatCount];  // the cars the relay has handed to the autopilot, as its ticks say
    uint32_t seed;          // the room's autopilot seed
    int delay;              // input delay, in ticks, or kRollback
    int ahead;              // in a rollback room, how far past the last tick the world runs
    long joinedAtTick;      // the room's tick at the welcome: frames up to it are a catch-up
    bool askedSnapshot;     // a seat's world of a recent tick asked for, to join from: not the whole log
    bool logRead;           // the room's log is in (after the tick of the world given, if one was):
                            // its world can be built, or be started
    bool worldStarted;      // ...and is: commands go straight into the queue
    long lastTick;          // every command of every tick up to this one is here
    long confirmed;         // the last frame run with every command of its tick and those before
    bool waiting;           // a rollback room's world is kMaxPrediction frames past the last tick
    long roundTripMs;       // this machine's latest ping to the relay and back, -1 before the first
    long desyncTick;        // the first tick the relay found the machines differing at, 0 if none
    std::string desyncSaved;  // where that stretch's log and trace went, once they have
    KeyScriptReader reader;   // the room's lines: its log's, then each tick's
    RelayAddress address;     // the relay joined through, and the room's target there
    std::vector<std::string> relays;  // the fleet's, HOST:PORT each, as the last welcome named them
    std::string movedTo;      // the relay the room is at, as the last relay said, until joined there
    bool rejoining;           // the connection broke: joining again through the fleet, the world running
                              // on as far as it may meanwhile
    bool awaitingWelcome;     // ...and connected: the relay's welcome is to come
    bool awaitingTail;        // joined again: the log after lastTick is on its way
    int attempts;             // to join again, since the last time it worked
    uint32_t nextAttemptMs;
    std::vector<std::string> unsent;  // the seat's commands while the connection was down, sent once back
};

// Written in SharedRun.cpp alone.
extern SharedRun gShared;

// A room's link, http://HOST[:PORT]/?room=CODE, or a relay's, http://HOST[:PORT]/ for a new room
// (http://HOST[:PORT]/?delay=D for one with an input delay), as the socket's address; false with the
// reason in plain words.
bool ReadRoomLink(const std::string& link, RelayAddress& address, std::string& error);
// The link people give each other for the room joined.
std::string MakeRoomLink(const RelayAddress& address, const std::string& room);
// Nothing joined.
void ResetSharedRun();
// A room under way is joined by running its whole log, not from a seat's world of a recent tick;
// for comparing the two.
void JoinByWholeLog(bool wholeLog);
// Connects to the room; false with the reason when the connection cannot even start. Watching for
// now, it holds no seat until TakeSharedSeat: a program whose window is not up yet (a question may
// hold it back for long) would leave its car to the autopilot meanwhile.
bool JoinSharedRun(const RelayAddress& address, bool watchingForNow, std::string& error);
// Once the run's window is up: the seat asked for, by a run that joined watching for now.
void TakeSharedSeat();
// With the world just built once the room's log is in (gShared.logRead): the world a seat gave, if one
// was, restored; the log's commands queued, the autopilot seeded as the room's and switched off but for
// the cars the relay hands it. A world given that is not the room's is refused, and the shared run
// waits for another or the whole log (gShared.logRead false meanwhile), then starts from that.
void StartSharedWorld();
// Joining again, when the connection has broken or the room moved, and the time has come: through the
// relay it moved to, else the fleet's relays in turn, the one lost last. CountDueFrames and WaitForRoom
// call it; the run ends when none has let it in after kRejoinAttempts tries.
void RejoinSharedRun();
// The frames that may run now: up to the last tick, or in a room that rolls back, up to where this
// machine's commands reach the relay in time, at most kMaxPrediction past the last tick (waiting
// there, as gShared.waiting says). A run watching for now runs none until it has its seat: as a seat
// it reports every confirmed frame's hash, the catch-up's too.
long CountDueFrames();
// Before each frame of a shared run: in a room that rolls back, the commands it runs with.
void QueueSharedFrame();
// After each frame of a shared run, a frame run again too: its trace kept, the state hash of every
// kHashEveryTicks-th confirmed frame to the relay, and pings.
void NoteSharedFrame();
// A tick came unlike what its frame ran with: the world is back at the last confirmed frame; the frame
// to run forward to before drawing, else 0.
long WindBackSharedWorld();
// A frame's trace line and "hash FRAME HEX" line, each ending in a newline, as kept for the latest
// frames: a confirmed frame's are the room's.
const std::string& ReadSharedTrace(long frame);
// A rollback room's rollbacks so far, a second, and the deepest; empty in a delay room.
std::string DescribeRollbacks();
// A command for the shared world, from this machine's person or its script: as one for this seat's
// car, to the relay, stamped with its frame or, if that is nearer, the input delay ahead of the last
// tick (in a room that rolls back, the next frame to run). The arrows and the seat's car's own keys drive the seat's car, as does the first pad; other
// cars' keys do nothing here.
void SendSeatCommand(Command command);
// The overlay's line for a shared run, or null outside one.
const char* DescribeSharedRun();
// Pumps the socket until the room's log is in, for up to seconds; false with the reason when the
// room cannot be had.
bool WaitForRoom(double seconds, std::string& error);
// Leaves the room.
void LeaveSharedRun();
