// The fleet's room map in Redis, shared by every relay started with --redis: who holds each room (a
// lease, renewed while the room lives), the room's seed, delay, tick and whole log, and which relays
// are up. A relay writes each tick's lines before it sends the tick, so Redis always has every tick a
// client has: another relay takes a room over from it when its holder dies. Plain calls on one
// connection, each waiting at most kRedisTimeoutMs; while Redis is gone the rooms go on, and the
// relay tries again every kFleetRenewMs, then registers every room it holds afresh.
#pragma once
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

struct redisContext;

constexpr int kFleetLeaseMs = 2000;  // a dead relay's rooms wait this long, at most, for another
constexpr int kFleetRenewMs = 500;
constexpr int kRedisTimeoutMs = 200;
constexpr int kRoomRecordSeconds = 600;  // a room no relay holds is forgotten after this

struct Fleet {
    std::string host;  // Redis's
    int port;
    std::string self;  // this relay's address as clients reach it, HOST:PORT: the owner in a lease
    redisContext* redis;  // null while Redis cannot be reached
    std::chrono::steady_clock::time_point nextTry;
    std::vector<std::string> relays;  // the fleet's addresses, as last read, this relay's among them
    bool registerAll;  // Redis has come back, or lost leases: every room held is written again
};

// What the fleet holds of a room: a room taken over starts from it.
struct FleetRoom {
    uint32_t seed;
    int delay;
    long tick;
    std::string log;  // its lines so far, as a recording's body
};

enum class FleetAnswer { kNoRoom, kHeld, kClaimed, kDown };
enum class FleetLease { kOurs, kLost, kAbsent, kDown };

// redis://HOST:PORT (PORT 6379 when left out); false with why.
bool ReadRedisUrl(const std::string& url, Fleet& fleet, std::string& error);
// Connects when not connected and it is time to try again; true when Redis has just come (back).
bool ConnectFleet(Fleet& fleet);
// Every kFleetRenewMs: this relay's presence, and the fleet's addresses read back; false when down.
bool RenewPresence(Fleet& fleet);
// Writes the room whole and takes its lease: a new room (fresh: false if the code is in use), or one
// held here written again. kLost when another relay holds it now.
FleetLease RegisterRoom(Fleet& fleet, const std::string& code, const FleetRoom& room, bool fresh);
// The leases of rooms held here renewed, one answer a room.
std::vector<FleetLease> RenewLeases(Fleet& fleet, const std::vector<std::string>& codes);
// Each room's tick and the lines it adds to the log, written before the tick goes out; one answer a
// room.
std::vector<FleetLease> StoreTicks(Fleet& fleet, const std::vector<std::string>& codes, const std::vector<long>& ticks,
                                   const std::vector<std::string>& lines);
// A room asked for that this relay does not hold: held by another (owner says where), or claimed
// here with what the fleet has of it when its lease has lapsed, or no room of the fleet.
FleetAnswer ClaimRoom(Fleet& fleet, const std::string& code, std::string& owner, FleetRoom& room);
// A room ended here is forgotten; one given up at the relay's end is left for another to take over.
void ForgetRoom(Fleet& fleet, const std::string& code);
void ReleaseRoom(Fleet& fleet, const std::string& code);
void CloseFleet(Fleet& fleet);
