// The relay as clients meet it: a real process on 127.0.0.1, real WebSockets, its real clock.
#include <doctest/doctest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <random>
#include <sstream>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "RelayClient.h"
#include "record/KeyScript.h"
#include "net/Protocol.h"

namespace fs = std::filesystem;

struct Welcome {
    std::string room;
    int seat;
    long tick;
    long seed;
};

static fs::path MakeScratch(const char* name)
{
    const fs::path dir = fs::current_path() / "relay-scratch" / name;  // in the build tree, kept for a look after
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

// The rooms' test clock for cases that wait out a room's seconds (a silent seat, a room's end, a
// client's run): four times as fast, so that a slow machine's delays still count for few ticks.
static const char* const kFastTickHz = "120";

static RelayProcess StartTestRelay(const fs::path& scratch, std::vector<std::string> args = {})
{
    RelayProcess relay;
    args.insert(args.begin(), {"--page", (scratch / "page").string()});
    REQUIRE(StartRelay(KELVARON_RELAY, args, (scratch / "relay.err").string(), relay));
    return relay;
}

static RelayClient* Join(int port, const std::string& target, Welcome& welcome)
{
    RelayClient* client = ConnectClient(port, target);
    REQUIRE(client);
    std::string text;
    REQUIRE(ReadMessageStarting(client, "welcome ", text, 2));
    std::istringstream in(text.substr(8));
    REQUIRE((in >> welcome.room >> welcome.seat >> welcome.tick >> welcome.seed));
    REQUIRE(ReadMessageStarting(client, "delay ", text, 2));
    return client;
}

static long ReadTickNumber(const std::string& message)
{
    return std::atol(message.c_str() + 5);
}

// The client's tick messages up to tick last.
static std::vector<std::string> ReadTicksUntil(RelayClient* client, long last)
{
    std::vector<std::string> ticks;
    std::string text;
    while (ReadMessageStarting(client, "tick ", text, 2)) {
        ticks.push_back(text);
        if (ReadTickNumber(text) >= last)
            break;
    }
    return ticks;
}

static std::string FindTick(const std::vector<std::string>& ticks, long tick)
{
    for (const std::string& t : ticks)
        if (ReadTickNumber(t) == tick)
            return t;
    return "";
}

static bool ReadRecording(const std::string& text, KeyScript& script, std::string& error)
{
    std::FILE* file = std::tmpfile();
    std::fputs(text.c_str(), file);
    std::rewind(file);
    const bool read = ReadKeyScript(file, script, error);
    std::fclose(file);
    return read;
}

TEST_CASE("the page's files and nothing else, and options refused clearly")
{
    const fs::path scratch = MakeScratch("page");
    fs::create_directories(scratch / "page" / "folder");
    std::ofstream(scratch / "page" / "index.html") << "<title>Kelvaron</title>";
    std::ofstream(scratch / "page" / "kelvaron.wasm") << "wasm";
    std::ofstream(scratch / "page" / "kelvaron.js") << "js";
    std::ofstream(scratch / "page" / "run.keys") << "1 down 38\n";
    std::ofstream(scratch / "secret.txt") << "secret";
    fs::create_symlink(scratch / "secret.txt", scratch / "page" / "link.txt");
    RelayProcess relay = StartTestRelay(scratch);

    for (const char* target : {"/", "/?room=0123456789abcdef0123"}) {
        const PageAnswer page = GetPage(relay.port, target);
        CHECK(page.status == 200);
        CHECK(page.type == "text/html; charset=utf-8");
        CHECK(page.body == "<title>Kelvaron</title>");
    }
    CHECK(GetPage(relay.port, "/kelvaron.wasm").type == "application/wasm");
    CHECK(GetPage(relay.port, "/kelvaron.js").type == "text/javascript");
    CHECK(GetPage(relay.port, "/run.keys").type == "text/plain; charset=utf-8");
    for (const char* outside : {"/../secret.txt", "/folder/../../secret.txt", "/%2e%2e/secret.txt", "/link.txt", "/folder",
                                "/folder/", "//etc/passwd", "/missing.js"}) {
        const PageAnswer page = GetPage(relay.port, outside);
        CHECK_MESSAGE(page.status == 404, outside);
        CHECK(page.body.find("secret") == std::string::npos);
    }
    CHECK(GetPage(relay.port, "/ws").status == 400);  // a WebSocket, not a page

    // The same port again: taken, and said so.
    const std::string relayCommand = std::string(KELVARON_RELAY) + " --bind 127.0.0.1";
    const std::string taken = relayCommand + " --port " + std::to_string(relay.port) + " 2>&1";
    std::FILE* out = popen(taken.c_str(), "r");
    char line[256] = {};
    CHECK(std::fgets(line, sizeof line, out));
    CHECK(std::string(line).find("Address already in use") != std::string::npos);
    CHECK(WEXITSTATUS(pclose(out)) == 1);
    for (const char* bad : {" --port 70000", " --port", " --speed 3", " --bind nowhere --port 0", " --max-per-address 0",
                            " --tick-hz 0", " --tick-hz 3001"})
        CHECK_MESSAGE(WEXITSTATUS(std::system((relayCommand + bad + " 2> /dev/null").c_str())) == 2, bad);
    CHECK(StopRelay(relay) == 0);
}

TEST_CASE("rooms: a new one, three seats, spectators, and no way in without the code")
{
    const fs::path scratch = MakeScratch("rooms");
    RelayProcess relay = StartTestRelay(scratch);
    Welcome first, second;
    RelayClient* a = Join(relay.port, "/ws", first);
    CHECK(first.room.size() * 4 >= 64);
    CHECK(first.room.find_first_not_of("0123456789abcdef") == std::string::npos);
    CHECK(first.seat == 0);
    CHECK(first.seed > 0);
    RelayClient* other = Join(relay.port, "/ws", second);
    CHECK(second.room != first.room);
    CHECK(second.seat == 0);

    std::vector<RelayClient*> joined;
    for (int expected : {1, 2, -1, -1}) {
        Welcome w;
        joined.push_back(Join(relay.port, "/ws?room=" + first.room, w));
        CHECK(w.room == first.room);
        CHECK(w.seat == expected);
        CHECK(w.seed == first.seed);
    }
    // A wrong code: refused with its reason, and closed.
    RelayClient* stranger = ConnectClient(relay.port, "/ws?room=" + std::string(first.room.rbegin(), first.room.rend()));
    REQUIRE(stranger);
    std::string text, reason;
    CHECK(ReadMessageStarting(stranger, "refused ", text, 2));
    CHECK(!ReadMessage(stranger, text, 2));
    CHECK(IsClosed(stranger, reason));
    CHECK(reason.find("no room") != std::string::npos);
    // A client of another protocol or other physics would not run the room's world the same.
    const std::string physics = DescribePhysicsWord();
    const std::string protocol = "&protocol=" + std::to_string(kRelayProtocol);
    const struct { std::string query, refusal; } unlike[] = {
        {"&protocol=1&physics=" + physics, "refused this relay speaks protocol " + std::to_string(kRelayProtocol) + " and the client 1"},
        {protocol + "&physics=ode-0.16.2-999", "refused the room's world runs on " + physics + " and the client's on ode-0.16.2-999"},
    };
    for (const auto& u : unlike) {
        RelayClient* c = ConnectClient(relay.port, "/ws?room=" + first.room + u.query);
        REQUIRE(c);
        CHECK(ReadMessageStarting(c, "refused ", text, 2));
        CHECK(text.find(u.refusal) == 0);
        CloseClient(c);
    }
    Welcome alike;
    joined.push_back(Join(relay.port, "/ws?room=" + first.room + protocol + "&physics=" + physics, alike));
    CHECK(alike.room == first.room);
    for (RelayClient* c : joined)
        CloseClient(c);
    for (RelayClient* c : {a, other, stranger})
        CloseClient(c);
    CHECK(StopRelay(relay) == 0);

    // One address holds no more connections than it is allowed.
    RelayProcess small = StartTestRelay(scratch, {"--max-per-address", "2"});
    RelayClient* allowed[2] = {Join(small.port, "/ws", first), Join(small.port, "/ws?room=" + first.room, second)};
    RelayClient* third = ConnectClient(small.port, "/ws?room=" + first.room);
    REQUIRE(third);
    CHECK(ReadMessageStarting(third, "refused too many connections from 127.0.0.1", text, 2));
    CHECK(!ReadMessage(third, text, 2));
    CHECK(IsClosed(third, reason));
    for (RelayClient* c : {allowed[0], allowed[1], third})
        CloseClient(c);
    CHECK(StopRelay(small) == 0);
}

// The tick counts of the lateness reports in the relay's errors, in order.
static std::vector<long> ReadLatenessReports(const fs::path& errors)
{
    std::vector<long> counts;
    std::ifstream in(errors);
    for (std::string line; std::getline(in, line);)
        if (line.find(" ticks; lateness median ") != std::string::npos)
            counts.push_back(std::atol(line.c_str() + line.find(": ") + 2));
    return counts;
}

static bool WaitForLatenessReports(const fs::path& errors, size_t count)
{
    for (int i = 0; i < 50 && ReadLatenessReports(errors).size() < count; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    return ReadLatenessReports(errors).size() >= count;
}

TEST_CASE("rooms: SIGUSR1 says how late the ticks went so far and counts afresh, and the rooms go on")
{
    const fs::path scratch = MakeScratch("report");
    RelayProcess relay = StartTestRelay(scratch, {"--tick-hz", kFastTickHz});
    Welcome w;
    RelayClient* a = Join(relay.port, "/ws", w);
    REQUIRE(ReadTicksUntil(a, 60).size() >= 60);
    kill(relay.pid, SIGUSR1);
    REQUIRE(WaitForLatenessReports(scratch / "relay.err", 1));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // about 36 ticks
    kill(relay.pid, SIGUSR1);
    REQUIRE(WaitForLatenessReports(scratch / "relay.err", 2));
    const std::vector<long> counts = ReadLatenessReports(scratch / "relay.err");
    CHECK(counts[0] >= 60);
    CHECK(counts[1] >= 3);
    CHECK(counts[1] < counts[0]);
    CloseClient(a);
    // Still there for SIGTERM, which ends it as ever.
    CHECK(StopRelay(relay) == 0);
}

TEST_CASE("commands: a seat drives its own car only, every client gets each tick, late ones move on")
{
    const fs::path scratch = MakeScratch("commands");
    RelayProcess relay = StartTestRelay(scratch);
    Welcome w0, w1, ws;
    RelayClient* seat0 = Join(relay.port, "/ws", w0);
    RelayClient* seat1 = Join(relay.port, "/ws?room=" + w0.room, w1);
    Welcome w2;
    RelayClient* seat2 = Join(relay.port, "/ws?room=" + w0.room, w2);
    RelayClient* spectator = Join(relay.port, "/ws?room=" + w0.room, ws);
    REQUIRE(w1.seat == 1);
    REQUIRE(ws.seat == -1);
    std::string text;
    REQUIRE(ReadMessageStarting(seat1, "tick ", text, 2));
    const long at = ReadTickNumber(text) + 10;
    const std::string stamp = "cmd " + std::to_string(at) + " ";
    // Car 1's W key and its upright are seat 1's.
    for (const char* command : {"down 87", "upright 1", "up 87"})
        SendText(seat1, stamp + command);
    const std::string expected = "tick " + std::to_string(at) + "\n" + std::to_string(at) + " down 87\n" + std::to_string(at) +
                                 " upright 1\n" + std::to_string(at) + " up 87";
    for (RelayClient* c : {seat0, seat1, spectator}) {
        const std::vector<std::string> ticks = ReadTicksUntil(c, at);
        CHECK(FindTick(ticks, at) == expected);
        for (size_t i = 1; i < ticks.size(); ++i)
            CHECK(ReadTickNumber(ticks[i]) == ReadTickNumber(ticks[i - 1]) + 1);
    }
    // Another car's key, and a spectator's command, end their connections with why.
    std::string reason;
    SendText(seat1, stamp + "down 38");
    SendText(spectator, stamp + "down 73");
    for (RelayClient* c : {seat1, spectator})
        while (ReadMessage(c, text, 2))
            ;
    CHECK((IsClosed(seat1, reason) && reason.find("not a command of seat 1's own car") == 0));
    CHECK((IsClosed(spectator, reason) && reason.find("a spectator's commands are not taken") == 0));

    // Stamped for a tick long gone: the next tick not broadcast yet, in the order sent.
    REQUIRE(ReadMessageStarting(seat0, "tick ", text, 2));
    const long seen = ReadTickNumber(text);
    SendText(seat0, "cmd 1 down 38");
    SendText(seat0, "cmd 2 up 38");
    // Every line for key 38, in the order the ticks came: down, then up, at once or a tick apart
    // when a tick fell between the two messages.
    std::vector<std::string> lines;
    for (const std::string& t : ReadTicksUntil(seat2, seen + 5)) {
        std::istringstream in(t);
        for (std::string line; std::getline(in, line);)
            if (line.find(" 38") != std::string::npos)
                lines.push_back(line);
    }
    REQUIRE(lines.size() == 2);
    const long down = std::atol(lines[0].c_str()), up = std::atol(lines[1].c_str());
    CHECK(lines[0] == std::to_string(down) + " down 38");
    CHECK(lines[1] == std::to_string(up) + " up 38");
    CHECK(down > seen);
    CHECK(down <= seen + 3);
    CHECK(up - down <= 1);
    for (RelayClient* c : {seat0, seat1, seat2, spectator})
        CloseClient(c);
    CHECK(StopRelay(relay) == 0);
}

TEST_CASE("hostile clients are closed with why, and another client's ticks go on")
{
    const fs::path scratch = MakeScratch("hostile");
    RelayProcess relay = StartTestRelay(scratch);
    Welcome w;
    RelayClient* steady = Join(relay.port, "/ws", w);
    std::string text, reason;
    REQUIRE(ReadMessageStarting(steady, "tick ", text, 2));
    const long from = ReadTickNumber(text);

    Welcome hw;
    RelayClient* oversize = Join(relay.port, "/ws?room=" + w.room, hw);
    SendText(oversize, "cmd 100 " + std::string(600, '1'));
    RelayClient* binary = Join(relay.port, "/ws?room=" + w.room, hw);
    SendBinary(binary, std::string("\x00\x01\x02\xff", 4));
    RelayClient* flood = Join(relay.port, "/ws?room=" + w.room, hw);
    for (int i = 0; i < 400; ++i)
        SendText(flood, "ping " + std::to_string(i));
    // Each of these ends its own connection, with why.
    std::vector<RelayClient*> garbage;
    for (const char* g : {"", "cmd", "cmd 99999999999 down 38", "cmd 5 down 999", "hash", "hash 99999 ab", "log please",
                          "\x01\x02", "welcome a 0 0 1", "kelvaron-recording 1", "cmd 5 # down 38", "cmd 5 down 38 38"}) {
        garbage.push_back(Join(relay.port, "/ws?room=" + w.room, hw));
        SendText(garbage.back(), g);
    }
    for (RelayClient* closed : garbage) {
        while (ReadMessage(closed, text, 2))
            ;
        CHECK(IsClosed(closed, reason));
        CHECK(!reason.empty());
    }
    for (RelayClient* closed : {oversize, binary, flood}) {
        while (ReadMessage(closed, text, 2))
            ;
        CHECK(IsClosed(closed, reason));
        CAPTURE(reason);
    }
    CHECK(IsClosed(binary, reason));
    CHECK(reason.find("binary") != std::string::npos);
    CHECK(IsClosed(flood, reason));
    CHECK(reason.find("messages a second") != std::string::npos);

    // Every tick came, in order, none of them carrying the garbage.
    const std::vector<std::string> ticks = ReadTicksUntil(steady, from + 30);
    REQUIRE(!ticks.empty());
    CHECK(ReadTickNumber(ticks.back()) == from + 30);
    for (size_t i = 0; i < ticks.size(); ++i) {
        CHECK(ReadTickNumber(ticks[i]) == from + 1 + long(i));
        CHECK(ticks[i].find('\n') == std::string::npos);
    }
    for (RelayClient* c : garbage)
        CloseClient(c);
    for (RelayClient* c : {steady, oversize, binary, flood})
        CloseClient(c);
    CHECK(StopRelay(relay) == 0);
}

TEST_CASE("a hash that differs is reported to every client with its seat")
{
    const fs::path scratch = MakeScratch("hashes");
    RelayProcess relay = StartTestRelay(scratch);
    Welcome w[3];
    RelayClient* seats[3] = {Join(relay.port, "/ws", w[0])};
    for (int s = 1; s < 3; ++s)
        seats[s] = Join(relay.port, "/ws?room=" + w[0].room, w[s]);
    std::string text;
    REQUIRE(ReadMessageStarting(seats[0], "tick ", text, 2));
    const std::string tick = std::to_string(ReadTickNumber(text));
    SendText(seats[0], "hash " + tick + " 0123abcd");
    SendText(seats[1], "hash " + tick + " 0123abcd");
    SendText(seats[2], "hash " + tick + " 0123abce");
    for (RelayClient* c : seats) {
        CHECK(ReadMessageStarting(c, "desync ", text, 2));
        CHECK(text == "desync " + tick + " 2");
    }
    std::ifstream errors(scratch / "relay.err");
    std::stringstream said;
    said << errors.rdbuf();
    CHECK(said.str().find("room " + w[0].room + ": desync at tick " + tick + ": seat 2 differs") != std::string::npos);
    for (RelayClient* c : seats)
        CloseClient(c);
    CHECK(StopRelay(relay) == 0);
}

TEST_CASE("a hash that differs: the real client says so, keeps the room's log and its own trace, and plays on")
{
    const fs::path scratch = MakeScratch("hashes-client");
    RelayProcess relay = StartTestRelay(scratch, {"--tick-hz", kFastTickHz});
    Welcome w;
    RelayClient* liar = Join(relay.port, "/ws", w);
    // The headless client keeps its files where the null backend keeps pictures: the temporary folder.
    const std::string command = "TMPDIR=" + scratch.string() + " " + KELVARON_REPLAY + " --join http://127.0.0.1:" +
                                std::to_string(relay.port) + "/?room=" + w.room + " --frames 150 --every 50 --hash > " +
                                (scratch / "client.out").string() + " 2> " + (scratch / "client.err").string();
    int status = -1;
    std::thread client([&] { status = std::system(command.c_str()); });
    std::string text;
    while (ReadMessageStarting(liar, "tick ", text, 2) && ReadTickNumber(text) < 30)
        ;
    SendText(liar, "hash 30 0000000000000000");
    client.join();
    CHECK(status == 0);
    std::ifstream errors(scratch / "client.err");
    std::stringstream said;
    said << errors.rdbuf();
    CHECK(said.str().find("room " + w.room + ": at tick 30 the machines' worlds differ (seats 0 1)") != std::string::npos);
    std::string keys, trace;
    for (const fs::directory_entry& e : fs::directory_iterator(scratch)) {
        if (e.path().extension() == ".keys")
            keys = e.path().string();
        if (e.path().extension() == ".trace")
            trace = e.path().string();
    }
    REQUIRE(!keys.empty());
    REQUIRE(!trace.empty());
    std::FILE* file = std::fopen(keys.c_str(), "r");
    KeyScript log;
    std::string error;
    CHECK_MESSAGE(ReadKeyScript(file, log, error), error);
    std::fclose(file);
    CHECK(log.header.frames >= 30);
    std::ifstream traced(trace);
    std::stringstream lines;
    lines << traced.rdbuf();
    CHECK(lines.str().find("\nhash 30 ") != std::string::npos);
    std::ifstream out(scratch / "client.out");
    std::stringstream printed;
    printed << out.rdbuf();
    CHECK(printed.str().find("hash 150 ") != std::string::npos);  // the run went on to its end
    CloseClient(liar);
    CHECK(StopRelay(relay) == 0);
}

TEST_CASE("a silent seat goes to the autopilot after 2 s, and back to its person on rejoining")
{
    const fs::path scratch = MakeScratch("silent");
    RelayProcess relay = StartTestRelay(scratch, {"--tick-hz", kFastTickHz});
    Welcome w0, w1;
    RelayClient* seat0 = Join(relay.port, "/ws", w0);
    RelayClient* seat1 = Join(relay.port, "/ws?room=" + w0.room, w1);
    AnswerPings(seat1, false);
    // Seat 1 was last heard as it joined, by the room's clock just after the tick its welcome names.
    const long quietFrom = w1.tick;
    std::string text;
    REQUIRE(ReadMessageStarting(seat0, "tick ", text, 4));
    while (text.find("autopilot") == std::string::npos && ReadMessageStarting(seat0, "tick ", text, 4))
        ;
    const long handed = ReadTickNumber(text);
    CHECK(text == "tick " + std::to_string(handed) + "\n" + std::to_string(handed) + " autopilot 1 on");
    // A relay that runs late hands it over at a tick that is due before its silence ends.
    CHECK(handed - quietFrom >= 2 * 30 - 6);
    CHECK(handed - quietFrom <= 2 * 30 + 6);
    CloseClient(seat1);

    // Someone new does not get the seat; its person, asking for it, does.
    Welcome newcomer, back;
    RelayClient* newcomerClient = Join(relay.port, "/ws?room=" + w0.room, newcomer);
    CHECK(newcomer.seat == 2);  // seat 1 is kept for its person
    RelayClient* returning = Join(relay.port, "/ws?room=" + w0.room + "&seat=1", back);
    CHECK(back.seat == 1);
    while (ReadMessageStarting(seat0, "tick ", text, 2) && text.find("autopilot") == std::string::npos)
        ;
    const std::string n = std::to_string(ReadTickNumber(text));
    CHECK(text == "tick " + n + "\n" + n + " autopilot 1 off");
    for (RelayClient* c : {seat0, newcomerClient, returning})
        CloseClient(c);
    CHECK(StopRelay(relay) == 0);
}

static std::string ReadWhole(const fs::path& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST_CASE("the room's log: on request and at its end, a recording the reader reads and the replay plays")
{
    const fs::path scratch = MakeScratch("log");
    // A folder that does not exist yet is made as the relay starts; one that cannot be made stops it.
    const fs::path logs = scratch / "logs" / "rooms";
    std::ofstream(scratch / "file") << "not a folder";
    const std::string refused = "timeout 10 " + std::string(KELVARON_RELAY) + " --port 0 --log-dir " +
                                (scratch / "file" / "logs").string() + " 2> " + (scratch / "refused.err").string();
    CHECK(WEXITSTATUS(std::system(refused.c_str())) == 1);
    CHECK(ReadWhole(scratch / "refused.err") ==
          "kelvaron-relay: cannot make the log folder " + (scratch / "file" / "logs").string() + ": Not a directory\n");
    RelayProcess relay = StartTestRelay(scratch, {"--log-dir", logs.string(), "--tick-hz", kFastTickHz});
    Welcome w;
    RelayClient* seat0 = Join(relay.port, "/ws", w);
    std::string text;
    REQUIRE(ReadMessageStarting(seat0, "tick ", text, 2));
    const long at = ReadTickNumber(text) + 4;
    SendText(seat0, "cmd " + std::to_string(at) + " down 38");
    SendText(seat0, "cmd " + std::to_string(at + 20) + " up 38");
    SendText(seat0, "cmd " + std::to_string(at + 21) + " upright 0");
    ReadTicksUntil(seat0, at + 25);
    SendText(seat0, "log");
    REQUIRE(ReadMessageStarting(seat0, "log\n", text, 2));
    KeyScript script;
    std::string error;
    REQUIRE_MESSAGE(ReadRecording(text.substr(4), script, error), error);
    CHECK(script.recorded);
    CHECK(script.header.seed == uint32_t(w.seed));
    CHECK(!script.header.autopilot);
    CHECK(script.header.frames >= at + 25);
    REQUIRE(script.commands.size() == 3);
    CHECK(script.commands[0].frame == at);
    CHECK(script.commands[0].kind == CommandKind::kCarKey);
    CHECK(script.commands[0].car == 0);
    CHECK(script.commands[2].kind == CommandKind::kUpright);

    // The room ends 10 s after its last client left, and its log is kept whole.
    CloseClient(seat0);
    const fs::path kept = logs / (w.room + ".keys");
    for (int i = 0; i < 130 && !fs::exists(kept); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    REQUIRE(fs::exists(kept));
    CHECK(fs::directory_iterator(logs)->path() == kept);  // no partial file left
    std::FILE* file = std::fopen(kept.c_str(), "r");
    KeyScript ended;
    REQUIRE_MESSAGE(ReadKeyScript(file, ended, error), error);
    std::fclose(file);
    CHECK(ended.header.frames > script.header.frames + 10 * 30 - 30);
    // ...and the seat left silent went to the autopilot, a command like the rest.
    REQUIRE(ended.commands.size() == 4);
    CHECK((ended.commands[3].kind == CommandKind::kAutopilot && ended.commands[3].car == 0 && ended.commands[3].down));
    const std::string replay = std::string(KELVARON_REPLAY) + " --script " + kept.string() + " --hash > " +
                               (scratch / "replay.out").string();
    CHECK(std::system(replay.c_str()) == 0);
    CHECK(ReadWhole(scratch / "replay.out").find("hash") != std::string::npos);

    // A log that cannot be written says why.
    Welcome lost;
    CloseClient(Join(relay.port, "/ws", lost));
    fs::remove_all(logs);
    CHECK(StopRelay(relay) == 0);
    CHECK(ReadWhole(scratch / "relay.err").find("kelvaron-relay: room " + lost.room + ": cannot write " + logs.string() + "/" +
                                                lost.room + ".keys.part: No such file or directory\n") != std::string::npos);
}

// The relay closed the client, saying why; the client is let go.
static void ExpectClosed(RelayClient* client, const std::string& why)
{
    std::string text, reason;
    while (ReadMessage(client, text, 2))
        ;
    CHECK(IsClosed(client, reason));
    CHECK_MESSAGE(reason.find(why) != std::string::npos, reason);
    CloseClient(client);
}

TEST_CASE("snapshots: a seat's world goes to a joiner with the seats' hash; offers unasked, garbage or too big are closed")
{
    const fs::path scratch = MakeScratch("snapshots");
    RelayProcess relay = StartTestRelay(scratch, {"--tick-hz", kFastTickHz});
    Welcome w, other;
    RelayClient* seat0 = Join(relay.port, "/ws", w);
    RelayClient* seat1 = Join(relay.port, "/ws?room=" + w.room, other);
    std::string text;
    REQUIRE(ReadMessageStarting(seat0, "tick ", text, 2));
    const long at = ReadTickNumber(text) + 4;
    SendText(seat0, "cmd " + std::to_string(at) + " down 38");
    SendText(seat1, "cmd " + std::to_string(at + 20) + " down 87");
    ReadTicksUntil(seat0, std::max(at + 25, 30L));
    for (RelayClient* seat : {seat0, seat1})
        SendText(seat, "hash 30 00000000000000aa");
    // Nobody asked: closed, however well formed, and a message over 512 bytes likewise.
    Welcome third;
    RelayClient* unasked = Join(relay.port, "/ws?room=" + w.room, third);
    REQUIRE(third.seat == 2);
    SendText(unasked, "offer 30 QUJD");
    ExpectClosed(unasked, "an offer the relay did not ask for");
    RelayClient* big = Join(relay.port, "/ws?room=" + w.room + "&seat=2", third);
    SendText(big, "offer 30 " + std::string(600, 'A'));
    ExpectClosed(big, "");

    // A joiner asks; seat 0, asked first, answers garbage and is closed; seat 1 is asked next.
    Welcome joining;
    RelayClient* joiner = Join(relay.port, "/ws?room=" + w.room, joining);
    CHECK(joining.seat == kSpectator);
    SendText(joiner, "snapshot");
    REQUIRE(ReadMessageStarting(seat0, "offer", text, 2));
    CHECK(text == "offer");
    SendText(seat0, "offer 30 !!!!");
    ExpectClosed(seat0, "expected offer TICK BASE64");
    REQUIRE(ReadMessageStarting(seat1, "offer", text, 2));
    std::string world;
    for (int i = 0; i < 10000; ++i)  // 40 KB: over a message's 512 bytes, within an offer's 64 KB
        world += "QUJD";
    SendText(seat1, "offer 30 " + world);
    REQUIRE(ReadMessageStarting(joiner, "snapshot ", text, 2));
    CHECK(text == "snapshot 30 00000000000000aa " + world);
    // Refused as not the room's: forgotten, and with no other seat to ask, none.
    SendText(joiner, "wrong 30");
    SendText(joiner, "snapshot");
    REQUIRE(ReadMessageStarting(joiner, "snapshot ", text, 2));
    CHECK(text == "snapshot 0");
    // Asked again for another joiner, seat 1 sends more than an offer may be: closed; none to give.
    RelayClient* second = Join(relay.port, "/ws?room=" + w.room, joining);
    SendText(second, "snapshot");
    REQUIRE(ReadMessageStarting(seat1, "offer", text, 2));
    SendText(seat1, "offer 30 " + std::string(kMaxOfferBytes, 'A'));
    ExpectClosed(seat1, "");
    REQUIRE(ReadMessageStarting(second, "snapshot ", text, 3));
    CHECK(text == "snapshot 0");

    // The log after a tick holds only the lines of the ticks after it.
    SendText(joiner, "log " + std::to_string(at + 10));
    REQUIRE(ReadMessageStarting(joiner, "log\n", text, 2));
    KeyScript tail;
    std::string error;
    REQUIRE_MESSAGE(ReadRecording(text.substr(4), tail, error), error);
    REQUIRE(!tail.commands.empty());
    CHECK(tail.commands[0].frame == at + 20);
    for (const Command& c : tail.commands)
        CHECK(c.frame > at + 10);

    // No seat left: the real client, given none, runs the whole log, its history traced (in a room
    // past kFreshSnapshotTicks, which a client would join from a seat's world).
    const long now = ReadTickNumber(ReadTicksUntil(joiner, kFreshSnapshotTicks + 10).back());
    const std::string command = std::string("timeout 30 ") + KELVARON_REPLAY + " --join 'http://127.0.0.1:" +
                                std::to_string(relay.port) + "/?room=" + w.room + "' --frames " + std::to_string(now + 60) +
                                " --every 30 > " + (scratch / "client.out").string() + " 2> " + (scratch / "client.err").string();
    CHECK(std::system(command.c_str()) == 0);
    CHECK(ReadWhole(scratch / "client.out").find("frame 30 ") != std::string::npos);
    CHECK(ReadWhole(scratch / "client.err").find("joined from") == std::string::npos);
    CloseClient(joiner);
    CloseClient(second);
    CHECK(StopRelay(relay) == 0);
    CHECK(ReadWhole(scratch / "relay.err").find("room " + w.room + ": seat 1's world of tick 30 is not the room's") !=
          std::string::npos);
}

TEST_CASE("a test that stops short leaves no relay running")
{
    const fs::path scratch = MakeScratch("stops-short");
    int pids[2];
    REQUIRE(pipe(pids) == 0);
    const pid_t test = fork();
    if (test == 0) {  // a test process whose REQUIRE failed: it ends without stopping its relay
        RelayProcess relay;
        const bool started = StartRelay(KELVARON_RELAY, {"--page", scratch.string()}, (scratch / "relay.err").string(), relay);
        const bool told = write(pids[1], &relay.pid, sizeof relay.pid) == sizeof relay.pid;
        _exit(started && told ? 1 : 2);
    }
    close(pids[1]);
    int relayPid = 0, status = 0;
    REQUIRE(read(pids[0], &relayPid, sizeof relayPid) == sizeof relayPid);
    close(pids[0]);
    REQUIRE(waitpid(test, &status, 0) == test);
    CHECK(WEXITSTATUS(status) == 1);
    bool gone = false;
    for (int i = 0; i < 50 && !gone; ++i) {  // the orphan is init's to reap: gone once it cannot be signalled
        std::ifstream stat("/proc/" + std::to_string(relayPid) + "/stat");
        std::string pid, name, state;
        gone = !(stat >> pid >> name >> state) || state == "Z";
        if (!gone)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    CHECK(gone);
    if (!gone)
        kill(relayPid, SIGKILL);
}

// The headless client's run in a room, as a command its standard error goes to errors from.
static std::string JoinCommand(int port, const std::string& query, long frames, const fs::path& errors)
{
    return std::string("timeout 30 ") + KELVARON_REPLAY + " --join 'http://127.0.0.1:" + std::to_string(port) + "/" + query +
           "' --frames " + std::to_string(frames) + " --every 1000 > /dev/null 2> " + errors.string();
}


TEST_CASE("seats as people see them: a taken car, watching, the autopilot's hand-overs and a room past --frames are said")
{
    const fs::path scratch = MakeScratch("seats");
    RelayProcess relay = StartTestRelay(scratch);
    Welcome w;
    RelayClient* first = Join(relay.port, "/ws", w);  // Car1, silent from now: the autopilot's after 2 s
    AnswerPings(first, false);
    const fs::path second = scratch / "second.err";
    CHECK(std::system(JoinCommand(relay.port, "?room=" + w.room + "&seat=1", 150, second).c_str()) == 0);
    const std::string said = ReadWhole(second);
    CHECK_MESSAGE(said.find("kelvaron: room " + w.room + ": Car1 is taken; driving Car2\n") != std::string::npos, said);
    CHECK_MESSAGE(said.find(" the autopilot drives Car1\n") != std::string::npos, said);

    Welcome third;
    RelayClient* last = Join(relay.port, "/ws?room=" + w.room, third);
    CHECK(third.seat == 2);
    const fs::path fourth = scratch / "fourth.err";
    CHECK(std::system(JoinCommand(relay.port, "?room=" + w.room, 30, fourth).c_str()) == 0);
    const std::string watched = ReadWhole(fourth);
    CHECK_MESSAGE(watched.find("kelvaron: room " + w.room + ": watching: every car has its person\n") != std::string::npos,
                  watched);
    CHECK_MESSAGE(watched.find("--frames 30 counts from its first tick, so only its history runs") != std::string::npos,
                  watched);
    CloseClient(first);
    CloseClient(last);
    CHECK(StopRelay(relay) == 0);
}

// A Redis of the test's own on 127.0.0.1, keeping nothing on disk, on a port tried at random (five at
// most); its pid, or -1.
static int StartRedis(int& port)
{
    std::mt19937 random(std::random_device{}());
    for (int attempt = 0; attempt < 5; ++attempt) {
        port = 20000 + int(random() % 40000);
        const std::string portText = std::to_string(port);
        const pid_t pid = fork();
        if (pid == 0) {
            execlp("redis-server", "redis-server", "--bind", "127.0.0.1", "--port", portText.c_str(), "--save", "",
                   "--appendonly", "no", "--dir", "/tmp", "--loglevel", "warning", static_cast<char*>(nullptr));
            _exit(127);
        }
        for (int i = 0; i < 50 && waitpid(pid, nullptr, WNOHANG) == 0; ++i) {  // gone: its port was taken
            const int fd = socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in address = {};
            address.sin_family = AF_INET;
            address.sin_port = htons(uint16_t(port));
            address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            const bool up = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
            close(fd);
            if (up)
                return pid;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    return -1;
}

TEST_CASE("fleet: a link through another relay is sent on, and a relay paused past its lease loses its room to one that goes on")
{
    const fs::path scratch = MakeScratch("fleet");
    int redisPort;
    const int redis = StartRedis(redisPort);
    REQUIRE_MESSAGE(redis > 0, "redis-server did not start");
    const std::string url = "redis://127.0.0.1:" + std::to_string(redisPort);
    fs::create_directories(scratch / "b");
    RelayProcess a = StartTestRelay(scratch, {"--redis", url, "--tick-hz", kFastTickHz});
    RelayProcess b = StartTestRelay(scratch / "b", {"--redis", url, "--tick-hz", kFastTickHz});
    const std::string atA = "127.0.0.1:" + std::to_string(a.port), atB = "127.0.0.1:" + std::to_string(b.port);

    RelayClient* first = ConnectClient(a.port, "/ws");
    std::string text;
    REQUIRE(ReadMessageStarting(first, "welcome ", text, 2));
    const std::string code = text.substr(8, text.find(' ', 8) - 8);
    // Both relays named, in order, after the seed.
    CHECK(text.substr(text.size() - atA.size() - atB.size() - 2) ==
          " " + std::min(atA, atB) + " " + std::max(atA, atB));
    SendText(first, "cmd 5 down 38");
    const std::vector<std::string> before = ReadTicksUntil(first, 20);
    REQUIRE(!before.empty());

    RelayClient* sent = ConnectClient(b.port, "/ws?room=" + code);
    CHECK(ReadMessageStarting(sent, "moved ", text, 2));
    CHECK(text == "moved " + atA);
    CHECK(!ReadMessage(sent, text, 2));  // and closed
    RelayClient* stranger = ConnectClient(b.port, "/ws?room=0123456789abcdef0123");
    CHECK(ReadMessageStarting(stranger, "refused ", text, 2));

    // A paused: its lease of 2 s lapses, and a client asking B for the room has it from the map.
    kill(a.pid, SIGSTOP);
    std::this_thread::sleep_for(std::chrono::milliseconds(2600));
    Welcome taken;
    RelayClient* second = Join(b.port, "/ws?room=" + code + "&seat=1", taken);
    CHECK(taken.seat == 1);
    CHECK(taken.tick >= ReadTickNumber(before.back()));
    // A goes on, finds the room is B's, and cuts its client off without a tick the map did not take.
    kill(a.pid, SIGCONT);
    long last = 0;
    while (ReadMessage(first, text, 3))
        if (text.compare(0, 5, "tick ") == 0)
            last = ReadTickNumber(text);
    std::string reason;
    CHECK(IsClosed(first, reason));
    CHECK(last <= taken.tick);
    CHECK(ReadTicksUntil(second, taken.tick + 30).size() == 30);
    SendText(second, "log");
    REQUIRE(ReadMessageStarting(second, "log", text, 2));
    CHECK(text.find(" down 38\n") != std::string::npos);  // the log went on whole
    CHECK(ReadWhole(scratch / "relay.err").find("room " + code + " is held by another relay of the fleet now") !=
          std::string::npos);
    CloseClient(first);
    CloseClient(sent);
    CloseClient(stranger);
    CloseClient(second);
    CHECK(StopRelay(a) == 0);
    CHECK(StopRelay(b) == 0);
    kill(redis, SIGTERM);
    waitpid(redis, nullptr, 0);
}
