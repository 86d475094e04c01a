#include "net/SharedRun.h"

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

#include "record/KeyTable.h"
#include "record/KeptFiles.h"
#include "net/JoinSnapshot.h"
#include "net/MessageWords.h"
#include "net/Protocol.h"
#include "net/RelayMessage.h"
#include "net/Rollback.h"
#include "sim/World.h"
#include "sim/StateHash.h"

SharedRun gShared;

constexpr long kTraceFrames = 300;  // the stretch of this machine's trace kept for a desync's report
constexpr uint32_t kPingEveryMs = 1000;
// A catch-up reports the hashes of its last ticks only: at its pace, every kHashEveryTicks-th tick's
// of a long room would pass the relay's kMaxMessagesPerSecond.
constexpr long kHashedCatchUpTicks = 10 * kHashEveryTicks;
// Joining again through a fleet: some 6 s of tries (a relay that sends the room to a dead one and the
// dead one are two), longer than a dead relay's rooms wait for another to take them (kFleetLeaseMs).
constexpr int kRejoinAttempts = 80;
constexpr uint32_t kRejoinEveryMs = 150;

static std::string gTrace[kTraceFrames];  // the latest frames' trace and hash lines, by frame
static long gPingNumber;
static uint32_t gPingSentMs;
static RollbackRun gRollback;
static std::vector<Command> gFrameCommands;  // what the frame running now runs with, in a rollback room
static uint32_t gLastTickMs;                 // when the last tick came
static uint32_t gSecondStartMs;              // the rollbacks of the last whole second, for the overlay
static long gRollbacksBefore, gRollbacksLastSecond;
static bool gJoinByWholeLog;

bool ReadRoomLink(const std::string& link, RelayAddress& address, std::string& error)
{
    static const char kScheme[] = "http://";
    static const char kRoomQuery[] = "?room=";
    static const char kSeatQuery[] = "&seat=";
    static const char kDelayQuery[] = "?delay=";
    constexpr size_t npos = std::string::npos;
    if (link.compare(0, sizeof kScheme - 1, kScheme) != 0) {
        error = "a room's link starts with http://, as in http://HOST:PORT/?room=CODE";
        return false;
    }
    const size_t hostStart = sizeof kScheme - 1;
    size_t rest;
    bool hostOk;
    if (link.compare(hostStart, 1, "[") == 0) {  // an IPv6 address, as in http://[::1]:27183/
        const size_t close = link.find(']', hostStart);
        address.host = close == npos ? "" : link.substr(hostStart + 1, close - hostStart - 1);
        rest = close == npos ? link.size() : close + 1;
        hostOk = address.host.find(':') != npos && address.host.find_first_not_of("0123456789abcdefABCDEF:.") == npos;
    } else {
        const size_t hostEnd = link.find_first_of(":/?", hostStart);
        address.host = link.substr(hostStart, hostEnd - hostStart);
        rest = hostEnd == npos ? link.size() : hostEnd;
        hostOk = !address.host.empty() && address.host.find_first_not_of(
            "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.-_") == npos;
    }
    address.port = 80;
    if (hostOk && rest < link.size() && link[rest] == ':') {
        const size_t portEnd = link.find_first_of("/?", rest + 1);
        const std::string port = link.substr(rest + 1, portEnd - rest - 1);
        char* end;
        const long number = std::strtol(port.c_str(), &end, 10);
        if (port.empty() || *end || number < 1 || number > 65535) {
            error = "the port after the host is a number from 1 to 65535";
            return false;
        }
        address.port = int(number);
        rest = portEnd == npos ? link.size() : portEnd;
    }
    if (!hostOk) {
        error = "no host in it: a room's link is http://HOST:PORT/?room=CODE";
        return false;
    }
    std::string query = link.substr(rest);
    if (!query.empty() && query[0] == '/')
        query.erase(0, 1);
    address.target = kRoomsPath;
    if (query.empty())
        return true;
    // A new room that waits out an input delay rather than rolling back.
    const size_t delayAt = sizeof kDelayQuery - 1;
    if (query.compare(0, delayAt, kDelayQuery) == 0) {
        const std::string delay = query.substr(delayAt);
        if (delay.size() != 1 || delay[0] < '0' + kMinDelay || delay[0] > '0' + kMaxDelay) {
            error = "a new room's ?delay= is " + std::to_string(kMinDelay) + " to " + std::to_string(kMaxDelay) + " ticks";
            return false;
        }
        address.target += query;
        return true;
    }
    // People count cars from 1, as the overlay does; the relay from 0.
    const size_t amp = query.find(kSeatQuery);
    const size_t codeStart = sizeof kRoomQuery - 1;
    const std::string code = query.compare(0, codeStart, kRoomQuery) == 0 ? query.substr(codeStart, amp - codeStart) : "";
    const std::string seat = amp == npos ? "" : query.substr(amp + sizeof kSeatQuery - 1);
    const bool seatOk = amp == npos || (seat.size() == 1 && seat[0] >= '1' && seat[0] <= char('0' + kSeatCount));
    if (!IsRoomCode(code) || !seatOk) {
        error = "after the host and port comes only ?room= and the room's code (and &seat=1, 2 or 3)";
        return false;
    }
    address.target += std::string("?") + kRoomKey + "=" + code;
    if (amp != npos)
        address.target += std::string("&") + kSeatKey + "=" + std::to_string(seat[0] - '1');
    return true;
}

std::string MakeRoomLink(const RelayAddress& address, const std::string& room)
{
    return "http://" + WriteRelayHost(address.host) + ":" + std::to_string(address.port) + "/?" + kRoomKey + "=" + room;
}

void ResetSharedRun()
{
    gShared = SharedRun{};
    gShared.seat = gShared.wantedSeat = kSpectator;
    gShared.roundTripMs = -1;
    gShared.ahead = kDefaultAhead;
    StartKeyScriptReader(gShared.reader);
    for (std::string& line : gTrace)
        line.clear();
    gPingNumber = 0;
    ResetJoinSnapshots();
    StartRollback(gRollback, 0);
    gRollbacksBefore = gRollbacksLastSecond = 0;
}

void JoinByWholeLog(bool wholeLog)
{
    gJoinByWholeLog = wholeLog;
}

static bool IsRollbackRoom()
{
    return gShared.delay == kRollback;
}

// This machine's commands reach the relay before their tick if it runs as far ahead as the relay says
// past the relay's tick: the last one here and those due since it came.
static long FindPredictionTarget()
{
    const long sinceLastTick = long(uint32_t(ReadTickCount() - gLastTickMs)) * kTickRate / 1000;
    return gShared.lastTick + std::min(sinceLastTick + gShared.ahead, kMaxPrediction);
}

// The socket to the room at address, naming this build's protocol and physics.
static bool OpenRoomSocket(const RelayAddress& address, bool watchingForNow, std::string& error)
{
    RelayAddress named = address;
    named.target += std::string(address.target.find('?') == std::string::npos ? "?" : "&") + kProtocolKey + "=" +
                    std::to_string(kRelayProtocol) + "&" + kPhysicsKey + "=" + DescribePhysicsWord();
    if (watchingForNow)
        named.target += std::string("&") + kWatchKey + "=1";
    return OpenRelaySocket(named, error);
}

bool JoinSharedRun(const RelayAddress& address, bool watchingForNow, std::string& error)
{
    ResetSharedRun();
    if (!OpenRoomSocket(address, watchingForNow, error))
        return false;
    gShared.address = address;
    const size_t seat = address.target.find(std::string("&") + kSeatKey + "=");
    if (seat != std::string::npos)
        gShared.wantedSeat = std::atoi(address.target.c_str() + seat + std::strlen(kSeatKey) + 2);
    gShared.joined = true;
    gShared.watchingForNow = watchingForNow;
    gPingSentMs = ReadTickCount();
    return true;
}

void TakeSharedSeat()
{
    if (gShared.joined && gShared.watchingForNow)
        SendRelayText(std::string(kSitWord) + " " + std::to_string(gShared.wantedSeat));
}

void LeaveSharedRun()
{
    if (gShared.joined)
        CloseRelaySocket();
    gShared.joined = false;
}

// Said on standard error too once the run is in the room; before, the join's refusal says it.
static void EndSharedRun(const std::string& why)
{
    if (gShared.ended.empty()) {
        gShared.ended = why;
        if (gShared.logRead)
            std::fprintf(stderr, "kelvaron: left room %s: %s\n", gShared.room.c_str(), why.c_str());
        if (!DescribeRollbacks().empty())
            std::fprintf(stderr, "kelvaron: room %s: %s\n", gShared.room.c_str(), DescribeRollbacks().c_str());
    }
    LeaveSharedRun();
}

// A confirmed frame's state hash, for the relay to compare, every kHashEveryTicks frames; and its
// world (null: as it is now) kept for a joining client.
static void SendFrameHash(long frame, uint64_t hash, const ByteWriter* world)
{
    if (!gShared.joined || frame % kHashEveryTicks != 0 || gShared.seat == kSpectator ||
        frame + kHashedCatchUpTicks <= gShared.lastTick)
        return;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016" PRIx64, hash);
    SendRelayText(std::string(kHashWord) + " " + std::to_string(frame) + " " + hex);
    KeepOfferedWorld(frame, gShared.lastTick, world);
}

// What has arrived goes into the world's queue once there is a world for it. The relay sends only
// what changes the shared world.
static void QueueArrivedCommands()
{
    if (!gShared.worldStarted)
        return;
    for (const Command& c : gShared.reader.script.commands)
        if (kCommandTable[int(c.kind)].reach == CommandReach::kSharedWorld)
            QueueWorldCommand(c);
    gShared.reader.script.commands.clear();
}

// The world as built, or from the world a seat gave, runs on with the log's commands. One given that is
// not the room's is refused, and another asked for; the log that comes with it starts the world then.
static void StartWorldFromLog()
{
    if (HoldsJoinSnapshot()) {
        const long tick = ReadJoinSnapshotTick();
        bool asBuilt;
        std::string why;
        if (!RestoreJoinSnapshot(asBuilt, why)) {
            std::fprintf(stderr, "kelvaron: room %s: the world given for tick %ld is not the room's: %s\n",
                         gShared.room.c_str(), tick, why.c_str());
            if (!asBuilt)
                return EndSharedRun("the world as built did not come back");
            SendRelayText(std::string(kWrongWord) + " " + std::to_string(tick));
            StartKeyScriptReader(gShared.reader);  // the log after that tick is of no use now
            gShared.logRead = false;
            gShared.lastTick = 0;
            gShared.askedSnapshot = true;
            SendRelayText(kSnapshotWord);
            return;
        }
        for (int car = 0; car < kSeatCount; ++car)
            gShared.autopilot[car] = IsAutopilotDriving(car);
        std::fprintf(stderr, "kelvaron: room %s: joined from a seat's world of tick %ld\n", gShared.room.c_str(), tick);
    }
    QueueArrivedCommands();
    gShared.confirmed = ReadWorldFrame();
    StartRollback(gRollback, gShared.confirmed);
    if (IsRollbackRoom())
        NoteRolledFrame(gRollback, gShared.confirmed, {}, HashWorldState(), gShared.lastTick);
    gLastTickMs = gSecondStartMs = ReadTickCount();
}

void StartSharedWorld()
{
    const RecordingHeader& room = gShared.reader.script.header;
    SwitchAutopilot(room.autopilot);
    StartAutopilot(room.seed);
    gShared.worldStarted = true;
    StartWorldFromLog();
}

long CountDueFrames()
{
    RejoinSharedRun();
    if (!gShared.worldStarted || !gShared.logRead || gShared.watchingForNow)
        return 0;
    const long frame = ReadWorldFrame();
    if (!IsRollbackRoom() || !gShared.joined)
        return std::max(gShared.lastTick - frame, 0L);
    const long target = FindPredictionTarget();
    const bool waiting = frame >= target && target == gShared.lastTick + kMaxPrediction;
    gRollback.waits += waiting && !gShared.waiting;
    gShared.waiting = waiting;
    return std::max(target - frame, 0L);
}

void QueueSharedFrame()
{
    if (!IsRollbackRoom())
        return;
    gFrameCommands = FindFrameCommands(gRollback, ReadWorldFrame() + 1, gShared.lastTick);
    for (const Command& c : gFrameCommands)
        QueueWorldCommand(c);
}

// The relay hands a car to the autopilot, or back to its person: everyone is told, as it happens.
static void NoteAutopilot(const Command& c, bool live)
{
    if (c.kind != CommandKind::kAutopilot || c.car < 0 || c.car >= kSeatCount)
        return;
    gShared.autopilot[c.car] = c.down;
    if (live)
        std::fprintf(stderr, "kelvaron: room %s: from tick %ld %s Car%d\n", gShared.room.c_str(), c.frame,
                     c.down ? "the autopilot drives" : "its person drives", c.car + 1);
}

// A log's or a tick's lines, through the room's reader; false, the run ended, on one this build
// cannot take: the worlds would part.
static bool ReadRoomLines(const std::string& text)
{
    std::string error;
    for (size_t from = 0; from < text.size();) {
        size_t end = text.find('\n', from);
        end = end == std::string::npos ? text.size() : end + 1;
        const size_t before = gShared.reader.script.commands.size();
        if (!ReadKeyScriptLine(gShared.reader, text.substr(from, end - from).c_str(), error)) {
            EndSharedRun("the relay sent what this build cannot play: " + error);
            return false;
        }
        if (gShared.reader.script.commands.size() > before)
            NoteAutopilot(gShared.reader.script.commands.back(), gShared.logRead);
        from = end;
    }
    return true;
}

static void TakeLog(const std::string& recording)
{
    if (!ReadRoomLines(recording))
        return;
    const KeyScript& log = gShared.reader.script;
    if (!log.recorded) {
        EndSharedRun("the relay's log of the room is not a recording");
        return;
    }
    gShared.lastTick = log.header.frames;
    gShared.logRead = true;
    if (gShared.worldStarted)  // after a world given was refused
        StartWorldFromLog();
}

// A seat's world of a recent tick, or none: the log after that tick, or the whole log. One that does
// not read as the room's world is refused, and another asked for.
static void TakeSnapshot(const RelayMessage& m)
{
    if (!gShared.askedSnapshot)
        return;
    gShared.askedSnapshot = false;
    std::string why;
    if (m.tick == 0) {
        SendRelayText(kLogWord);
    } else if (TakeJoinSnapshot(m.tick, m.hash, m.text, why)) {
        SendRelayText(std::string(kLogWord) + " " + std::to_string(m.tick));
    } else {
        std::fprintf(stderr, "kelvaron: room %s: the world given for tick %ld is not the room's: %s\n", gShared.room.c_str(),
                     m.tick, why.c_str());
        SendRelayText(std::string(kWrongWord) + " " + std::to_string(m.tick));
        gShared.askedSnapshot = true;
        SendRelayText(kSnapshotWord);
    }
}

static bool WriteText(const std::string& text, const char* path, char* reason, size_t reasonSize)
{
    std::FILE* file = std::fopen(path, "wb");
    if (!file) {
        std::snprintf(reason, reasonSize, "%s", std::strerror(errno));
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (std::fclose(file) != 0 || !written) {
        std::snprintf(reason, reasonSize, "%s", std::strerror(errno ? errno : EIO));
        return false;
    }
    return true;
}

// The room's log as the relay has it, and this machine's trace of the frames before the desync.
static void SaveDesync(const std::string& log)
{
    std::string trace;
    for (long f = gShared.confirmed - kTraceFrames + 1; f <= gShared.confirmed; ++f)
        if (f >= 0 && !gTrace[f % kTraceFrames].empty())
            trace += gTrace[f % kTraceFrames];
    char keys[1024], traced[1024];
    const bool keptLog = SaveInPicturesFolder(
        "keys", [&](const char* path, char* r, size_t n) { return WriteText(log, path, r, n); }, keys,
        sizeof keys);
    const bool keptTrace = SaveInPicturesFolder(
        "trace", [&](const char* path, char* r, size_t n) { return WriteText(trace, path, r, n); }, traced,
        sizeof traced);
    gShared.desyncSaved = std::string(keptLog ? "" : "not saved: ") + keys + ", " + (keptTrace ? "" : "not saved: ") + traced;
    std::fprintf(stderr, "kelvaron: the room's log and this machine's trace: %s\n", gShared.desyncSaved.c_str());
}

static void TakeTick(long tick, const std::string& lines)
{
    if (!gShared.logRead || gShared.awaitingTail)
        return;  // the log, asked for, holds it
    if (tick != gShared.lastTick + 1) {
        EndSharedRun("the relay sent tick " + std::to_string(tick) + " after tick " + std::to_string(gShared.lastTick));
        return;
    }
    if (!ReadRoomLines(lines))
        return;
    gShared.lastTick = tick;
    gLastTickMs = ReadTickCount();
    // Before the world starts, the ticks wait with the log: both are history by then.
    if (!IsRollbackRoom() || !gShared.worldStarted) {
        QueueArrivedCommands();
        return;
    }
    std::vector<Command> commands;
    for (const Command& c : gShared.reader.script.commands)
        if (kCommandTable[int(c.kind)].reach == CommandReach::kSharedWorld)
            commands.push_back(c);
    gShared.reader.script.commands.clear();
    const long before = gRollback.confirmed;
    TakeRolledTick(gRollback, tick, commands, gShared.seat, ReadWorldFrame());
    for (long f = before + 1; f <= gRollback.confirmed; ++f) {
        uint64_t hash = 0;
        if (FindRolledHash(gRollback, f, hash))
            SendFrameHash(f, hash, FindRolledWorld(gRollback, f));
    }
    gShared.confirmed = gRollback.confirmed;
}

// Joined again: the ticks missed while the connection was down, from the room's log after the last tick
// here, taken as if they had come one by one; then the seat's commands of meanwhile.
static void TakeTail(const std::string& recording)
{
    gShared.awaitingTail = false;
    std::map<long, std::string> lines;  // the log's, by tick
    long frames = -1;
    for (size_t from = 0; from < recording.size();) {
        size_t end = recording.find('\n', from);
        end = end == std::string::npos ? recording.size() : end + 1;
        const std::string line = recording.substr(from, end - from);
        if (!line.empty() && line[0] >= '0' && line[0] <= '9')
            lines[std::atol(line.c_str())] += line;
        else if (line.compare(0, 7, "frames ") == 0)
            frames = std::atol(line.c_str() + 7);
        from = end;
    }
    if (frames < gShared.lastTick)
        return EndSharedRun("the room's log, joined again, ends at tick " + std::to_string(frames) + ", before tick " +
                            std::to_string(gShared.lastTick) + " here");
    for (long tick = gShared.lastTick + 1; tick <= frames && gShared.joined; ++tick)
        TakeTick(tick, lines[tick]);
    std::fprintf(stderr, "kelvaron: room %s: joined again through %s at tick %ld\n", gShared.room.c_str(),
                 (WriteRelayHost(gShared.address.host) + ":" + std::to_string(gShared.address.port)).c_str(), frames);
    gShared.attempts = 0;
    for (const std::string& text : gShared.unsent)
        SendRelayText(text);
    gShared.unsent.clear();
}

// Said once, as the relay seats this machine: the room, and its car or that it only watches.
static void SaySeat()
{
    std::string said = gShared.seat == kSpectator ? "watching: every car has its person"
                                                  : "driving Car" + std::to_string(gShared.seat + 1);
    if (gShared.wantedSeat != kSpectator && gShared.seat != gShared.wantedSeat)
        said = "Car" + std::to_string(gShared.wantedSeat + 1) + " is taken; " + said;
    std::fprintf(stderr, "kelvaron: room %s: %s\n", gShared.room.c_str(), said.c_str());
}

static void TakeDesync(const RelayMessage& m)
{
    std::string seats;
    for (int seat : m.seats)
        seats += " " + std::to_string(seat);
    std::fprintf(stderr, "kelvaron: room %s: at tick %ld the machines' worlds differ (seats%s)\n", gShared.room.c_str(),
                 m.tick, seats.c_str());
    if (!gShared.desyncTick) {
        gShared.desyncTick = m.tick;
        SendRelayText(kLogWord);
    }
}

void HandleRelayText(const std::string& text)
{
    if (!gShared.joined)
        return;
    RelayMessage m;
    std::string why;
    if (!ReadRelayMessage(text, m, why)) {
        EndSharedRun("the relay sent '" + QuoteMessage(text) + "': " + why);
        return;
    }
    switch (m.kind) {
    case RelayMessageKind::kTick:
        TakeTick(m.tick, m.text);
        break;
    case RelayMessageKind::kWelcome:
        // The first lets this machine in; a run watching for now has a second, its seat, once it sits.
        if (gShared.room.empty()) {
            // A room under way for longer than a kept world may be old is joined from a seat's world of
            // a recent tick, if one has it; a younger room's log is as quick to run.
            gShared.askedSnapshot = m.tick > kFreshSnapshotTicks && !gJoinByWholeLog;
            SendRelayText(gShared.askedSnapshot ? kSnapshotWord : kLogWord);
        } else if (gShared.awaitingWelcome) {
            // Joined again: the world goes on from the ticks missed meanwhile.
            gShared.awaitingTail = true;
            SendRelayText(std::string(kLogWord) + " " + std::to_string(gShared.lastTick));
        } else
            gShared.watchingForNow = false;
        gShared.awaitingWelcome = false;
        gShared.relays = m.relays;
        gShared.room = m.room;
        gShared.seat = m.seat;
        gShared.joinedAtTick = m.tick;
        gShared.seed = m.seed;
        if (!gShared.watchingForNow)
            SaySeat();
        break;
    case RelayMessageKind::kDelay:
        gShared.delay = m.delay;
        break;
    case RelayMessageKind::kAhead:
        gShared.ahead = m.delay;
        break;
    case RelayMessageKind::kPing:
        SendRelayText(std::string(kPongWord) + " " + std::to_string(m.number));
        break;
    case RelayMessageKind::kPong:
        if (m.number == gPingNumber)
            gShared.roundTripMs = long(ReadTickCount() - gPingSentMs);
        break;
    case RelayMessageKind::kLog:
        if (gShared.awaitingTail)
            TakeTail(m.text);
        else if (!gShared.logRead)
            TakeLog(m.text);
        else
            SaveDesync(m.text);
        break;
    case RelayMessageKind::kDesync:
        TakeDesync(m);
        break;
    case RelayMessageKind::kRefused:
        EndSharedRun("the relay refused: " + m.text);
        break;
    case RelayMessageKind::kSnapshot:
        TakeSnapshot(m);
        break;
    case RelayMessageKind::kOffer:
        SendRelayText(WriteOffer());
        break;
    case RelayMessageKind::kMoved:
        gShared.movedTo = m.relays[0];
        break;
    }
}

void HandleRelayClosed(const std::string& reason)
{
    // A relay of a fleet that broke off (killed, or its machine gone), or sent the room elsewhere: the
    // room goes on through another, this machine's world running on meanwhile as far as it may.
    const bool fleet = !gShared.movedTo.empty() || (gShared.logRead && !gShared.relays.empty());
    if (gShared.joined && gShared.ended.empty() && fleet && gShared.attempts < kRejoinAttempts) {
        if (!gShared.rejoining && gShared.movedTo.empty())
            std::fprintf(stderr, "kelvaron: room %s: %s; joining it again through the fleet\n", gShared.room.c_str(),
                         reason.empty() ? "the relay closed the connection" : reason.c_str());
        gShared.rejoining = true;
        gShared.awaitingWelcome = gShared.awaitingTail = false;
        gShared.nextAttemptMs = ReadTickCount() + (gShared.movedTo.empty() && gShared.attempts ? kRejoinEveryMs : 0);
        return;
    }
    EndSharedRun(reason.empty() ? "the relay closed the connection" : "the relay closed the connection: " + reason);
}

void RejoinSharedRun()
{
    if (!gShared.rejoining || int32_t(ReadTickCount() - gShared.nextAttemptMs) < 0)
        return;
    if (++gShared.attempts > kRejoinAttempts) {
        gShared.rejoining = false;
        EndSharedRun("no relay of the fleet took the room back");
        return;
    }
    std::string next = gShared.movedTo;
    gShared.movedTo.clear();
    if (next.empty() && !gShared.relays.empty()) {  // the one after the relay lost, in turn
        const std::string lost = WriteRelayHost(gShared.address.host) + ":" + std::to_string(gShared.address.port);
        const auto at = std::find(gShared.relays.begin(), gShared.relays.end(), lost);
        next = gShared.relays[at == gShared.relays.end() ? 0 : (at - gShared.relays.begin() + 1) % gShared.relays.size()];
    }
    RelayAddress address = gShared.address;
    if (!ReadRelayWord(next, address.host, address.port))
        return EndSharedRun("the relay named no relay of the fleet to go to");
    if (!gShared.room.empty())
        address.target = std::string(kRoomsPath) + "?" + kRoomKey + "=" + gShared.room +
                         (gShared.seat == kSpectator ? "" : std::string("&") + kSeatKey + "=" + std::to_string(gShared.seat));
    gShared.address = address;
    gShared.nextAttemptMs = ReadTickCount() + kRejoinEveryMs;
    std::string error;
    if (OpenRoomSocket(address, gShared.watchingForNow, error)) {
        gShared.rejoining = false;
        gShared.awaitingWelcome = true;  // or its end, which tries the next
    }
}

void NoteSharedFrame()
{
    const long frame = ReadWorldFrame();
    char line[512];
    FormatCarsTrace(frame, line, sizeof line);
    const uint64_t hash = HashWorldState();
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016" PRIx64, hash);
    gTrace[frame % kTraceFrames] = std::string(line) + "\nhash " + std::to_string(frame) + " " + hex + "\n";
    if (IsRollbackRoom()) {
        NoteRolledFrame(gRollback, frame, std::move(gFrameCommands), hash, gShared.lastTick);
        gFrameCommands.clear();
    }
    if (!IsRollbackRoom() || gRollback.confirmed == frame) {
        gShared.confirmed = frame;
        SendFrameHash(frame, hash, nullptr);
    }
    if (!gShared.joined)
        return;
    if (ReadTickCount() - gSecondStartMs >= 1000) {
        gSecondStartMs = ReadTickCount();
        gRollbacksLastSecond = gRollback.rollbacks - gRollbacksBefore;
        gRollbacksBefore = gRollback.rollbacks;
    }
    if (ReadTickCount() - gPingSentMs >= kPingEveryMs) {
        gPingSentMs = ReadTickCount();
        SendRelayText(std::string(kPingWord) + " " + std::to_string(++gPingNumber));
    }
}

long WindBackSharedWorld()
{
    std::string why;
    const long until = WindBackWorld(gRollback, ReadWorldFrame(), why);
    if (until < 0)
        EndSharedRun(why);
    return std::max(until, 0L);
}

const std::string& ReadSharedTrace(long frame)
{
    return gTrace[frame % kTraceFrames];
}

std::string DescribeRollbacks()
{
    if (!IsRollbackRoom() || !gShared.worldStarted)
        return "";
    const double seconds = double(std::max(gShared.confirmed - gShared.joinedAtTick, 1L)) / kTickRate;
    char line[256];
    std::snprintf(line, sizeof line, "%ld rollbacks in %.0f s of the room (%.2f a second), the deepest %ld frames; "
                  "waited for the relay %ld times", gRollback.rollbacks, seconds, double(gRollback.rollbacks) / seconds,
                  gRollback.deepest, gRollback.waits);
    return line;
}

const char* DescribeSharedRun()
{
    static char line[256];
    if (!gShared.worldStarted)
        return nullptr;
    std::string seat = gShared.seat == kSpectator ? "Watching" : "Driving Car" + std::to_string(gShared.seat + 1);
    if (gShared.wantedSeat != kSpectator && gShared.seat != gShared.wantedSeat && !gShared.watchingForNow)
        seat += " (Car" + std::to_string(gShared.wantedSeat + 1) + " is taken)";
    for (int car = 0, first = 1; car < kSeatCount; ++car)
        if (gShared.autopilot[car]) {
            seat += std::string(first ? "  Autopilot: " : ", ") + "Car" + std::to_string(car + 1);
            first = 0;
        }
    if (!gShared.ended.empty())
        std::snprintf(line, sizeof line, "Left the room: %s", gShared.ended.c_str());
    else if (ReadWorldFrame() + kHashEveryTicks < gShared.lastTick)
        std::snprintf(line, sizeof line, "Catching up: tick %ld of %ld", ReadWorldFrame(), gShared.lastTick);
    else if (gShared.rejoining || gShared.awaitingWelcome || gShared.awaitingTail)
        std::snprintf(line, sizeof line, "%s  Joining the room again", seat.c_str());
    else if (gShared.desyncTick)
        std::snprintf(line, sizeof line, "%s  The worlds differ since tick %ld: %s", seat.c_str(), gShared.desyncTick,
                      gShared.desyncSaved.empty() ? "keeping the log" : gShared.desyncSaved.c_str());
    else if (IsRollbackRoom() && gShared.waiting)
        std::snprintf(line, sizeof line, "%s  Waiting for the relay", seat.c_str());
    else if (IsRollbackRoom() && gShared.roundTripMs < 0)
        std::snprintf(line, sizeof line, "%s  Rollback %ld", seat.c_str(), gRollbacksLastSecond);
    else if (IsRollbackRoom())
        std::snprintf(line, sizeof line, "%s  Ping %ld ms  Rollback %ld", seat.c_str(), gShared.roundTripMs,
                      gRollbacksLastSecond);
    else if (gShared.roundTripMs < 0)
        std::snprintf(line, sizeof line, "%s  Delay %d ticks", seat.c_str(), gShared.delay);
    else
        std::snprintf(line, sizeof line, "%s  Ping %ld ms  Delay %d ticks", seat.c_str(), gShared.roundTripMs,
                      gShared.delay);
    return line;
}

bool WaitForRoom(double seconds, std::string& error)
{
    const uint32_t start = ReadTickCount();
    while (gShared.joined && !gShared.logRead && uint32_t(ReadTickCount() - start) < uint32_t(seconds * 1000)) {
        RejoinSharedRun();
        PumpRelaySocket(0.1);
    }
    if (gShared.logRead)
        return true;
    error = !gShared.ended.empty() ? gShared.ended : "the relay did not let this machine into the room within " +
                                                        std::to_string(int(seconds)) + " s";
    LeaveSharedRun();
    return false;
}

void SendSeatCommand(Command c)
{
    const int seat = gShared.seat;
    if (!gShared.joined || seat == kSpectator || kCommandTable[int(c.kind)].reach != CommandReach::kSharedWorld ||
        c.kind == CommandKind::kAutopilot || (c.kind == CommandKind::kStopAndSpin && seat != 0) ||
        (c.car != kEveryCar && c.car != 0 && c.car != seat))
        return;
    c.car = seat;
    const long tick = IsRollbackRoom() ? std::max({c.frame, ReadWorldFrame() + 1, gShared.lastTick + 1})
                                       : std::max(c.frame, gShared.lastTick + gShared.delay);
    const int key = FindCommandKey(c);
    const std::string what = key >= 0 ? std::string(c.down ? "down " : "up ") + std::to_string(key)
                                      : "upright " + std::to_string(seat);
    const std::string text = std::string(kCommandWord) + " " + std::to_string(tick) + " " + what;
    if (gShared.rejoining || gShared.awaitingWelcome)
        gShared.unsent.push_back(text);
    else
        SendRelayText(text);
    // Predicted as the relay will say it back.
    Command sent;
    if (IsRollbackRoom() && ReadCommandWords(what, sent)) {
        sent.frame = tick;
        NoteOwnCommand(gRollback, sent);
    }
}
