// A room by its own clock: the times are given, so seconds of silence, round trips and a room's end
// are tested without waiting for them.
#include <doctest/doctest.h>

#include <algorithm>

#include "relay/Room.h"

using std::chrono::milliseconds;

static bool HasPending(const Room& room, long tick, const std::string& line)
{
    auto found = room.pending.find(tick);
    return found != room.pending.end() &&
           std::any_of(found->second.begin(), found->second.end(), [&](const std::string& l) { return l == line; });
}

static std::vector<std::string> Broadcasts(const std::vector<Outgoing>& out, const std::string& prefix)
{
    std::vector<std::string> found;
    for (const Outgoing& o : out)
        if (o.client == kEveryClient && o.text.compare(0, prefix.size(), prefix) == 0)
            found.push_back(o.text);
    return found;
}

TEST_CASE("ticks are due at start + n / 30 s, however late the room is run")
{
    const RelayTime start = RelayClock::now();
    Room room = OpenRoom("code", 7, start, kRollback);
    std::vector<Outgoing> out;
    TickLateness lateness;
    RunRoom(room, start + milliseconds(1000 * 1000 - 1), out, lateness);
    CHECK(room.tick == 29999);
    RunRoom(room, start + milliseconds(1000 * 1000), out, lateness);
    CHECK(room.tick == 30000);
    CHECK(Broadcasts(out, "tick ").size() == 30000);
    CHECK(Broadcasts(out, "tick ").back() == "tick 30000");
    // Each tick's lateness counted: the first's, due at 1/30 s, and the last's, on time.
    CHECK(lateness.count == 30000);
    CHECK(lateness.max == doctest::Approx(1000 - 1.0 / 30 - 0.001));
    CHECK(lateness.bins[0] == 1);
}

// The reason the relay closed client's connection for, or "" when it did not.
static std::string FindRefusal(const std::vector<Outgoing>& out, long client)
{
    for (const Outgoing& o : out)
        if (o.client == client && o.close)
            return o.text;
    return "";
}

TEST_CASE("a command up to 300 ticks either side of the room's is taken; anything else ends the connection with why")
{
    const RelayTime start = RelayClock::now();
    Room room = OpenRoom("code", 7, start, kRollback);
    std::vector<Outgoing> out;
    TickLateness lateness;
    JoinRoom(room, 1, -1, false, start, out);
    RunRoom(room, start + milliseconds(340), out, lateness);
    REQUIRE(room.tick == 10);
    TakeClientMessage(room, 1, "cmd 310 down 38", start + milliseconds(340), out);
    CHECK(HasPending(room, 310, "310 down 38"));
    CHECK(FindRefusal(out, 1).empty());
    TakeClientMessage(room, 1, "pong 77", start + milliseconds(340), out);  // overtaken by a newer ping
    CHECK(room.ignored == 1);
    CHECK(FindRefusal(out, 1).empty());
    const struct { const char* message; const char* refusal; } refused[] = {
        {"cmd 311 down 38", "a command for tick 311, 300 ticks or more from the room's 10: 'cmd 311 down 38'"},
        // The hand-overs are the relay's: a seat cannot hand even its own car to the autopilot.
        {"cmd 20 autopilot 0 on", "a message the relay does not know"},
        {"cmd 20 down 87", "not a command of seat 0's own car"},
        {"cmd 20 upright all", "not a command of seat 0's own car"},
        {"cmd 20 pause", "not a command of seat 0's own car"},
        {"cmd 20 down 67", "not a command of seat 0's own car"},
        {"cmd x down 38", "expected cmd TICK COMMAND"},
        {"hash 11 ab", "a hash for tick 11, which has not been"},
        {"hash 5 xyz", "expected hash TICK HEX"},
        {"dance", "a message the relay does not know: 'dance'"},
        {"cmd 5 down 38\n6 down 87", "a message the relay does not know: 'cmd 5 down 38?6 down 87'"},
    };
    long id = 2;
    for (const auto& r : refused) {
        const std::string message = r.message;
        CAPTURE(message);
        Room other = room;
        other.seats[0] = Seat{};
        std::vector<Outgoing> sent;
        JoinRoom(other, id, 0, false, start, sent);
        TakeClientMessage(other, id, r.message, start + milliseconds(340), sent);
        CHECK(FindRefusal(sent, id).find(r.refusal) == 0);
        CHECK(other.pending.count(20) == 0);
        ++id;
    }
}

TEST_CASE("a delay room's input delay follows the seats' median round trip inside its band; a rollback room has none")
{
    const RelayTime start = RelayClock::now();
    Room room = OpenRoom("code", 7, start, kMinDelay);
    Room rollback = OpenRoom("code", 7, start, kRollback);
    Room least5 = OpenRoom("code", 7, start, 5);
    std::vector<Outgoing> out;
    TickLateness lateness;
    for (Room* r : {&room, &rollback, &least5}) {
        JoinRoom(*r, 1, -1, false, start, out);
        JoinRoom(*r, 2, -1, false, start, out);
    }
    CHECK(out[1].text == "delay 3");
    CHECK(out[5].text == "delay 0");
    CHECK(out[9].text == "delay 5");
    RelayTime now = start;
    // Five round trips of rtt ms each for both seats: the median is rtt.
    auto measureIn = [&](Room& r, int rtt) {
        out.clear();
        for (int i = 0; i < 5; ++i) {
            now += milliseconds(1000);
            std::vector<Outgoing> pings;
            RunRoom(r, now, pings, lateness);
            for (const Outgoing& p : pings)
                if (p.text.compare(0, 5, "ping ") == 0)
                    TakeClientMessage(r, p.client, "pong " + p.text.substr(5), now + milliseconds(rtt), out);
        }
        return Broadcasts(out, "delay ");
    };
    auto measure = [&](int rtt) { return measureIn(room, rtt); };
    CHECK(measure(20).empty());  // 0.6 tick: the least delay, 3
    CHECK(measure(50) == std::vector<std::string>{"delay 4"});  // 1.5 ticks, and two to spare
    CHECK(measure(40).empty());
    CHECK(measure(30).empty());  // would fit 3, but within half a tick of 4's band
    CHECK(measure(10) == std::vector<std::string>{"delay 3"});
    CHECK(measure(900) == std::vector<std::string>{"delay 6"});  // no more than 6
    CHECK(room.delay == 6);
    // A rollback room tells each client how far ahead to run, from its own round trips.
    const auto aheads = [&](long client) {
        std::vector<std::string> said;
        for (const Outgoing& o : out)
            if (o.client == client && o.text.compare(0, 6, "ahead ") == 0)
                said.push_back(o.text);
        return said;
    };
    CHECK(measureIn(rollback, 900).empty());
    CHECK(aheads(1) == std::vector<std::string>{"ahead 8"});  // no more than 8
    CHECK(rollback.delay == kRollback);
    measureIn(rollback, 80);
    CHECK(aheads(2) == std::vector<std::string>{"ahead 4"});  // 2.4 ticks: 3, and one to spare
    measureIn(rollback, 90);
    CHECK(aheads(2).empty());  // within half a tick of 4's band
    CHECK(measureIn(least5, 10).empty());  // never below the room's own least
    CHECK(measureIn(least5, 900) == std::vector<std::string>{"delay 6"});
    CHECK(measureIn(least5, 10) == std::vector<std::string>{"delay 5"});
}

// A rollback room opened at start, clients 1 and 2 in seats 0 and 1.
static Room OpenRoomOfTwo(RelayTime start, std::vector<Outgoing>& out)
{
    Room room = OpenRoom("code", 7, start, kRollback);
    JoinRoom(room, 1, -1, false, start, out);
    JoinRoom(room, 2, -1, false, start, out);
    return room;
}

TEST_CASE("a command for a tick already broadcast moves to the next, after what is there, and is counted")
{
    const RelayTime start = RelayClock::now();
    std::vector<Outgoing> out;
    Room room = OpenRoomOfTwo(start, out);
    TickLateness lateness;
    RunRoom(room, start + milliseconds(340), out, lateness);
    REQUIRE(room.tick == 10);
    TakeClientMessage(room, 2, "cmd 11 down 87", start + milliseconds(340), out);
    TakeClientMessage(room, 1, "cmd 9 down 38", start + milliseconds(340), out);
    TakeClientMessage(room, 1, "cmd 10 up 38", start + milliseconds(340), out);
    TakeClientMessage(room, 1, "cmd 11 down 39", start + milliseconds(340), out);
    CHECK(room.moved == 2);
    out.clear();
    RunRoom(room, start + milliseconds(370), out, lateness);
    CHECK(Broadcasts(out, "tick ") == std::vector<std::string>{"tick 11\n11 down 87\n11 down 38\n11 up 38\n11 down 39"});
}

TEST_CASE("a seat silent for 2 s goes to the autopilot, and a room empty for 10 s ends")
{
    const RelayTime start = RelayClock::now();
    std::vector<Outgoing> out;
    Room room = OpenRoomOfTwo(start, out);
    TickLateness lateness;
    TakeClientMessage(room, 2, "ping 1", start + milliseconds(1500), out);
    RunRoom(room, start + milliseconds(1999), out, lateness);
    CHECK(!room.seats[0].autopilot);
    RunRoom(room, start + milliseconds(2000), out, lateness);
    CHECK(room.seats[0].autopilot);
    CHECK(!room.seats[1].autopilot);  // heard half a second later
    CHECK(Broadcasts(out, "tick 60").back() == "tick 60\n60 autopilot 0 on");  // the tick due then
    RunRoom(room, start + milliseconds(2100), out, lateness);
    TakeClientMessage(room, 1, "hash 1 ab", start + milliseconds(2100), out);
    CHECK(!room.seats[0].autopilot);
    CHECK(HasPending(room, room.tick + 1, std::to_string(room.tick + 1) + " autopilot 0 off"));
    RunRoom(room, start + milliseconds(2200), out, lateness);
    // Comments in the recording: a key script has no line for them.
    CHECK(WriteRoomRecording(room).find("\n60 autopilot 0 on\n64 autopilot 0 off\n") != std::string::npos);

    LeaveRoom(room, 1, start + milliseconds(3000));
    CHECK(!IsRoomOver(room, start + milliseconds(20000)));  // someone is still there
    LeaveRoom(room, 2, start + milliseconds(4000));
    CHECK(!IsRoomOver(room, start + milliseconds(13999)));
    CHECK(IsRoomOver(room, start + milliseconds(14000)));
}

// The text of the latest message to client starting with prefix, or "".
static std::string FindLatest(const std::vector<Outgoing>& out, long client, const std::string& prefix)
{
    for (auto o = out.rbegin(); o != out.rend(); ++o)
        if (o->client == client && o->text.compare(0, prefix.size(), prefix) == 0)
            return o->text;
    return "";
}

TEST_CASE("a client that joins watching holds no seat, so its silence hands no car over, until it sits")
{
    const RelayTime start = RelayClock::now();
    Room room = OpenRoom("code", 7, start, kRollback);
    std::vector<Outgoing> out;
    TickLateness lateness;
    CHECK(JoinRoom(room, 1, 1, true, start, out) == kSpectator);
    CHECK(FindLatest(out, 1, "welcome ") == "welcome code -1 0 7");
    RunRoom(room, start + milliseconds(5000), out, lateness);
    CHECK(WriteRoomRecording(room).find(" autopilot 1 on") == std::string::npos);
    CHECK(!room.seats[1].held);

    TakeClientMessage(room, 1, "sit 1", start + milliseconds(5000), out);
    CHECK(FindLatest(out, 1, "welcome ") == "welcome code 1 150 7");
    CHECK(room.seats[1].client == 1);
    TakeClientMessage(room, 1, "sit 2", start + milliseconds(5000), out);  // seated already: the same seat
    CHECK(FindLatest(out, 1, "welcome ") == "welcome code 1 150 7");
    // Seat 1 taken: the first seat no one has held; with every seat held, still watching.
    JoinRoom(room, 2, -1, true, start + milliseconds(5000), out);
    TakeClientMessage(room, 2, "sit 1", start + milliseconds(5000), out);
    CHECK(FindLatest(out, 2, "welcome ") == "welcome code 0 150 7");
    JoinRoom(room, 3, -1, false, start + milliseconds(5000), out);
    JoinRoom(room, 4, -1, true, start + milliseconds(5000), out);
    TakeClientMessage(room, 4, "sit -1", start + milliseconds(5000), out);
    CHECK(FindLatest(out, 4, "welcome ") == "welcome code -1 150 7");
    CHECK(FindRefusal(out, 4).empty());
    TakeClientMessage(room, 4, "sit 3", start + milliseconds(5000), out);
    CHECK(FindRefusal(out, 4) == "expected sit SEAT, -1 to 2: 'sit 3'");
}

TEST_CASE("the log after a tick starts at the first line of a later tick, wherever the tick falls")
{
    Room room = OpenRoom("code", 7, RelayClock::now(), kRollback);
    room.tick = 20;
    room.log = "5 down 38\n5 up 38\n7 down 87\n12 upright 1\n";
    const std::string whole = WriteRoomRecording(room);
    const std::string header = whole.substr(0, whole.size() - room.log.size());
    CHECK(WriteRoomRecording(room, 4) == whole);
    CHECK(WriteRoomRecording(room, 5) == header + "7 down 87\n12 upright 1\n");
    CHECK(WriteRoomRecording(room, 6) == header + "7 down 87\n12 upright 1\n");
    CHECK(WriteRoomRecording(room, 11) == header + "12 upright 1\n");
    CHECK(WriteRoomRecording(room, 12) == header);
    CHECK(WriteRoomRecording(room, 20) == header);
    room.log.clear();
    CHECK(WriteRoomRecording(room, 3) == header);
}

TEST_CASE("a seat asked for its world and silent for 2 s is passed over: the joiner gets none")
{
    const RelayTime start = RelayClock::now();
    Room room = OpenRoom("code", 7, start, kRollback);
    std::vector<Outgoing> out;
    JoinRoom(room, 1, -1, false, start, out);
    JoinRoom(room, 2, -1, true, start, out);
    out.clear();
    TakeClientMessage(room, 2, "snapshot", start, out);
    REQUIRE(out.size() == 1);
    CHECK((out[0].client == 1 && out[0].text == "offer"));
    out.clear();
    TickLateness lateness;
    RunRoom(room, start + milliseconds(1999), out, lateness);
    CHECK(std::none_of(out.begin(), out.end(), [](const Outgoing& o) { return o.client == 2 && o.text.compare(0, 5, "ping ") != 0; }));
    RunRoom(room, start + milliseconds(2000), out, lateness);
    CHECK(std::any_of(out.begin(), out.end(), [](const Outgoing& o) { return o.client == 2 && o.text == "snapshot 0"; }));
    // Its offer, late, is still taken and kept for whoever asks next.
    out.clear();
    TakeClientMessage(room, 1, "hash 30 00aa", start + milliseconds(2001), out);
    TakeClientMessage(room, 1, "offer 30 QUJD", start + milliseconds(2001), out);
    CHECK(out.empty());
    CHECK((room.snapshot.tick == 30 && room.snapshot.base64 == "QUJD"));
}

TEST_CASE("a room taken over goes on from the fleet's tick and log: its seats held, the next tick one tick on")
{
    const RelayTime now = RelayClock::now();
    const std::string log = "12 down 38\n40 down 87\n95 autopilot 1 on\n130 autopilot 0 on\n150 autopilot 0 off\n";
    Room room = ResumeRoom("code", 7, now, kRollback, 200, log);
    room.relays = " 127.0.0.1:1 127.0.0.1:2";
    CHECK(room.tick == 200);
    CHECK(room.seats[0].held);
    CHECK(!room.seats[0].autopilot);  // handed back at 150
    CHECK(room.seats[1].held);
    CHECK(room.seats[1].autopilot);
    CHECK(!room.seats[2].held);
    std::vector<Outgoing> out;
    TickLateness lateness;
    // The first seat no one has held; the fleet's relays named.
    CHECK(JoinRoom(room, 1, -1, false, now, out) == 2);
    CHECK(FindLatest(out, 1, "welcome ") == "welcome code 2 200 7 127.0.0.1:1 127.0.0.1:2");
    RunRoom(room, now + milliseconds(33), out, lateness);
    CHECK(room.tick == 200);
    RunRoom(room, now + milliseconds(34), out, lateness);
    CHECK(room.tick == 201);
    const std::string header = WriteRoomRecording(room).substr(0, WriteRoomRecording(room).find("12 down"));
    CHECK(WriteRoomRecording(room, 100) == header + "130 autopilot 0 on\n150 autopilot 0 off\n");
    // A seat of the log whose person does not come back goes to the autopilot 2 s on.
    RunRoom(room, now + milliseconds(1999), out, lateness);
    CHECK(!room.seats[0].autopilot);
    RunRoom(room, now + milliseconds(2000), out, lateness);
    CHECK(room.seats[0].autopilot);
}
