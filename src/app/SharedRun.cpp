#include "app/SharedRun.h"

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/Autopilot.h"
#include "app/Keyboard.h"
#include "app/Picture.h"
#include "app/Settings.h"
#include "app/StateHash.h"

SharedRun gShared;

constexpr long kTraceFrames = 300;  // the stretch of this machine's trace kept for a desync's report
constexpr uint32_t kPingEveryMs = 1000;

static std::string gTrace[kTraceFrames];  // the latest frames' trace and hash lines, by frame
static long gPingNumber;
static uint32_t gPingSentMs;

static bool IsHexCode(const std::string& code)
{
    return !code.empty() && code.size() <= 64 &&
           code.find_first_not_of("0123456789abcdef") == std::string::npos;
}

bool ReadRoomLink(const std::string& link, RelayAddress& address, std::string& error)
{
    static const char kScheme[] = "http://";
    if (link.compare(0, sizeof kScheme - 1, kScheme) != 0) {
        error = "'" + link + "' is not a room's link: it starts with http://, as in http://HOST:PORT/?room=CODE";
        return false;
    }
    const size_t hostStart = sizeof kScheme - 1;
    const size_t hostEnd = link.find_first_of(":/?", hostStart);
    address.host = link.substr(hostStart, hostEnd - hostStart);
    address.port = 80;
    size_t rest = hostEnd == std::string::npos ? link.size() : hostEnd;
    const bool hostOk = !address.host.empty() && address.host.find_first_not_of(
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.-_") == std::string::npos;
    if (hostOk && rest < link.size() && link[rest] == ':') {
        const size_t portEnd = link.find_first_of("/?", rest + 1);
        const std::string port = link.substr(rest + 1, portEnd - rest - 1);
        char* end;
        const long number = std::strtol(port.c_str(), &end, 10);
        if (port.empty() || *end || number < 1 || number > 65535) {
            error = "'" + link + "': the port after the host is a number from 1 to 65535";
            return false;
        }
        address.port = int(number);
        rest = portEnd == std::string::npos ? link.size() : portEnd;
    }
    if (!hostOk) {
        error = "'" + link + "' names no host: the link is http://HOST:PORT/?room=CODE";
        return false;
    }
    std::string query = link.substr(rest);
    if (!query.empty() && query[0] == '/')
        query.erase(0, 1);
    address.target = "/ws";
    if (query.empty())
        return true;
    const size_t amp = query.find("&seat=");
    const std::string code = query.compare(0, 6, "?room=") == 0 ? query.substr(6, amp - 6) : "";
    const std::string seat = amp == std::string::npos ? "0" : query.substr(amp + 6);
    if (!IsHexCode(code) || seat.size() != 1 || seat[0] < '0' || seat[0] >= char('0' + kCarCount)) {
        error = "'" + link + "': after the host and port comes only ?room= and the room's code (and &seat=0, 1 or 2)";
        return false;
    }
    address.target += query;
    return true;
}

std::string MakeRoomLink(const RelayAddress& address, const std::string& room)
{
    return "http://" + address.host + ":" + std::to_string(address.port) + "/?room=" + room;
}

void ResetSharedRun()
{
    gShared = SharedRun{};
    gShared.seat = kNoSeat;
    gShared.roundTripMs = -1;
    StartKeyScriptReader(gShared.reader);
    for (std::string& line : gTrace)
        line.clear();
    gPingNumber = 0;
}

bool JoinSharedRun(const RelayAddress& address, std::string& error)
{
    ResetSharedRun();
    RelayAddress named = address;
    named.target += std::string(address.target.find('?') == std::string::npos ? "?" : "&") + "protocol=" +
                    std::to_string(kRelayProtocol) + "&physics=" + DescribePhysicsWord();
    if (!OpenRelaySocket(named, error))
        return false;
    gShared.joined = true;
    gPingSentMs = ReadTickCount();
    return true;
}

void LeaveSharedRun()
{
    if (gShared.joined)
        CloseRelaySocket();
    gShared.joined = false;
}

static void EndSharedRun(const std::string& why)
{
    if (gShared.ended.empty())
        gShared.ended = why;
    LeaveSharedRun();
}

// What has arrived goes into the queue once there is a world for it.
static void QueueArrivedCommands()
{
    if (!gShared.worldStarted)
        return;
    for (const Command& c : gShared.reader.script.commands)
        QueueCommand(c);
    gShared.reader.script.commands.clear();
}

void StartSharedWorld()
{
    const RecordingHeader& room = gShared.reader.script.header;
    SwitchAutopilot(room.autopilot);
    StartAutopilot(room.seed);
    gShared.worldStarted = true;
    QueueArrivedCommands();
}

bool IsNextFrameConfirmed()
{
    return gShared.worldStarted && gFramesRun < gShared.lastTick;
}

// The lines after a message's first, through the room's reader; false, the run ended, on one this
// build cannot take: the worlds would part.
static bool ReadRoomLines(const std::string& text, size_t from, long tick)
{
    std::string error;
    while (from < text.size()) {
        size_t end = text.find('\n', from);
        end = end == std::string::npos ? text.size() : end + 1;
        const size_t before = gShared.reader.script.commands.size();
        if (!ReadKeyScriptLine(gShared.reader, text.substr(from, end - from).c_str(), error)) {
            EndSharedRun("the relay sent what this build cannot play: " + error);
            return false;
        }
        if (tick > 0 && gShared.reader.script.commands.size() > before &&
            gShared.reader.script.commands.back().frame != tick) {
            EndSharedRun("the relay sent a command for another tick in tick " + std::to_string(tick));
            return false;
        }
        from = end;
    }
    return true;
}

static void TakeLog(const std::string& text)
{
    if (!ReadRoomLines(text, 4, 0))
        return;
    const KeyScript& log = gShared.reader.script;
    if (!log.recorded) {
        EndSharedRun("the relay's log of the room is not a recording");
        return;
    }
    gShared.lastTick = log.header.frames;
    gShared.logRead = true;
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
    for (long f = gFramesRun - kTraceFrames + 1; f <= gFramesRun; ++f)
        if (f >= 0 && !gTrace[f % kTraceFrames].empty())
            trace += gTrace[f % kTraceFrames];
    char keys[1024], traced[1024];
    const bool keptLog = SaveInPicturesFolder(
        "keys", [&](const char* path, char* r, size_t n) { return WriteText(log.substr(4), path, r, n); }, keys,
        sizeof keys);
    const bool keptTrace = SaveInPicturesFolder(
        "trace", [&](const char* path, char* r, size_t n) { return WriteText(trace, path, r, n); }, traced,
        sizeof traced);
    gShared.desyncSaved = std::string(keptLog ? "" : "not saved: ") + keys + ", " + (keptTrace ? "" : "not saved: ") + traced;
    std::fprintf(stderr, "kelvaron: the room's log and this machine's trace: %s\n", gShared.desyncSaved.c_str());
}

static void TakeTick(long tick, const std::string& text, size_t lines)
{
    if (!gShared.logRead)
        return;  // the log, asked for, holds it
    if (tick != gShared.lastTick + 1) {
        EndSharedRun("the relay sent tick " + std::to_string(tick) + " after tick " + std::to_string(gShared.lastTick));
        return;
    }
    if (!ReadRoomLines(text, lines, tick))
        return;
    gShared.lastTick = tick;
    QueueArrivedCommands();
}

void HandleRelayText(const std::string& text)
{
    if (!gShared.joined)
        return;
    const size_t firstEnd = text.find('\n');
    const std::string first = text.substr(0, firstEnd);
    const size_t lines = firstEnd == std::string::npos ? text.size() : firstEnd + 1;
    char word[16] = "", room[80] = "";
    long a = 0, b = 0;
    unsigned long c = 0;
    std::sscanf(first.c_str(), "%15s", word);
    if (!std::strcmp(word, "tick") && std::sscanf(first.c_str(), "tick %ld", &a) == 1) {
        TakeTick(a, text, lines);
    } else if (!std::strcmp(word, "welcome") &&
               std::sscanf(first.c_str(), "welcome %79s %ld %ld %lu", room, &a, &b, &c) == 4) {
        gShared.room = room;
        gShared.seat = a >= 0 && a < kCarCount ? int(a) : kNoSeat;
        gShared.joinedAtTick = b;
        gShared.seed = uint32_t(c);
        SendRelayText("log");
    } else if (!std::strcmp(word, "delay") && std::sscanf(first.c_str(), "delay %ld", &a) == 1) {
        gShared.delay = int(a);
    } else if (!std::strcmp(word, "ping")) {
        SendRelayText("pong" + first.substr(4));
    } else if (!std::strcmp(word, "pong") && std::sscanf(first.c_str(), "pong %ld", &a) == 1 && a == gPingNumber) {
        gShared.roundTripMs = long(ReadTickCount() - gPingSentMs);
    } else if (!std::strcmp(word, "log") && firstEnd == 3) {
        if (!gShared.logRead)
            TakeLog(text);
        else
            SaveDesync(text);
    } else if (!std::strcmp(word, "desync") && std::sscanf(first.c_str(), "desync %ld", &a) == 1) {
        std::fprintf(stderr, "kelvaron: room %s: at tick %ld the machines' worlds differ (seats%s)\n",
                     gShared.room.c_str(), a, first.substr(first.find(' ', 7)).c_str());
        if (!gShared.desyncTick) {
            gShared.desyncTick = a;
            SendRelayText("log");
        }
    } else if (!std::strcmp(word, "refused")) {
        EndSharedRun("the relay refused: " + first.substr(first.size() > 8 ? 8 : first.size()));
    }
}

void HandleRelayClosed(const std::string& reason)
{
    EndSharedRun(reason.empty() ? "the relay closed the connection" : "the relay closed the connection: " + reason);
}

void NoteSharedFrame()
{
    const long frame = gFramesRun;
    char line[512];
    FormatCarsTrace(frame, line, sizeof line);
    const uint64_t hash = HashWorldState();
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016" PRIx64, hash);
    gTrace[frame % kTraceFrames] = std::string(line) + "\nhash " + std::to_string(frame) + " " + hex + "\n";
    if (!gShared.joined)
        return;
    if (frame % kHashEveryTicks == 0 && gShared.seat != kNoSeat)
        SendRelayText("hash " + std::to_string(frame) + " " + hex);
    if (ReadTickCount() - gPingSentMs >= kPingEveryMs) {
        gPingSentMs = ReadTickCount();
        SendRelayText("ping " + std::to_string(++gPingNumber));
    }
}

const char* DescribeSharedRun()
{
    static char line[256];
    if (!gShared.worldStarted)
        return nullptr;
    char seat[32] = "Watching";
    if (gShared.seat != kNoSeat)
        std::snprintf(seat, sizeof seat, "Driving Car%d", gShared.seat + 1);
    if (!gShared.ended.empty())
        std::snprintf(line, sizeof line, "Left the room: %s", gShared.ended.c_str());
    else if (gFramesRun + kHashEveryTicks < gShared.lastTick)
        std::snprintf(line, sizeof line, "Catching up: tick %ld of %ld", gFramesRun, gShared.lastTick);
    else if (gShared.desyncTick)
        std::snprintf(line, sizeof line, "%s  The worlds differ since tick %ld: %s", seat, gShared.desyncTick,
                      gShared.desyncSaved.empty() ? "keeping the log" : gShared.desyncSaved.c_str());
    else if (gShared.roundTripMs < 0)
        std::snprintf(line, sizeof line, "%s  Delay %d ticks", seat, gShared.delay);
    else
        std::snprintf(line, sizeof line, "%s  Ping %ld ms  Delay %d ticks", seat, gShared.roundTripMs, gShared.delay);
    return line;
}

bool WaitForRoom(double seconds, std::string& error)
{
    const uint32_t start = ReadTickCount();
    while (gShared.joined && !gShared.logRead && uint32_t(ReadTickCount() - start) < uint32_t(seconds * 1000))
        PumpRelaySocket(0.1);
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
    if (!gShared.joined || seat == kNoSeat || kCommandTable[int(c.kind)].reach != CommandReach::kSharedWorld ||
        c.kind == CommandKind::kAutopilot || (c.kind == CommandKind::kStopAndSpin && seat != 0) ||
        (c.car != kEveryCar && c.car != 0 && c.car != seat))
        return;
    c.car = seat;
    const long tick = std::max(c.frame, gShared.lastTick + gShared.delay);
    const int key = FindCommandKey(c);
    const std::string what = key >= 0 ? std::string(c.down ? "down " : "up ") + std::to_string(key)
                                      : "upright " + std::to_string(seat);
    SendRelayText("cmd " + std::to_string(tick) + " " + what);
}
