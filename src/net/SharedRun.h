// A shared run: one world on every machine in a room. The relay owns the clock; each tick it sends
// every seat's commands for that tick, and each machine runs the tick's frame once it has them. What a
// person here does to the shared world goes to the relay, stamped the input delay ahead, and comes
// back with everyone else's. SharedRun.cpp speaks the relay's protocol (net/Protocol.h) and writes
// gShared; the frame loop asks it which frames may run.
#pragma once
#include <cstdint>
#include <string>

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
    int delay;              // input delay, in ticks
    long joinedAtTick;      // the room's tick at the welcome: frames up to it are a catch-up
    bool logRead;           // the room's log is in: its world can be built
    bool worldStarted;      // ...and is: commands go straight into the queue
    long lastTick;          // every command of every tick up to this one is here
    long roundTripMs;       // this machine's latest ping to the relay and back, -1 before the first
    long desyncTick;        // the first tick the relay found the machines differing at, 0 if none
    std::string desyncSaved;  // where that stretch's log and trace went, once they have
    KeyScriptReader reader;   // the room's lines: its log's, then each tick's
};

// Written in SharedRun.cpp alone.
extern SharedRun gShared;

// A room's link, http://HOST[:PORT]/?room=CODE, or a relay's, http://HOST[:PORT]/ for a new room, as
// the socket's address; false with the reason in plain words.
bool ReadRoomLink(const std::string& link, RelayAddress& address, std::string& error);
// The link people give each other for the room joined.
std::string MakeRoomLink(const RelayAddress& address, const std::string& room);
// Nothing joined.
void ResetSharedRun();
// Connects to the room; false with the reason when the connection cannot even start. Watching for
// now, it holds no seat until TakeSharedSeat: a program whose window is not up yet (a question may
// hold it back for long) would leave its car to the autopilot meanwhile.
bool JoinSharedRun(const RelayAddress& address, bool watchingForNow, std::string& error);
// Once the run's window is up: the seat asked for, by a run that joined watching for now.
void TakeSharedSeat();
// With the world just built from the room's log (gShared.logRead): its commands queued, the autopilot
// seeded as the room's and switched off but for the cars the relay hands it.
void StartSharedWorld();
// The next frame's commands are all here, so it may run. A run watching for now runs none until it
// has its seat: as a seat it reports every frame's hash, the catch-up's too.
bool IsNextFrameConfirmed();
// After each frame of a shared run: the state hash every kHashEveryTicks ticks, and pings.
void NoteSharedFrame();
// A command for the shared world, from this machine's person or its script: as one for this seat's
// car, to the relay, stamped with its frame or, if that is nearer, the input delay ahead of the last
// tick. The arrows and the seat's car's own keys drive the seat's car, as does the first pad; other
// cars' keys do nothing here.
void SendSeatCommand(Command command);
// The overlay's line for a shared run, or null outside one.
const char* DescribeSharedRun();
// Pumps the socket until the room's log is in, for up to seconds; false with the reason when the
// room cannot be had.
bool WaitForRoom(double seconds, std::string& error);
// Leaves the room.
void LeaveSharedRun();
