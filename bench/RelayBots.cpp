// Protocol-level players for the relay's load figures: ROOMS rooms of three seats, all on this one
// thread. Each bot reads every tick, presses or lets go of its car's key every half second, sends a
// hash every 30 ticks and answers the relay's pings, as a client would, but runs no world: what is
// measured is the relay. A second after every bot is in, the relay (RELAY-PID) is sent SIGUSR1 so
// that it counts its ticks' lateness afresh; SECONDS later it is sent another, which makes it print
// that stretch's, and the bots print what they saw over the same stretch, one line of names and
// values:
//   rooms clients seconds            the stretch measured
//   in_bytes out_bytes               a client's received and sent bytes a second: WebSocket payloads
//   in_messages out_messages         and frame headers, without TCP/IP's; and its messages a second
//   jitter_p50 jitter_p99 jitter_max  ms: each tick's arrival against its due time (T / 30 s from
//                                    the client's earliest arrival, so the network's constant delay
//                                    drops out), over every client's ticks
//   missed dropped                   ticks a client did not get that it should have; clients closed
//   relay_cpu bots_cpu machine_cpu   processor time over the stretch in cores: the relay's, the
//                                    bots', and the whole machine's (everything running on it)
//   relay-bots PORT RELAY-PID ROOMS SECONDS
// With --fleet, the rooms are spread over a fleet of relays sharing one Redis (kelvaron-relay --redis),
// room r opened on the r-th relay named in turn and its other seats joined through the next one,
// which sends them on (moved); once every bot is in and settled, the first relay (KILL-PID) is
// killed, and its rooms' bots join again through the fleet as the programs do, each asking for the
// ticks it missed. SECONDS after the kill it prints, one line of names and values:
//   rooms lost_rooms rooms_on        the rooms, those on the killed relay, and of those the rooms
//                                    whose three bots all had the room back
//   resume_p50 resume_p99            ms from the kill to a room's last bot having its missed ticks
//   lookup_p50 lookup_p99            ms from a bot setting out for a relay that does not hold its room
//                                    to that relay's moved (connection, handshake and the lookup)
//   dropped                          bots of the other rooms that lost their room
//   relay-bots --fleet KILL-PID ROOMS SECONDS PORT...
#include <algorithm>
#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/websocket.hpp>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

#include "net/Protocol.h"

namespace net = boost::asio;
namespace beast = boost::beast;
namespace websocket = beast::websocket;
using tcp = net::ip::tcp;
using Clock = std::chrono::steady_clock;

constexpr int kRoomsJoiningAtOnce = 16;
constexpr double kJoinSeconds = 6;    // for every bot to be in
constexpr double kSettleSeconds = 1;  // before the stretch: delays set, first pings answered

struct Bot {
    websocket::stream<beast::tcp_stream> ws;
    beast::flat_buffer buffer;
    int room;
    int seat;  // the one it asked for until the relay's welcome, then the one it was given
    int delay;  // how far past the last tick its commands are stamped: the room's delay, or its ahead
    bool down;
    bool writing;
    bool closed;
    std::deque<std::string> queue;
    // Over the measured stretch.
    long bytesIn, bytesOut, messagesIn, messagesOut, lastTick, gaps;
    std::vector<float> arrivals;  // each tick's arrival less its due time, in seconds from the stretch's start
    // In a fleet.
    int port = 0;              // the relay it connects to
    std::string code;          // its room's, once welcomed
    std::vector<int> relays;   // the fleet's, as the welcome named them
    Clock::time_point setOut;  // for a room it did not open: when it set out for it
    bool replaced = false;     // a bot in its place goes on: it was sent on, or its relay was lost
    bool rejoining = false;    // joining again: its missed ticks are to be asked for
    int attempts = 0;
    std::string target;
};

struct CpuTimes {
    double relay, bots, machine;  // seconds of processor time so far
};

struct Swarm {
    net::io_context io;
    std::vector<std::unique_ptr<Bot>> bots;
    int port;
    int relayPid;
    int rooms;
    double seconds;
    int roomsStarted = 0;
    int joined = 0;
    bool measuring = false;
    Clock::time_point start;
    CpuTimes before;
    std::string refused;  // the relay's first refusal, if any
    std::string dropped;  // why the first bot was let go after it was in, if one was
    net::steady_timer timer{io};
    // In a fleet.
    std::vector<int> ports;  // empty: one relay
    int killPid = 0;
    bool killed = false;
    Clock::time_point killedAt;
    std::vector<double> lookups;       // ms
    std::map<int, double> roomResume;  // a lost room's last bot back, ms after the kill
    std::map<int, int> roomBack;       // ...and how many of its bots are
};

constexpr int kRejoinAttempts = 80;
constexpr int kRejoinEveryMs = 150;

// The WebSocket frame's header around a text of size bytes: 2 to 10 bytes, and a client's mask.
static long CountFrameBytes(size_t size, bool fromClient)
{
    return long(size) + (size < 126 ? 2 : size < 65536 ? 4 : 10) + (fromClient ? 4 : 0);
}

static void WriteNext(Swarm& swarm, Bot* bot)
{
    if (bot->writing || bot->closed || bot->queue.empty())
        return;
    bot->writing = true;
    bot->ws.text(true);
    bot->ws.async_write(net::buffer(bot->queue.front()), [&swarm, bot](beast::error_code ec, size_t) {
        bot->writing = false;
        bot->queue.pop_front();
        if (ec)
            bot->closed = true;
        else
            WriteNext(swarm, bot);
    });
}

static void Send(Swarm& swarm, Bot* bot, std::string text)
{
    if (swarm.measuring) {
        bot->bytesOut += CountFrameBytes(text.size(), true);
        ++bot->messagesOut;
    }
    bot->queue.push_back(std::move(text));
    WriteNext(swarm, bot);
}

static void StartRoom(Swarm& swarm);
static Bot* StartBot(Swarm& swarm, int room, int seat, const std::string& target, int port = 0);

static double ReadMsSince(Clock::time_point then)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - then).count();
}

// A bot in the place of old, which was sent on to port, or lost its relay or could not reach one (port
// 0: the fleet's relay after the one it had, kRejoinEveryMs later).
static void Rejoin(Swarm& swarm, Bot* old, int port)
{
    old->replaced = old->closed = true;
    if (old->attempts >= kRejoinAttempts)
        return;
    int waitMs = 0;
    if (port == 0) {
        const auto at = std::find(old->relays.begin(), old->relays.end(), old->port);
        port = old->relays.empty() ? old->port
                                   : old->relays[at == old->relays.end() ? 0 : (at - old->relays.begin() + 1) % old->relays.size()];
        waitMs = kRejoinEveryMs;
    }
    auto wait = std::make_shared<net::steady_timer>(swarm.io, std::chrono::milliseconds(waitMs));
    wait->async_wait([&swarm, old, port, wait](beast::error_code) {
        Bot* bot = StartBot(swarm, old->room, old->seat, old->target, port);
        bot->code = old->code;
        bot->relays = old->relays;
        bot->setOut = old->setOut;
        bot->rejoining = old->rejoining;
        bot->lastTick = old->lastTick;
        bot->delay = old->delay;
        bot->attempts = old->attempts + 1;
    });
}

// A bot of a lost room has the ticks it missed: its room is back once all three have.
static void NoteRoomBack(Swarm& swarm, Bot* bot, const std::string& log)
{
    const size_t frames = log.find("\nframes ");
    bot->lastTick = frames == std::string::npos ? bot->lastTick : std::atol(log.c_str() + frames + 8);
    bot->rejoining = false;
    bot->attempts = 0;
    ++swarm.roomBack[bot->room];
    swarm.roomResume[bot->room] = std::max(swarm.roomResume[bot->room], ReadMsSince(swarm.killedAt));
}

static void TakeTick(Swarm& swarm, Bot* bot, long tick)
{
    if (bot->rejoining)
        return;  // the log asked for holds it
    if (swarm.measuring) {
        const double since = std::chrono::duration<double>(Clock::now() - swarm.start).count();
        bot->arrivals.push_back(float(since - double(tick) / kTickRate));
        if (bot->lastTick && tick != bot->lastTick + 1)
            bot->gaps += tick - bot->lastTick - 1;
    }
    bot->lastTick = tick;
    static const int kKeys[] = {38, 87, 73};  // each seat's car's forward key
    if (tick % 15 == bot->seat * 5) {
        bot->down = !bot->down;
        Send(swarm, bot, "cmd " + std::to_string(tick + bot->delay) + (bot->down ? " down " : " up ") +
                             std::to_string(kKeys[bot->seat]));
    }
    if (tick % 30 == bot->seat)
        Send(swarm, bot, "hash " + std::to_string(tick) + " 0123456789abcdef");
}

static void TakeMessage(Swarm& swarm, Bot* bot, const std::string& text)
{
    if (swarm.measuring) {
        bot->bytesIn += CountFrameBytes(text.size(), false);
        ++bot->messagesIn;
    }
    if (text.compare(0, 5, "tick ") == 0) {
        TakeTick(swarm, bot, std::atol(text.c_str() + 5));
    } else if (text.compare(0, 5, "ping ") == 0) {
        Send(swarm, bot, "pong " + text.substr(5));
    } else if (text.compare(0, 6, "delay ") == 0) {
        bot->delay = std::atoi(text.c_str() + 6);
        if (bot->delay == kRollback)
            bot->delay = kDefaultAhead;
    } else if (text.compare(0, 6, "ahead ") == 0) {
        bot->delay = std::atoi(text.c_str() + 6);
    } else if (text.compare(0, 6, "moved ") == 0) {
        if (!bot->rejoining)
            swarm.lookups.push_back(ReadMsSince(bot->setOut));
        Rejoin(swarm, bot, std::atoi(text.c_str() + text.rfind(':') + 1));
    } else if (text.compare(0, 4, "log\n") == 0 && bot->rejoining) {
        NoteRoomBack(swarm, bot, text);
    } else if (text.compare(0, 8, "welcome ") == 0 && bot->rejoining) {
        Send(swarm, bot, "log " + std::to_string(bot->lastTick));
    } else if (text.compare(0, 8, "welcome ") == 0) {
        ++swarm.joined;
        // The fleet's relays: the words after the seed.
        for (size_t at = 0, word = 0; (at = text.find(' ', at)) != std::string::npos; ++word)
            if (++at, word >= 4)
                bot->relays.push_back(std::atoi(text.c_str() + text.find(':', at) + 1));
        // The relay seats a room's joiners in the order their handshakes finish, not the order they
        // set out in: a bot that drove the car of the seat it set out for would be refused.
        const size_t seatAt = text.find(' ', 8) + 1;
        bot->seat = std::atoi(text.c_str() + seatAt);
        bot->code = text.substr(8, seatAt - 1 - 8);
        if (bot->seat == 0) {
            // In a fleet, through the next relay, which sends them on.
            const int through = swarm.ports.empty() ? 0 : swarm.ports[(bot->room + 1) % swarm.ports.size()];
            for (int seat = 1; seat < kSeatCount; ++seat)
                StartBot(swarm, bot->room, seat, "/ws?room=" + bot->code, through)->setOut = Clock::now();
        } else if (bot->seat == kSeatCount - 1) {
            StartRoom(swarm);
        }
    } else if (text.compare(0, 8, "refused ") == 0 && swarm.refused.empty()) {
        swarm.refused = text.substr(8);
    }
}

static void ReadNext(Swarm& swarm, Bot* bot)
{
    bot->ws.async_read(bot->buffer, [&swarm, bot](beast::error_code ec, size_t) {
        if (ec && bot->replaced)
            return;
        if (ec && swarm.killed && !bot->code.empty()) {  // its relay lost: the room goes on through the fleet
            bot->rejoining = true;
            bot->target = "/ws?room=" + bot->code + "&seat=" + std::to_string(bot->seat);
            Rejoin(swarm, bot, 0);
            return;
        }
        if (ec) {
            const auto& reason = bot->ws.reason().reason;
            if (!bot->closed && swarm.dropped.empty())
                swarm.dropped = ec == websocket::error::closed ? "closed: " + std::string(reason.data(), reason.size()) : ec.message();
            bot->closed = true;
            return;
        }
        TakeMessage(swarm, bot, beast::buffers_to_string(bot->buffer.data()));
        bot->buffer.consume(bot->buffer.size());
        ReadNext(swarm, bot);
    });
}

// Connects to the relay at port (0: the one relay's).
static Bot* StartBot(Swarm& swarm, int room, int seat, const std::string& target, int port)
{
    swarm.bots.push_back(std::unique_ptr<Bot>(new Bot{websocket::stream<beast::tcp_stream>(swarm.io), {}, room, seat,
                                                      kMinDelay, false, false, false, {}, 0, 0, 0, 0, 0, 0, {},
                                                      0, {}, {}, {}, false, false, 0, {}}));
    Bot* bot = swarm.bots.back().get();
    bot->port = port ? port : swarm.port;
    bot->target = target;
    // A relay that cannot be reached, in a fleet whose relay was lost: the next one.
    const auto failed = [&swarm, bot] {
        if (bot->rejoining)
            Rejoin(swarm, bot, 0);
        else
            bot->closed = true;
    };
    const tcp::endpoint relay(net::ip::make_address("127.0.0.1"), static_cast<unsigned short>(bot->port));
    beast::get_lowest_layer(bot->ws).async_connect(relay, [&swarm, bot, failed](beast::error_code ec) {
        if (ec)
            return failed();
        beast::get_lowest_layer(bot->ws).socket().set_option(tcp::no_delay(true), ec);  // as the programs' sockets
        bot->ws.async_handshake("127.0.0.1:" + std::to_string(bot->port), bot->target, [&swarm, bot, failed](beast::error_code ec) {
            if (ec)
                return failed();
            ReadNext(swarm, bot);
        });
    });
    return bot;
}

static void StartRoom(Swarm& swarm)
{
    if (swarm.roomsStarted < swarm.rooms) {
        const int room = swarm.roomsStarted++;
        StartBot(swarm, room, 0, "/ws", swarm.ports.empty() ? 0 : swarm.ports[room % swarm.ports.size()]);
    }
}

static double ReadProcessSeconds(int pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Fields after the command's closing parenthesis, from the third: user time is the 14th, system the 15th.
    std::vector<std::string> fields;
    std::string field;
    for (size_t i = text.rfind(')') + 2; i < text.size(); ++i) {
        if (text[i] == ' ') {
            fields.push_back(field);
            field.clear();
        } else {
            field += text[i];
        }
    }
    return fields.size() < 13 ? 0 : double(std::atol(fields[11].c_str()) + std::atol(fields[12].c_str())) / sysconf(_SC_CLK_TCK);
}

static CpuTimes ReadCpuTimes(int relayPid)
{
    rusage own;
    getrusage(RUSAGE_SELF, &own);
    const double bots = own.ru_utime.tv_sec + own.ru_utime.tv_usec * 1e-6 + own.ru_stime.tv_sec + own.ru_stime.tv_usec * 1e-6;
    // The machine: every processor's time but idle and waiting for the disk.
    std::ifstream stat("/proc/stat");
    std::string cpu;
    long user, nice, system, idle, iowait, irq, softirq, steal;
    stat >> cpu >> user >> nice >> system >> idle >> iowait >> irq >> softirq >> steal;
    const double machine = double(user + nice + system + irq + softirq + steal) / sysconf(_SC_CLK_TCK);
    return {ReadProcessSeconds(relayPid), bots, machine};
}

static double FindPercentile(const std::vector<float>& sorted, double fraction)
{
    return sorted.empty() ? 0 : sorted[std::min(sorted.size() - 1, size_t(fraction * double(sorted.size())))];
}

static void PrintFigures(Swarm& swarm, double seconds, const CpuTimes& after)
{
    long bytesIn = 0, bytesOut = 0, messagesIn = 0, messagesOut = 0, missed = 0, dropped = 0;
    const long expected = long(seconds * kTickRate);
    std::vector<float> jitter;
    for (const auto& bot : swarm.bots) {
        bytesIn += bot->bytesIn, bytesOut += bot->bytesOut;
        messagesIn += bot->messagesIn, messagesOut += bot->messagesOut;
        // A tick either side of the stretch's ends may fall outside it.
        missed += bot->gaps + std::max(0L, expected - 1 - long(bot->arrivals.size()));
        dropped += bot->closed;
        const float earliest = bot->arrivals.empty() ? 0 : *std::min_element(bot->arrivals.begin(), bot->arrivals.end());
        for (float a : bot->arrivals)
            jitter.push_back((a - earliest) * 1e3f);
    }
    std::sort(jitter.begin(), jitter.end());
    const double perClient = double(swarm.bots.size()) * seconds;
    std::printf("rooms %d clients %zu seconds %.2f in_bytes %.0f out_bytes %.0f in_messages %.1f out_messages %.1f "
                "jitter_p50 %.2f jitter_p99 %.2f jitter_max %.2f missed %ld dropped %ld relay_cpu %.3f bots_cpu %.3f "
                "machine_cpu %.3f\n",
                swarm.rooms, swarm.bots.size(), seconds, bytesIn / perClient, bytesOut / perClient, messagesIn / perClient,
                messagesOut / perClient, FindPercentile(jitter, 0.5), FindPercentile(jitter, 0.99),
                jitter.empty() ? 0 : double(jitter.back()), missed, dropped, (after.relay - swarm.before.relay) / seconds,
                (after.bots - swarm.before.bots) / seconds, (after.machine - swarm.before.machine) / seconds);
    std::fflush(stdout);
    if (dropped)
        std::fprintf(stderr, "relay-bots: %ld clients dropped; the first: %s\n", dropped, swarm.dropped.c_str());
}

static void EndStretch(Swarm& swarm)
{
    swarm.measuring = false;
    const double seconds = std::chrono::duration<double>(Clock::now() - swarm.start).count();
    const CpuTimes after = ReadCpuTimes(swarm.relayPid);
    kill(swarm.relayPid, SIGUSR1);
    PrintFigures(swarm, seconds, after);
    for (const auto& bot : swarm.bots) {
        beast::error_code ignored;
        beast::get_lowest_layer(bot->ws).socket().close(ignored);
    }
    swarm.io.stop();
}

static void StartStretch(Swarm& swarm)
{
    kill(swarm.relayPid, SIGUSR1);
    swarm.before = ReadCpuTimes(swarm.relayPid);
    swarm.start = Clock::now();
    swarm.measuring = true;
    swarm.timer.expires_after(std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(swarm.seconds)));
    swarm.timer.async_wait([&swarm](beast::error_code) { EndStretch(swarm); });
}

static void PrintFleetFigures(Swarm& swarm)
{
    const int relays = int(swarm.ports.size());
    int lost = 0, on = 0;
    std::vector<float> resumes;
    for (int room = 0; room < swarm.rooms; room += relays, ++lost)
        if (swarm.roomBack[room] == kSeatCount) {
            ++on;
            resumes.push_back(float(swarm.roomResume[room]));
        }
    long dropped = 0;
    for (const auto& bot : swarm.bots)
        dropped += bot->closed && !bot->replaced && bot->room % relays != 0;
    std::vector<float> lookups(swarm.lookups.begin(), swarm.lookups.end());
    std::sort(resumes.begin(), resumes.end());
    std::sort(lookups.begin(), lookups.end());
    std::printf("rooms %d lost_rooms %d rooms_on %d resume_p50 %.0f resume_p99 %.0f lookup_p50 %.2f lookup_p99 %.2f "
                "dropped %ld\n",
                swarm.rooms, lost, on, FindPercentile(resumes, 0.5), FindPercentile(resumes, 0.99),
                FindPercentile(lookups, 0.5), FindPercentile(lookups, 0.99), dropped);
    std::fflush(stdout);
    swarm.io.stop();
}

// Every bot in and settled: the first relay is killed, and its rooms have SECONDS to come back.
static void KillRelay(Swarm& swarm)
{
    swarm.killed = true;
    swarm.killedAt = Clock::now();
    kill(swarm.killPid, SIGKILL);
    swarm.timer.expires_after(std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(swarm.seconds)));
    swarm.timer.async_wait([&swarm](beast::error_code) { PrintFleetFigures(swarm); });
}

// Every bot in by the deadline, then the stretch after a second to settle; or the reason it failed.
static void WaitForJoins(Swarm& swarm, Clock::time_point deadline)
{
    swarm.timer.expires_after(std::chrono::milliseconds(20));
    swarm.timer.async_wait([&swarm, deadline](beast::error_code) {
        if (swarm.joined == swarm.rooms * kSeatCount) {
            swarm.timer.expires_after(std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(kSettleSeconds)));
            swarm.timer.async_wait([&swarm](beast::error_code) {
                if (swarm.ports.empty())
                    StartStretch(swarm);
                else
                    KillRelay(swarm);
            });
        } else if (Clock::now() > deadline) {
            std::fprintf(stderr, "relay-bots: %d of %d clients in after %.0f s%s%s\n", swarm.joined, swarm.rooms * kSeatCount,
                         kJoinSeconds, swarm.refused.empty() ? "" : "; the relay refused: ", swarm.refused.c_str());
            swarm.io.stop();
        } else {
            WaitForJoins(swarm, deadline);
        }
    });
}

int main(int argc, char** argv)
{
    if (argc > 5 && std::string(argv[1]) == "--fleet") {
        Swarm swarm;
        swarm.killPid = std::atoi(argv[2]);
        swarm.rooms = std::atoi(argv[3]);
        swarm.seconds = std::atof(argv[4]);
        for (int i = 5; i < argc; ++i)
            swarm.ports.push_back(std::atoi(argv[i]));
        swarm.port = swarm.ports[0];
        for (int r = 0; r < kRoomsJoiningAtOnce; ++r)
            StartRoom(swarm);
        WaitForJoins(swarm, Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(kJoinSeconds)));
        swarm.io.run();
        return swarm.killed ? 0 : 1;
    }
    if (argc != 5) {
        std::fprintf(stderr, "usage: relay-bots PORT RELAY-PID ROOMS SECONDS\n       relay-bots --fleet KILL-PID ROOMS SECONDS PORT...\n");
        return 2;
    }
    Swarm swarm;
    swarm.port = std::atoi(argv[1]);
    swarm.relayPid = std::atoi(argv[2]);
    swarm.rooms = std::atoi(argv[3]);
    swarm.seconds = std::atof(argv[4]);
    if (swarm.port <= 0 || swarm.relayPid <= 0 || swarm.rooms <= 0 || swarm.seconds <= 0) {
        std::fprintf(stderr, "usage: relay-bots PORT RELAY-PID ROOMS SECONDS\n       relay-bots --fleet KILL-PID ROOMS SECONDS PORT...\n");
        return 2;
    }
    for (int r = 0; r < kRoomsJoiningAtOnce; ++r)
        StartRoom(swarm);
    WaitForJoins(swarm, Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(kJoinSeconds)));
    swarm.io.run();
    return swarm.joined < swarm.rooms * kSeatCount ? 1 : 0;
}
