// The sockets, on Boost.Beast and Asio, in one thread: HTTP for the page, WebSockets for the rooms,
// and a timer for each phase of a tick, which sends the ticks of the rooms on it. What happens in a room is Room.cpp's.
#include "relay/Server.h"

#include <algorithm>
#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>

#include "net/MessageWords.h"
#include "record/KeyScript.h"
#include "relay/Fleet.h"
#include "relay/Room.h"

namespace net = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
namespace websocket = beast::websocket;
namespace fs = std::filesystem;
using tcp = net::ip::tcp;

constexpr size_t kMaxQueuedMessages = 600;  // a client that reads this far behind is let go
// Rooms start on one of this many phases of a tick, so that the ticks of the rooms on a phase fall
// due together and go out in one wake-up of the relay, from one timer, not one each: a wake-up and
// a timer cost more than a room's tick. A phase is about a millisecond, and a room keeps its phase.
constexpr int kTickPhases = 32;
constexpr int kHttpSeconds = 30;

struct Connection {
    websocket::stream<tcp::socket> ws;  // no tcp_stream: the WebSocket times itself out, and a tick is one write
    beast::flat_buffer buffer;
    long id;
    std::string room;
    std::string address;
    std::deque<std::shared_ptr<const std::string>> queue;
    bool writing;
    std::optional<websocket::close_reason> closing;  // closes once the queue is sent
    bool gone;
};

struct HostedRoom {
    Room room;
    int phase;
    size_t storedBytes;  // of its log, in the fleet's map
};

struct TickPhase {
    std::unique_ptr<net::steady_timer> timer;  // waits while there are rooms
    std::vector<HostedRoom*> rooms;             // in the order they opened
};

struct Relay {
    RelayOptions options;
    net::io_context io;
    std::map<std::string, HostedRoom> rooms;
    std::vector<TickPhase> phases;  // kTickPhases
    std::map<long, std::shared_ptr<Connection>> connections;
    std::map<std::string, int> perAddress;  // open WebSockets by the address they come from
    long nextClient = 1;
    TickLateness lateness;  // since the start, or since the last SIGUSR1
    RelayTime started = RelayClock::now();
    RelayTime fastUntil;  // with --fast-ticks, once the first room is open: when the rooms' clock slows
    bool inFleet = false;  // --redis
    Fleet fleet = {};
    std::unique_ptr<net::steady_timer> fleetTimer;
    std::string relays;  // the fleet's, as a welcome names them
};

// The rooms' clock. With --tick-hz above kTickRate it runs that much faster than the real one, so
// that everything a room times (ticks, a silent seat, pings, its end) comes sooner alike; with
// --fast-ticks, only for that many ticks' time from the first room's opening, and at the real rate
// after. This is how long it runs fast, in real time from the start.
static RelayClock::duration FindFastStretch(const Relay& relay)
{
    return relay.fastUntil == RelayTime{} ? RelayClock::duration::max() / kMaxTickHz : relay.fastUntil - relay.started;
}

static RelayTime ReadRoomClock(const Relay& relay)
{
    const RelayClock::duration real = RelayClock::now() - relay.started, fast = std::min(real, FindFastStretch(relay));
    return relay.started + fast * relay.options.tickHz / kTickRate + (real - fast);
}

static RelayTime FindRealTime(const Relay& relay, RelayTime roomTime)
{
    const RelayClock::duration room = roomTime - relay.started;
    const RelayClock::duration fast = std::min(room, FindFastStretch(relay) * relay.options.tickHz / kTickRate);
    return relay.started + fast * kTickRate / relay.options.tickHz + (room - fast);
}

using ConnectionPtr = std::shared_ptr<Connection>;

static void WriteNext(Relay& relay, const ConnectionPtr& c);

static void Send(Relay& relay, const ConnectionPtr& c, std::shared_ptr<const std::string> text)
{
    if (c->gone || c->closing)
        return;
    if (c->queue.size() >= kMaxQueuedMessages) {
        c->gone = true;
        c->ws.next_layer().close();
        return;
    }
    c->queue.push_back(std::move(text));
    WriteNext(relay, c);
}

static void Close(Relay& relay, const ConnectionPtr& c, websocket::close_code code, const std::string& reason)
{
    if (c->gone || c->closing)
        return;
    c->closing = websocket::close_reason(code, reason.substr(0, 120));
    WriteNext(relay, c);
}

static void WriteNext(Relay& relay, const ConnectionPtr& c)
{
    if (c->writing || c->gone)
        return;
    if (c->queue.empty()) {
        if (c->closing) {
            c->writing = true;
            c->ws.async_close(*c->closing, [c](beast::error_code) { c->gone = true; });
        }
        return;
    }
    c->writing = true;
    c->ws.text(true);
    c->ws.async_write(net::buffer(*c->queue.front()), [&relay, c](beast::error_code ec, size_t) {
        c->writing = false;
        c->queue.pop_front();
        if (ec) {
            c->gone = true;
            return;
        }
        WriteNext(relay, c);
    });
}

static void Deliver(Relay& relay, HostedRoom& hosted, std::vector<Outgoing>& out)
{
    for (Outgoing& o : out) {
        auto text = std::make_shared<const std::string>(std::move(o.text));
        for (const RoomClient& rc : hosted.room.clients) {
            if (o.client != kEveryClient && o.client != rc.id)
                continue;
            auto found = relay.connections.find(rc.id);
            if (found == relay.connections.end())
                continue;
            if (o.close)
                Close(relay, found->second, websocket::close_code::policy_error, *text);
            else
                Send(relay, found->second, text);
        }
    }
    out.clear();
    // A seat asked for its world may send an offer's size, once; everyone else a message's.
    for (const RoomClient& rc : hosted.room.clients) {
        auto found = relay.connections.find(rc.id);
        if (found != relay.connections.end())
            found->second->ws.read_message_max(rc.mayOffer ? kMaxOfferBytes : kMaxMessageBytes);
    }
}

static void WriteRoomLog(const Relay& relay, const Room& room)
{
    if (relay.options.logDir.empty())
        return;
    const fs::path path = fs::path(relay.options.logDir) / (room.code + ".keys");
    const fs::path temporary = path.string() + ".part";
    const std::string text = WriteRoomRecording(room);
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    int failure = file ? 0 : errno;
    if (file && std::fwrite(text.data(), 1, text.size(), file) != text.size())
        failure = errno;
    if (file && std::fclose(file) != 0 && !failure)
        failure = errno;
    if (failure) {
        std::fprintf(stderr, "kelvaron-relay: room %s: cannot write %s: %s\n", room.code.c_str(), temporary.c_str(),
                     std::strerror(failure));
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return;
    }
    std::error_code ec;
    fs::rename(temporary, path, ec);
    if (ec)
        std::fprintf(stderr, "kelvaron-relay: room %s: cannot write %s: %s\n", room.code.c_str(), path.c_str(),
                     ec.message().c_str());
    else
        std::fprintf(stderr, "kelvaron-relay: room %s: its %ld ticks are in %s\n", room.code.c_str(), room.tick, path.c_str());
}

static void DropRoom(Relay& relay, std::map<std::string, HostedRoom>::iterator found)
{
    std::vector<HostedRoom*>& phase = relay.phases[found->second.phase].rooms;
    phase.erase(std::find(phase.begin(), phase.end(), &found->second));
    relay.rooms.erase(found);
}

// In a fleet, a room ended with no one in it is forgotten; one with people in it, at the relay's own
// end, is left for another relay to take over as they come back through the fleet.
static void EndRoom(Relay& relay, const std::string& code)
{
    auto found = relay.rooms.find(code);
    const Room& room = found->second.room;
    std::fprintf(stderr, "kelvaron-relay: room %s ended at tick %ld; %ld messages not taken, %ld commands late\n",
                 code.c_str(), room.tick, room.ignored, room.moved);
    WriteRoomLog(relay, room);
    if (relay.inFleet && room.clients.empty())
        ForgetRoom(relay.fleet, code);
    else if (relay.inFleet)
        ReleaseRoom(relay.fleet, code);
    DropRoom(relay, found);
}

// Another relay holds the room now: its clients' connections are cut, not closed, so that they come
// back through the fleet and are sent there.
static void LoseRoom(Relay& relay, const std::string& code)
{
    auto found = relay.rooms.find(code);
    std::fprintf(stderr, "kelvaron-relay: room %s is held by another relay of the fleet now\n", code.c_str());
    for (const RoomClient& rc : found->second.room.clients) {
        auto c = relay.connections.find(rc.id);
        if (c != relay.connections.end()) {
            c->second->gone = true;
            beast::error_code ignored;
            c->second->ws.next_layer().close(ignored);
        }
    }
    DropRoom(relay, found);
}

// The ticks just run go to the fleet's map before they go out; a room another relay holds now is let go.
static void StoreRanTicks(Relay& relay, std::vector<std::pair<HostedRoom*, std::vector<Outgoing>>>& ran)
{
    std::vector<std::string> codes, lines;
    std::vector<long> ticks;
    for (const auto& r : ran) {
        codes.push_back(r.first->room.code);
        ticks.push_back(r.first->room.tick);
        lines.push_back(r.first->room.log.substr(std::min(r.first->storedBytes, r.first->room.log.size())));
    }
    const std::vector<FleetLease> leases = StoreTicks(relay.fleet, codes, ticks, lines);
    for (size_t i = 0; i < ran.size(); ++i) {
        if (leases[i] == FleetLease::kOurs)
            ran[i].first->storedBytes = ran[i].first->room.log.size();
        relay.fleet.registerAll |= leases[i] == FleetLease::kAbsent;
        if (leases[i] == FleetLease::kLost) {
            LoseRoom(relay, codes[i]);
            ran[i].first = nullptr;
        }
    }
}

static void RunPhase(Relay& relay, int index);

// The rooms on a phase have their ticks at the same moments: the timer waits for the next.
static void SchedulePhase(Relay& relay, int index)
{
    TickPhase& phase = relay.phases[index];
    RelayTime next = RelayTime::max();
    for (const HostedRoom* hosted : phase.rooms)
        next = std::min(next, FindTickTime(hosted->room, hosted->room.tick + 1));
    phase.timer->expires_at(FindRealTime(relay, next));
    phase.timer->async_wait([&relay, index](beast::error_code ec) {
        if (!ec)
            RunPhase(relay, index);
    });
}

static void RunPhase(Relay& relay, int index)
{
    std::vector<HostedRoom*>& rooms = relay.phases[index].rooms;
    std::vector<Outgoing> out;
    // In a fleet each room's messages wait until its ticks are in the map; alone they go out at once.
    std::vector<std::pair<HostedRoom*, std::vector<Outgoing>>> ran;
    for (size_t i = 0; i < rooms.size();) {
        HostedRoom& hosted = *rooms[i];
        // Each room's own moment, so that its lateness counts the rooms before it on the phase.
        const RelayTime now = ReadRoomClock(relay);
        if (IsRoomOver(hosted.room, now)) {
            EndRoom(relay, hosted.room.code);  // which takes it off the phase
            continue;
        }
        if (relay.inFleet) {
            ran.push_back({&hosted, {}});
            RunRoom(hosted.room, now, ran.back().second, relay.lateness);
        } else {
            RunRoom(hosted.room, now, out, relay.lateness);
            Deliver(relay, hosted, out);
        }
        ++i;
    }
    if (relay.inFleet)
        StoreRanTicks(relay, ran);
    for (auto& r : ran)
        if (r.first)
            Deliver(relay, *r.first, r.second);
    if (!rooms.empty())
        SchedulePhase(relay, index);
}

// The first phase of a tick at or after now, on the rooms' clock, and its index: phases counted
// from the relay's start, each second's from its beginning, so that the ticks of rooms on one phase
// fall at the same moments (FindTickTime's rounding repeats every second) however long apart the
// rooms opened.
static RelayTime FindNextPhase(const Relay& relay, RelayTime now, int& index)
{
    constexpr long long kSecond = 1000000000, kPerSecond = kTickRate * kTickPhases;
    const long long since = std::chrono::duration_cast<std::chrono::nanoseconds>(now - relay.started).count();
    const long long phase = ((since % kSecond) * kPerSecond + kSecond - 1) / kSecond;
    index = int(phase % kTickPhases);
    return relay.started + std::chrono::nanoseconds(since / kSecond * kSecond + phase * kSecond / kPerSecond);
}

// A room, new or taken over, on the next phase of a tick.
static HostedRoom& HostRoom(Relay& relay, Room room, int index)
{
    const std::string code = room.code;
    room.relays = relay.relays;
    HostedRoom& hosted = relay.rooms.emplace(code, HostedRoom{std::move(room), index, 0}).first->second;
    TickPhase& phase = relay.phases[index];
    phase.rooms.push_back(&hosted);
    if (phase.rooms.size() == 1)
        SchedulePhase(relay, index);
    return hosted;
}

// Registered in the fleet's map, a code no relay of it uses; when the map cannot be reached, once it can.
static std::string OpenNewRoom(Relay& relay, int leastDelay)
{
    const uint32_t seed = MakeRoomSeed();
    std::string code = MakeRoomCode();
    while (relay.rooms.count(code) ||
           (relay.inFleet && RegisterRoom(relay.fleet, code, {seed, leastDelay, 0, ""}, true) == FleetLease::kLost))
        code = MakeRoomCode();
    relay.fleet.registerAll |= relay.inFleet && !relay.fleet.redis;
    if (relay.options.fastTicks && relay.fastUntil == RelayTime{})
        relay.fastUntil = RelayClock::now() + std::chrono::nanoseconds(relay.options.fastTicks * 1000000000L / relay.options.tickHz);
    int index;
    const RelayTime start = FindNextPhase(relay, ReadRoomClock(relay), index);
    HostRoom(relay, OpenRoom(code, seed, start, leastDelay), index);
    if (leastDelay == kRollback)
        std::fprintf(stderr, "kelvaron-relay: room %s opened\n", code.c_str());
    else
        std::fprintf(stderr, "kelvaron-relay: room %s opened with an input delay of at least %d ticks\n", code.c_str(),
                     leastDelay);
    return code;
}

// A room of the fleet this relay does not hold: the client is sent to the relay that does, or the
// room, its holder gone, goes on here from the fleet's tick and log; or, when Redis cannot be asked,
// let go without a refusal. False when the fleet has no such room.
static bool FindFleetRoom(Relay& relay, const ConnectionPtr& c, const std::string& code)
{
    std::string owner;
    FleetRoom kept;
    const FleetAnswer answer = relay.inFleet ? ClaimRoom(relay.fleet, code, owner, kept) : FleetAnswer::kNoRoom;
    if (answer == FleetAnswer::kHeld && owner != relay.fleet.self) {
        Send(relay, c, std::make_shared<const std::string>(std::string(kMovedWord) + " " + owner));
        Close(relay, c, websocket::close_code::normal, "the room is at " + owner);
        return true;
    }
    if (answer == FleetAnswer::kDown) {  // no refusal: a client coming back through the fleet tries again
        Close(relay, c, websocket::close_code::try_again_later, "the fleet's room map cannot be reached now");
        return true;
    }
    if (answer != FleetAnswer::kClaimed)
        return false;
    int index;
    const RelayTime start = FindNextPhase(relay, ReadRoomClock(relay), index);
    HostedRoom& hosted = HostRoom(relay, ResumeRoom(code, kept.seed, start, kept.delay, kept.tick, kept.log), index);
    hosted.storedBytes = kept.log.size();
    std::fprintf(stderr, "kelvaron-relay: room %s taken over from the fleet at tick %ld\n", code.c_str(), kept.tick);
    return false;
}

static void ReadNext(Relay& relay, const ConnectionPtr& c)
{
    c->ws.async_read(c->buffer, [&relay, c](beast::error_code ec, size_t) {
        auto hosted = relay.rooms.find(c->room);
        const RelayTime now = ReadRoomClock(relay);
        if (ec || c->gone) {
            if (relay.connections.erase(c->id) && --relay.perAddress[c->address] == 0)
                relay.perAddress.erase(c->address);
            if (hosted != relay.rooms.end())
                LeaveRoom(hosted->second.room, c->id, now);
            return;
        }
        std::vector<Outgoing> out;
        if (!c->ws.got_text())
            out.push_back({c->id, "binary messages are not taken", true});
        else if (hosted != relay.rooms.end())
            TakeClientMessage(hosted->second.room, c->id, beast::buffers_to_string(c->buffer.data()), now, out);
        c->buffer.consume(c->buffer.size());
        if (hosted != relay.rooms.end())
            Deliver(relay, hosted->second, out);
        ReadNext(relay, c);
    });
}

// The query's value for key, or empty.
static std::string FindQueryValue(const std::string& query, const std::string& key)
{
    std::istringstream in(query);
    for (std::string pair; std::getline(in, pair, '&');)
        if (pair.compare(0, key.size() + 1, key + "=") == 0)
            return pair.substr(key.size() + 1);
    return "";
}

static void RefuseConnection(Relay& relay, const ConnectionPtr& c, const std::string& why)
{
    Send(relay, c, std::make_shared<const std::string>(std::string(kRefusedWord) + " " + why));
    Close(relay, c, websocket::close_code::policy_error, why);
}

// This relay's presence renewed, and the fleet's relays read back for the welcomes; false when Redis
// cannot be reached.
static bool NoteFleet(Relay& relay)
{
    if (!RenewPresence(relay.fleet))
        return false;
    std::vector<std::string> relays = relay.fleet.relays;
    std::sort(relays.begin(), relays.end());
    relay.relays.clear();
    for (size_t i = 0; i < relays.size() && i < size_t(kMaxFleetNamed); ++i)
        relay.relays += " " + relays[i];
    for (auto& [code, hosted] : relay.rooms)
        hosted.room.relays = relay.relays;
    return true;
}

static void AcceptWebSocket(Relay& relay, tcp::socket socket, http::request<http::string_body> request,
                            const std::string& query)
{
    // Built in place: a stream and its buffers do not move.
    beast::error_code unknown;
    const std::string address = socket.remote_endpoint(unknown).address().to_string();
    ConnectionPtr c(new Connection{websocket::stream<tcp::socket>(std::move(socket)), {}, relay.nextClient++, "", address,
                                   {}, false, std::nullopt, false});
    c->ws.set_option(websocket::stream_base::timeout::suggested(beast::role_type::server));
    c->ws.read_message_max(kMaxMessageBytes);
    c->ws.async_accept(request, [&relay, c, query](beast::error_code ec) {
        if (ec)
            return;
        relay.connections[c->id] = c;
        ++relay.perAddress[c->address];
        ReadNext(relay, c);
        if (relay.perAddress[c->address] > relay.options.maxPerAddress)
            return RefuseConnection(relay, c, "too many connections from " + c->address);
        // A client names its protocol and physics; the relay's tests and bots, which run no world, need not.
        const std::string protocol = FindQueryValue(query, kProtocolKey), physics = FindQueryValue(query, kPhysicsKey);
        if (!protocol.empty() && protocol != std::to_string(kRelayProtocol))
            return RefuseConnection(relay, c, "this relay speaks protocol " + std::to_string(kRelayProtocol) +
                                                  " and the client " + protocol.substr(0, 8) +
                                                  ": the older of the two needs updating");
        if (!physics.empty() && physics != DescribePhysicsWord())
            return RefuseConnection(relay, c, "the room's world runs on " + DescribePhysicsWord() + " and the client's on " +
                                                  physics.substr(0, 40) + ": their worlds would part");
        std::string code = FindQueryValue(query, kRoomKey);
        if (code.empty()) {
            const std::string delay = FindQueryValue(query, kDelayKey);
            const int least = delay.size() == 1 ? delay[0] - '0' : delay.empty() ? kRollback : -1;
            if (least != kRollback && (least < kMinDelay || least > kMaxDelay))
                return RefuseConnection(relay, c, "a room's delay is " + std::to_string(kMinDelay) + " to " +
                                                      std::to_string(kMaxDelay) + " ticks, not " + delay.substr(0, 8));
            if (relay.rooms.size() >= size_t(kMaxRooms))
                return RefuseConnection(relay, c, "the relay has as many rooms as it takes");
            code = OpenNewRoom(relay, least);
        }
        if (!relay.rooms.count(code) && IsRoomCode(code) && FindFleetRoom(relay, c, code))
            return;
        auto hosted = relay.rooms.find(code);
        if (hosted == relay.rooms.end())
            return RefuseConnection(relay, c, "no room " + code.substr(0, 40) + " here: check the link");
        c->room = code;
        if (relay.inFleet)
            NoteFleet(relay);  // the relays up now, to come back through should this one go
        const std::string seat = FindQueryValue(query, kSeatKey);
        const int wanted = seat.size() == 1 && seat[0] >= '0' && seat[0] < '0' + kSeatCount ? seat[0] - '0' : -1;
        std::vector<Outgoing> out;
        JoinRoom(hosted->second.room, c->id, wanted, FindQueryValue(query, kWatchKey) == "1", ReadRoomClock(relay), out);
        Deliver(relay, hosted->second, out);
    });
}

static const char* FindContentType(const fs::path& path)
{
    static const struct { const char* extension; const char* type; } kTypes[] = {
        {".html", "text/html; charset=utf-8"},   {".js", "text/javascript"},       {".wasm", "application/wasm"},
        {".json", "application/json"},           {".webmanifest", "application/manifest+json"},
        {".keys", "text/plain; charset=utf-8"},  {".css", "text/css"},             {".svg", "image/svg+xml"},
        {".png", "image/png"},                   {".txt", "text/plain; charset=utf-8"}};
    for (const auto& t : kTypes)
        if (path.extension() == t.extension)
            return t.type;
    return "application/octet-stream";
}

// The page's file that target names, or empty: nothing outside the page's folder, no folder itself.
static fs::path FindPageFile(const std::string& page, const std::string& target)
{
    const std::string path = target.substr(0, target.find('?'));
    if (path.empty() || path[0] != '/' || path.find("..") != std::string::npos ||
        path.find_first_of("\\%\0", 0, 3) != std::string::npos)
        return {};
    std::error_code ec;
    const fs::path root = fs::canonical(page, ec);
    if (ec)
        return {};
    const fs::path file = fs::weakly_canonical(root / (path == "/" ? "index.html" : path.substr(1)), ec);
    const std::string inside = root.string() + "/";
    if (ec || file.string().compare(0, inside.size(), inside) != 0 || !fs::is_regular_file(file, ec))
        return {};
    return file;
}

static http::response<http::string_body> AnswerRequest(const Relay& relay, const http::request<http::string_body>& request)
{
    http::response<http::string_body> response(http::status::ok, request.version());
    response.set(http::field::server, "kelvaron-relay");
    response.keep_alive(request.keep_alive());
    const std::string target(request.target());
    fs::path file;
    if (request.method() != http::verb::get && request.method() != http::verb::head) {
        response.result(http::status::method_not_allowed);
        response.body() = "only GET and HEAD\n";
    } else if (target.substr(0, target.find('?')) == kRoomsPath) {
        response.result(http::status::bad_request);
        response.body() = std::string(kRoomsPath) + " is a WebSocket\n";
    } else if ((file = FindPageFile(relay.options.page, target)).empty()) {
        response.result(http::status::not_found);
        response.body() = "not found\n";
    } else {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream body;
        body << in.rdbuf();
        response.body() = body.str();
        response.set(http::field::content_type, FindContentType(file));
    }
    if (response.result() != http::status::ok)
        response.set(http::field::content_type, "text/plain; charset=utf-8");
    response.prepare_payload();
    if (request.method() == http::verb::head)
        response.body().clear();
    return response;
}

struct HttpSession {
    beast::tcp_stream stream;
    beast::flat_buffer buffer;
    std::optional<http::request_parser<http::string_body>> parser;
    http::response<http::string_body> response;
};

static void ReadRequest(Relay& relay, const std::shared_ptr<HttpSession>& s)
{
    s->parser.emplace();
    s->parser->header_limit(8192);
    s->parser->body_limit(1024);
    s->stream.expires_after(std::chrono::seconds(kHttpSeconds));
    http::async_read(s->stream, s->buffer, *s->parser, [&relay, s](beast::error_code ec, size_t) {
        if (ec)
            return;
        http::request<http::string_body> request = s->parser->release();
        const std::string target(request.target());
        const std::string path = target.substr(0, target.find('?'));
        if (websocket::is_upgrade(request) && path == kRoomsPath) {
            const size_t mark = target.find('?');
            AcceptWebSocket(relay, s->stream.release_socket(), std::move(request),
                            mark == std::string::npos ? "" : target.substr(mark + 1));
            return;
        }
        s->response = AnswerRequest(relay, request);
        http::async_write(s->stream, s->response, [&relay, s](beast::error_code ec, size_t) {
            if (ec || !s->response.keep_alive()) {
                s->stream.socket().shutdown(tcp::socket::shutdown_send, ec);
                return;
            }
            ReadRequest(relay, s);
        });
    });
}

static void AcceptNext(Relay& relay, tcp::acceptor& acceptor)
{
    acceptor.async_accept([&relay, &acceptor](beast::error_code ec, tcp::socket socket) {
        if (!ec) {
            // A tick is a few bytes that must go at once, not wait for the client's acknowledgement
            // of the last (up to 40 ms of delayed ACK).
            socket.set_option(tcp::no_delay(true), ec);
            ReadRequest(relay, std::shared_ptr<HttpSession>(new HttpSession{beast::tcp_stream(std::move(socket)), {}, {}, {}}));
            AcceptNext(relay, acceptor);
            return;
        }
        // Out of descriptors, most likely: the rooms go on, and the next connection is tried a
        // moment later rather than at once and forever.
        auto pause = std::make_shared<net::steady_timer>(relay.io, std::chrono::milliseconds(100));
        pause->async_wait([&relay, &acceptor, pause](beast::error_code) { AcceptNext(relay, acceptor); });
    });
}

// Every kFleetRenewMs of real time: this relay's presence and its rooms' leases renewed, and the
// fleet's relays read for the welcomes; once Redis is back (restarted, it holds nothing), every room
// held here is written whole again.
static void RenewFleet(Relay& relay)
{
    Fleet& fleet = relay.fleet;
    ConnectFleet(fleet);
    if (NoteFleet(relay)) {
        std::vector<std::string> codes, lost;
        for (const auto& entry : relay.rooms)
            codes.push_back(entry.first);
        const bool all = fleet.registerAll;
        fleet.registerAll = false;
        std::vector<FleetLease> leases;
        if (all) {
            for (auto& [code, hosted] : relay.rooms) {
                const Room& room = hosted.room;
                leases.push_back(RegisterRoom(fleet, code, {room.seed, room.leastDelay, room.tick, room.log}, false));
                if (leases.back() == FleetLease::kOurs)
                    hosted.storedBytes = room.log.size();
            }
            if (!codes.empty())
                std::fprintf(stderr, "kelvaron-relay: %zu rooms registered in the fleet's map\n", codes.size());
        } else {
            leases = RenewLeases(fleet, codes);
        }
        for (size_t i = 0; i < leases.size(); ++i) {
            fleet.registerAll |= leases[i] == FleetLease::kAbsent || (all && leases[i] == FleetLease::kDown);
            if (leases[i] == FleetLease::kLost)
                lost.push_back(codes[i]);
        }
        for (const std::string& code : lost)
            LoseRoom(relay, code);
    }
    relay.fleetTimer->expires_after(std::chrono::milliseconds(kFleetRenewMs));
    relay.fleetTimer->async_wait([&relay](beast::error_code ec) {
        if (!ec)
            RenewFleet(relay);
    });
}

// In real milliseconds, whatever the rooms' clock.
static void PrintLateness(const Relay& relay)
{
    const TickLateness& lateness = relay.lateness;
    if (lateness.count == 0)
        return;
    const double ms = 1e3 * kTickRate / relay.options.tickHz;
    std::fprintf(stderr, "kelvaron-relay: %ld ticks; lateness median %.2f ms, 99th %.2f ms, max %.2f ms\n", lateness.count,
                 FindLatenessPercentile(lateness, 0.5) * ms, FindLatenessPercentile(lateness, 0.99) * ms, lateness.max * ms);
}

// SIGUSR1: the lateness so far, then counted afresh, so that a stretch of a long run can be measured.
static void ReportOnSignal(Relay& relay, net::signal_set& report)
{
    report.async_wait([&relay, &report](beast::error_code ec, int) {
        if (ec)
            return;
        PrintLateness(relay);
        relay.lateness = TickLateness{};
        ReportOnSignal(relay, report);
    });
}

int RunRelay(const RelayOptions& options)
{
    Relay relay;
    relay.options = options;
    for (int i = 0; i < kTickPhases; ++i)
        relay.phases.push_back({std::make_unique<net::steady_timer>(relay.io), {}});
    beast::error_code ec;
    const auto address = net::ip::make_address(options.bind.empty() ? "0.0.0.0" : options.bind, ec);
    if (ec) {
        std::fprintf(stderr, "kelvaron-relay: --bind takes an IP address, not %s\n", options.bind.c_str());
        return 2;
    }
    std::error_code noFolder;  // as mkdir -p: a missing log folder would lose every room at its end
    if (!options.logDir.empty())
        fs::create_directories(options.logDir, noFolder);
    if (noFolder) {
        std::fprintf(stderr, "kelvaron-relay: cannot make the log folder %s: %s\n", options.logDir.c_str(),
                     noFolder.message().c_str());
        return 1;
    }
    tcp::acceptor acceptor(relay.io);
    const tcp::endpoint endpoint(address, static_cast<unsigned short>(options.port));
    acceptor.open(endpoint.protocol(), ec);
    if (!ec)
        acceptor.set_option(net::socket_base::reuse_address(true), ec);
    if (!ec)
        acceptor.bind(endpoint, ec);
    if (!ec)
        acceptor.listen(net::socket_base::max_listen_connections, ec);
    if (ec) {
        std::fprintf(stderr, "kelvaron-relay: cannot listen on %s port %d: %s\n", address.to_string().c_str(), options.port,
                     ec.message().c_str());
        return 1;
    }
    std::error_code noPage;
    if (!fs::is_regular_file(fs::path(options.page) / "index.html", noPage))
        std::fprintf(stderr, "kelvaron-relay: no page in %s: only rooms are served (--page DIR)\n", options.page.c_str());
    if (!options.redis.empty()) {
        std::string error;
        relay.inFleet = ReadRedisUrl(options.redis, relay.fleet, error);
        const std::string host = address.is_v6() ? "[" + address.to_string() + "]" : address.to_string();
        relay.fleet.self = !options.publicAddress.empty() ? options.publicAddress
                                                          : host + ":" + std::to_string(acceptor.local_endpoint().port());
        std::string publicHost;
        int publicPort;
        if (relay.inFleet && !ReadRelayWord(relay.fleet.self, publicHost, publicPort))
            error = "--public takes HOST:PORT, not " + options.publicAddress;
        else if (relay.inFleet && options.publicAddress.empty() && address.is_unspecified())
            error = "in a fleet, --bind ADDR or --public HOST:PORT says where clients reach this relay";
        if (!error.empty()) {
            std::fprintf(stderr, "kelvaron-relay: %s\n", error.c_str());
            return 2;
        }
        std::signal(SIGPIPE, SIG_IGN);  // hiredis writes with write(): a Redis gone must not end the relay
        relay.fleetTimer = std::make_unique<net::steady_timer>(relay.io);
        RenewFleet(relay);
        if (!relay.fleet.redis)
            std::fprintf(stderr, "kelvaron-relay: cannot reach Redis at %s: trying again every %d ms\n",
                         options.redis.c_str(), kFleetRenewMs);
    }
    std::printf("kelvaron-relay: serving http://%s:%d/\n", address.to_string().c_str(), acceptor.local_endpoint().port());
    std::fflush(stdout);
    AcceptNext(relay, acceptor);
    net::signal_set report(relay.io, SIGUSR1);
    ReportOnSignal(relay, report);
    net::signal_set signals(relay.io, SIGINT, SIGTERM);
    signals.async_wait([&relay](beast::error_code, int) {
        while (!relay.rooms.empty())
            EndRoom(relay, relay.rooms.begin()->first);
        PrintLateness(relay);
        relay.io.stop();
    });
    relay.io.run();
    CloseFleet(relay.fleet);
    return 0;
}
