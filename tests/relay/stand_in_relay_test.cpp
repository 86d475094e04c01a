// The real headless client against a stand-in relay on 127.0.0.1 that sends what no relay of this
// protocol sends: the hostile network input any host named in a link, or anyone on the path, can give.
#include <doctest/doctest.h>

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/websocket.hpp>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <sys/wait.h>
#include <thread>

#include "relay/Room.h"

namespace net = boost::asio;
namespace beast = boost::beast;
namespace websocket = beast::websocket;
namespace fs = std::filesystem;
using tcp = net::ip::tcp;

constexpr int kServeSeconds = 15;  // the stand-in's whole life, whatever the client does

struct StandIn {
    net::io_context io;
    tcp::acceptor acceptor{io, tcp::endpoint(net::ip::make_address("127.0.0.1"), 0)};
    std::unique_ptr<websocket::stream<beast::tcp_stream>> ws;
    std::vector<std::string> messages;  // to send, in order, once the client is in
    size_t sent = 0;
    beast::flat_buffer buffer;
    std::vector<std::string> received;  // what the client sent
    int seconds = kServeSeconds;
};

static void SendNext(StandIn& s)
{
    if (s.sent == s.messages.size())
        return;
    s.ws->async_write(net::buffer(s.messages[s.sent]), [&s](beast::error_code ec, size_t) {
        ++s.sent;
        if (!ec)
            SendNext(s);
    });
}

// What the client sends is read and dropped until it goes.
static void ReadOn(StandIn& s)
{
    s.ws->async_read(s.buffer, [&s](beast::error_code ec, size_t) {
        if (!ec)
            s.received.push_back(beast::buffers_to_string(s.buffer.data()));
        s.buffer.consume(s.buffer.size());
        if (!ec)
            ReadOn(s);
    });
}

// Takes one client and sends it the messages; returns when it has gone or kServeSeconds have passed.
static void Serve(StandIn& s)
{
    s.acceptor.async_accept([&s](beast::error_code ec, tcp::socket socket) {
        if (ec)
            return;
        s.ws = std::make_unique<websocket::stream<beast::tcp_stream>>(std::move(socket));
        s.ws->async_accept([&s](beast::error_code ec) {
            if (ec)
                return;
            s.ws->text(true);
            ReadOn(s);
            SendNext(s);
        });
    });
    s.io.run_for(std::chrono::seconds(s.seconds));
}

struct ClientRun {
    int status;
    std::string errors;
    std::string traced;
    std::vector<std::string> sent;
};

static std::string ReadWhole(const fs::path& path)
{
    std::ifstream in(path);
    std::stringstream whole;
    whole << in.rdbuf();
    return whole.str();
}

// kelvaron-replay --join against a stand-in that sends messages, then stays seconds: how it ended,
// what it said and traced (options: its own), and what it sent.
static ClientRun JoinStandIn(const fs::path& scratch, const std::vector<std::string>& messages,
                             const std::string& options = "--frames 300 --every 300", int seconds = kServeSeconds)
{
    StandIn s;
    s.messages = messages;
    s.seconds = seconds;
    const fs::path errors = scratch / "client.err", traced = scratch / "client.out";
    const std::string command = "TMPDIR=" + scratch.string() + " timeout 20 " + KELVARON_REPLAY +
                                " --join http://127.0.0.1:" + std::to_string(s.acceptor.local_endpoint().port()) +
                                "/ " + options + " > " + traced.string() + " 2> " + errors.string();
    ClientRun run = {-1, "", "", {}};
    std::thread client([&] { run.status = std::system(command.c_str()); });
    Serve(s);
    s.ws.reset();  // gone: a client still in the room ends
    client.join();
    run.errors = ReadWhole(errors);
    run.traced = ReadWhole(traced);
    run.sent = s.received;
    return run;
}

TEST_CASE("a malformed message from the relay ends the client's run, naming it; never a crash")
{
    const fs::path scratch = fs::current_path() / "relay-scratch" / "stand-in";
    fs::remove_all(scratch);
    fs::create_directories(scratch);
    const std::string welcome = "welcome 0123456789abcdef0123 0 0 7";
    // The room's log as a real room writes it, and its first ticks.
    const std::string log = "log\n" + WriteRoomRecording(OpenRoom("0123456789abcdef0123", 7, RelayTime{}, kMinDelay));
    const std::vector<std::string> live = {welcome, "delay 3", log, "tick 1\n1 down 38", "tick 2"};
    const struct {
        std::vector<std::string> before;  // sent first, all well formed
        std::string message;
        std::string said;
    } cases[] = {
        {{welcome}, "desync 5", "the relay sent 'desync 5': a desync is desync TICK SEAT..."},
        {live, "desync 2", "the relay sent 'desync 2': a desync is desync TICK SEAT..."},
        {live, "desync 2 3", "the relay sent 'desync 2 3': a desync is"},
        {{welcome}, "welcome 0123 5 0 7", "the relay sent 'welcome 0123 5 0 7': a welcome is"},
        {{welcome}, "welcome 0123 0 0 4294967296", "a welcome is welcome ROOM SEAT TICK SEED"},
        {{welcome}, "delay 2", "the relay sent 'delay 2': a delay is 0 (the room rolls back), or 3 to 6 ticks"},
        {{welcome}, "delay -4", "a delay is 0 (the room rolls back), or 3 to 6 ticks"},
        {{welcome}, "ahead 9", "the relay sent 'ahead 9': ahead is 1 to 8 ticks"},
        {{welcome}, "ahead 0", "ahead is 1 to 8 ticks"},
        {live, "tick 3\n4 down 38", "the relay sent 'tick 3?4 down 38': a tick is tick T"},
        {live, "tick x", "a tick is tick T"},
        {{welcome}, "ping", "the relay sent 'ping': a ping is ping N"},
        {{welcome}, "pong 99999999999", "a pong is pong N"},
        {{welcome}, "log", "a log is the line log and the room's recording after it"},
        {{welcome}, "", "the relay sent '': not a message"},
        {{welcome}, std::string("\x01\xff tick", 7), "the relay sent '?? tick': not a message"},
        {{welcome}, "welcome 0123 0 0 7\nmore", "the relay sent 'welcome 0123 0 0 7?more': a welcome is one line"},
        {{welcome}, "teleport 1 2 3", "the relay sent 'teleport 1 2 3': no message of protocol " + std::to_string(kRelayProtocol)},
        {{welcome}, "snapshot 30 zz QUJD", "a snapshot is snapshot TICK HASH BASE64, or snapshot 0"},
        {{welcome}, "snapshot 30", "a snapshot is snapshot TICK HASH BASE64, or snapshot 0"},
        {{welcome}, "offer 30 QUJD", "the relay sent 'offer 30 QUJD': an offer is the word offer alone"},
        {{welcome}, "moved nowhere", "the relay sent 'moved nowhere': a move is moved HOST:PORT"},
        {{welcome}, "moved 127.0.0.1:0", "a move is moved HOST:PORT"},
        {{welcome}, welcome + " 127.0.0.1:1 a/b:2", "and up to 8 relays HOST:PORT"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> messages = c.before;
        messages.push_back(c.message);
        const ClientRun run = JoinStandIn(scratch, messages);
        INFO("after ", c.before.size(), " messages: ", c.message);
        INFO("the client said: ", run.errors);
        CHECK(WIFEXITED(run.status));
        CHECK(WEXITSTATUS(run.status) == 1);
        CHECK(run.errors.find("left room 0123456789abcdef0123") != std::string::npos);
        CHECK(run.errors.find(c.said) != std::string::npos);
    }
}

TEST_CASE("a rollback room's client runs at most 8 frames past the last tick, then waits; it traces confirmed frames only")
{
    const fs::path scratch = fs::current_path() / "relay-scratch" / "stand-in-waits";
    fs::remove_all(scratch);
    fs::create_directories(scratch);
    // A command of its own at every frame: each goes out just before its frame runs here.
    std::ofstream script(scratch / "every-frame.keys");
    for (int frame = 1; frame <= 40; ++frame)
        script << frame << (frame % 2 ? " down 38\n" : " up 38\n");
    script.close();
    const std::string log = "log\n" + WriteRoomRecording(OpenRoom("0123456789abcdef0123", 7, RelayTime{}, kRollback));
    // Three ticks, then a relay gone quiet for 3 s.
    const ClientRun run = JoinStandIn(scratch, {"welcome 0123456789abcdef0123 0 0 7", "delay 0", "ahead 8", log, "tick 1", "tick 2\n2 down 87", "tick 3"},
                                      "--script " + (scratch / "every-frame.keys").string() + " --frames 40 --every 1 --hash", 3);
    INFO("the client said: ", run.errors);
    long lastCommand = 0;
    for (const std::string& m : run.sent)
        if (m.compare(0, 4, "cmd ") == 0)
            lastCommand = std::max(lastCommand, std::atol(m.c_str() + 4));
    CHECK(lastCommand == 3 + kMaxPrediction + 1);  // the frame after the last it ran, 11
    CHECK(run.traced.find("frame 3 ") != std::string::npos);
    CHECK(run.traced.find("frame 4 ") == std::string::npos);
    CHECK(run.errors.find("waited for the relay 1 times") != std::string::npos);
}

TEST_CASE("a world given that is no world, or not the tick's, is refused and another asked for; with none, the whole log")
{
    const fs::path scratch = fs::current_path() / "relay-scratch" / "stand-in-worlds";
    fs::remove_all(scratch);
    fs::create_directories(scratch);
    const std::string log = "log\n" + WriteRoomRecording(OpenRoom("0123456789abcdef0123", 7, RelayTime{}, kRollback));
    const ClientRun run = JoinStandIn(scratch, {"welcome 0123456789abcdef0123 1 400 7", "delay 0", "snapshot 390 00aa !!!!",
                                                "snapshot 390 00aa S0VMVlNOQVA=", "snapshot 0", log, "tick 1", "tick 2"},
                                      "--frames 2 --every 1");
    INFO("the client said: ", run.errors);
    CHECK(run.status == 0);
    CHECK(run.errors.find("the world given for tick 390 is not the room's: it is not base64") != std::string::npos);
    CHECK(run.errors.find("the world given for tick 390 is not the room's: cut short") != std::string::npos);
    const std::vector<std::string> asked = {"snapshot", "wrong 390", "snapshot", "wrong 390", "snapshot", "log"};
    std::vector<std::string> sent;
    for (const std::string& m : run.sent)
        if (m.compare(0, 4, "ping") != 0 && m.compare(0, 4, "pong") != 0 && m.compare(0, 4, "hash") != 0)
            sent.push_back(m);
    CHECK(sent == asked);
    CHECK(run.traced.find("frame 2 ") != std::string::npos);
}
