// A room's state and everything that happens in it, as plain data and procedures: no sockets, no
// timers. The server hands each message and each moment to these and delivers what they send.
#pragma once
#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "relay/Lateness.h"
#include "net/Protocol.h"

using RelayClock = std::chrono::steady_clock;
using RelayTime = RelayClock::time_point;

constexpr long kEveryClient = -1;

// A message for one client, or for every client of the room; close ends that client's connection
// after it, with the text as the reason.
struct Outgoing {
    long client;
    std::string text;
    bool close;
};

struct RoomClient {
    long id;
    int seat;  // or kSpectator
    RelayTime windowStart;  // the rate limit's second
    int messagesInWindow;
    long pingNumber;  // the last ping sent, answered or not
    RelayTime pingSent;
    bool pingAnswered;
    std::vector<double> roundTrips;  // the latest, in seconds
    int ahead;  // in a rollback room, as last sent; 0 before
    bool wantsSnapshot;  // asked for a snapshot, not answered yet
    unsigned seatsTried;  // bit s: it has had seat s's world, or seat s had none to give
    bool mayOffer;        // asked for its world and not answered: its next message may be an offer's size
};

struct Seat {
    long client;    // who holds it now, or 0
    bool held;      // someone has held it: a person's car, driven by the autopilot while they are away
    bool autopilot;  // handed to the autopilot
    RelayTime lastHeard;
};

// A seat's world after a tick, as it offered it, in base64.
struct KeptSnapshot {
    long tick;  // 0: none
    int seat;
    std::string base64;
};

struct SeatHashes {
    std::array<std::string, kSeatCount> hex;
    std::string reported;  // the seats last reported as differing, as the desync line names them
};

struct Room {
    std::string code;
    uint32_t seed;  // the autopilot's seed for the room's world
    RelayTime start;  // tick n is due at start + n / kTickRate s
    long tick;        // the last tick broadcast; the first is 1
    int delay;       // the input delay, or kRollback
    int leastDelay;  // a delay room's: the round trips raise its delay from here; kRollback in one that rolls back
    std::vector<RoomClient> clients;
    Seat seats[kSeatCount];
    std::map<long, std::vector<std::string>> pending;  // lines for ticks not broadcast yet
    std::string log;  // every tick's lines so far, as a recording's body
    std::map<long, SeatHashes> hashes;
    long ignored;  // messages not taken
    long moved;    // commands for a tick already broadcast, moved to the next
    KeptSnapshot snapshot;  // the newest world a seat offered
    long offerAsked;        // the client asked for its world, not answered yet, or 0
    int offerSeat;          // ...its seat
    RelayTime offerAskedAt;
    RelayTime emptySince;
    std::string relays;  // a fleet's relays, as a welcome names them after its seed (" HOST:PORT..."), or empty
};

// A fresh code of kCodeBits random bits, and a seed, from std::random_device.
std::string MakeRoomCode();
uint32_t MakeRoomSeed();
// A room that rolls back, with leastDelay kRollback; else one that waits out an input delay of at
// least leastDelay ticks (kMinDelay to kMaxDelay).
Room OpenRoom(const std::string& code, uint32_t seed, RelayTime now, int leastDelay);
// A room another relay held, going on here from the tick and log the fleet kept of it: its next tick is
// due one tick after now. The seats the log names are held, those it last handed to the autopilot its,
// and the rest count as heard now: a seat whose person does not come back goes to the autopilot.
Room ResumeRoom(const std::string& code, uint32_t seed, RelayTime now, int leastDelay, long tick, const std::string& log);
// Seats the client: in wantedSeat if it is free (or -1 for any), else in the first seat no one has
// held, else as a spectator; watching, as a spectator until it sends sit. Sends welcome and delay.
// The seat given, or kSpectator.
int JoinRoom(Room& room, long client, int wantedSeat, bool watching, RelayTime now, std::vector<Outgoing>& out);
void LeaveRoom(Room& room, long client, RelayTime now);
// One text message from a client of the room.
void TakeClientMessage(Room& room, long client, const std::string& text, RelayTime now, std::vector<Outgoing>& out);
// When tick n is due.
RelayTime FindTickTime(const Room& room, long n);
// Broadcasts every tick due by now, hands silent seats to the autopilot and pings the clients. The
// lateness of each tick broadcast is counted in lateness.
void RunRoom(Room& room, RelayTime now, std::vector<Outgoing>& out, TickLateness& lateness);
// No one has been in the room for kEmptyRoomSeconds.
bool IsRoomOver(const Room& room, RelayTime now);
// The room's recording so far: frames = ticks broadcast, the autopilot off, the room's seed; with
// afterTick, only the lines of the ticks after it.
std::string WriteRoomRecording(const Room& room, long afterTick = 0);
