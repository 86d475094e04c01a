// What the Linux program makes of its arguments.
#include <doctest/doctest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "net/SharedRun.h"
#include "platform/linux/CommandLine.h"

static bool Read(std::initializer_list<const char*> args, LaunchRequest* request, std::string* error,
                 const char* xscreensaverWindow = nullptr)
{
    std::vector<const char*> argv = {"kelvaron"};
    argv.insert(argv.end(), args);
    return ReadLaunchRequest(int(argv.size()), argv.data(), xscreensaverWindow, request, error);
}

TEST_CASE("the host's switches: the second character decides, in either case")
{
    LaunchRequest r;
    std::string error;
    REQUIRE(Read({"/s"}, &r, &error));
    CHECK(r.mode == LaunchMode::kFullRun);
    REQUIRE(Read({"-S"}, &r, &error));
    CHECK(r.mode == LaunchMode::kFullRun);
    REQUIRE(Read({"/p", "1234"}, &r, &error));
    CHECK(r.mode == LaunchMode::kPreview);
    CHECK(r.window == 1234);
    REQUIRE(Read({"/P 0x2a00007"}, &r, &error));  // as one argument, as the Windows host passes it
    CHECK(r.window == 0x2a00007);
    for (auto args : {std::initializer_list<const char*>{}, {"/c"}, {"-C"}, {"/c:1234"}, {"x"}}) {
        REQUIRE(Read(args, &r, &error));
        CHECK(r.mode == LaunchMode::kSettingsDialog);
    }
}

TEST_CASE("XScreenSaver's options come first")
{
    LaunchRequest r;
    std::string error;
    REQUIRE(Read({"-root"}, &r, &error));
    CHECK(r.mode == LaunchMode::kXScreenSaver);
    CHECK(r.window == 0);
    REQUIRE(Read({"--root"}, &r, &error, "0x400008"));
    CHECK(r.window == 0x400008);
    REQUIRE(Read({"-window-id", "77"}, &r, &error));
    CHECK(r.window == 77);
    REQUIRE(Read({}, &r, &error, "4194312"));
    CHECK(r.mode == LaunchMode::kXScreenSaver);
    CHECK(r.window == 4194312);
    // There nobody can drive: the autopilot and the steady pace are on unless XScreenSaver says no.
    CHECK((r.autopilot && r.steadyPace));
    REQUIRE(Read({"-root", "--no-autopilot"}, &r, &error));
    CHECK((!r.autopilot && r.steadyPace));
    REQUIRE(Read({"-window-id", "77", "-no-pace", "--no-autopilot"}, &r, &error));
    CHECK((!r.autopilot && !r.steadyPace && r.window == 77));
    REQUIRE(Read({"/s"}, &r, &error));
    CHECK((!r.autopilot && !r.steadyPace));  // elsewhere the settings decide
    REQUIRE(Read({"--help"}, &r, &error));
    CHECK(r.mode == LaunchMode::kHelp);
    REQUIRE(Read({"--version"}, &r, &error));
    CHECK(r.mode == LaunchMode::kVersion);
    REQUIRE(Read({"--add-to-xscreensaver"}, &r, &error));
    CHECK(r.mode == LaunchMode::kAddToXScreenSaver);
    // Even under XScreenSaver, where XSCREENSAVER_WINDOW is set.
    REQUIRE(Read({"-remove-from-xscreensaver"}, &r, &error, "77"));
    CHECK(r.mode == LaunchMode::kRemoveFromXScreenSaver);
}

TEST_CASE("unusable window ids and unknown options are refused with a reason")
{
    LaunchRequest r;
    for (auto args : {std::initializer_list<const char*>{"/p"}, {"/p", "abc"}, {"/p", "0"}, {"/p", "0x"},
                      {"/p", "12x"}, {"/p", "99999999999"}, {"-window-id"}, {"-window-id", "-5"},
                      {"-x"}, {"/scr"}, {"/s", "extra"}, {"-root", "extra"}, {"/cx"}, {"/s", "--no-pace"},
                      {"--help", "/s"}, {"--add-to-xscreensaver", "x"}, {"--add-to-xscreensaver=1"}}) {
        std::string error;
        CHECK(!Read(args, &r, &error));
        CHECK(!error.empty());
    }
    std::string error;
    CHECK(!Read({"-root"}, &r, &error, "junk"));
    CHECK(error.find("XSCREENSAVER_WINDOW") != std::string::npos);
}

TEST_CASE("--record, --play, --join and --host go with a run, wherever they stand; alone, all but --record are a full run")
{
    LaunchRequest r;
    std::string error;
    REQUIRE(Read({"/s", "--record", "run.keys"}, &r, &error));
    CHECK((r.mode == LaunchMode::kFullRun && r.switches.record == "run.keys" && r.switches.play.empty()));
    REQUIRE(Read({"--record", "a b.keys", "/p", "0x2a"}, &r, &error));
    CHECK((r.mode == LaunchMode::kPreview && r.window == 0x2a && r.switches.record == "a b.keys"));
    REQUIRE(Read({"-window-id", "77", "--no-pace", "--record", "x.keys"}, &r, &error));
    CHECK((r.mode == LaunchMode::kXScreenSaver && !r.steadyPace && r.switches.record == "x.keys"));
    REQUIRE(Read({"--play", "run.keys"}, &r, &error));
    CHECK((r.mode == LaunchMode::kFullRun && r.switches.play == "run.keys" && r.switches.record.empty()));
    REQUIRE(Read({"--play", "in.keys", "--record", "out.keys"}, &r, &error));
    CHECK((r.mode == LaunchMode::kFullRun && r.switches.play == "in.keys" && r.switches.record == "out.keys"));
    REQUIRE(Read({"--join", "http://h:1/?room=ab"}, &r, &error));
    CHECK((r.mode == LaunchMode::kFullRun && r.switches.join == "http://h:1/?room=ab" && !r.host));
    REQUIRE(Read({"-root", "--join", "http://h:1/", "--record", "x.keys"}, &r, &error));
    CHECK((r.mode == LaunchMode::kXScreenSaver && r.switches.join == "http://h:1/" && r.switches.record == "x.keys"));
    REQUIRE(Read({"--host"}, &r, &error));
    CHECK((r.mode == LaunchMode::kFullRun && r.host && r.switches.join.empty()));
    REQUIRE(Read({"/s"}, &r, &error));
    CHECK((r.switches.record.empty() && r.switches.play.empty() && r.switches.join.empty() && !r.host));

    const struct {
        std::initializer_list<const char*> args;
        const char* why;
    } refused[] = {
        {{"/s", "--record"}, "--record needs a file after it"},
        {{"/s", "--record", "--play", "x"}, "--record needs a file after it"},
        {{"--play", ""}, "--play needs a file after it"},
        {{"/s", "--record", "a", "--record", "b"}, "--record is given twice"},
        {{"--record", "x.keys"}, "--record goes with a run"},
        {{"/c", "--play", "x.keys"}, "--play goes with a run"},
        {{"--version", "--record", "x.keys"}, "--record goes with a run"},
        {{"--join"}, "--join needs a room's link after it"},
        {{"--join", "http://a/", "--play", "x.keys"}, "--join and --play do not go together"},
        {{"--host", "--join", "http://a/"}, "--host makes a room of its own"},
        {{"/c", "--host"}, "--host goes with a run"},
        {{"/c", "--join", "http://a/"}, "--join goes with a run"},
    };
    for (const auto& r2 : refused) {
        CAPTURE(r2.why);
        CHECK(!Read(r2.args, &r, &error));
        CHECK(error.find(r2.why) == 0);
    }
}

TEST_CASE("-layer is a run, with the run switches; --saver waits 300 s unless told, from 1 s to a day")
{
    LaunchRequest r;
    std::string error;
    REQUIRE(Read({"-layer"}, &r, &error));
    CHECK(r.mode == LaunchMode::kLayerRun);
    REQUIRE(Read({"--layer", "--record", "x.keys"}, &r, &error));
    CHECK((r.mode == LaunchMode::kLayerRun && r.switches.record == "x.keys"));
    REQUIRE(Read({"--saver"}, &r, &error));
    CHECK((r.mode == LaunchMode::kSaver && r.saverSeconds == 300));
    REQUIRE(Read({"-saver", "2"}, &r, &error));
    CHECK(r.saverSeconds == 2);
    REQUIRE(Read({"--saver", "86400"}, &r, &error));
    CHECK(r.saverSeconds == 86400);
    for (const char* seconds : {"0", "86401", "2s", "", " 5", "99999999999999999999"}) {
        CAPTURE(seconds);
        CHECK(!Read({"--saver", seconds}, &r, &error));
        CHECK(error.find("--saver takes the seconds") == 0);
    }
    CHECK(!Read({"--saver", "-5"}, &r, &error));  // not a switch of its own either
    CHECK(!Read({"--saver", "1", "2"}, &r, &error));
    CHECK(!Read({"-layer", "extra"}, &r, &error));
    CHECK(!Read({"--saver", "--record", "x.keys"}, &r, &error));
    CHECK(error.find("--record goes with a run") == 0);
}

TEST_CASE("a room's link: a host by name or address, IPv6 in brackets, and a seat counted from 1, as the overlay counts cars")
{
    RelayAddress a;
    std::string error;
    REQUIRE(ReadRoomLink("http://[::1]:27183/?room=ab12&seat=3", a, error));
    CHECK((a.host == "::1" && a.port == 27183 && a.target == "/ws?room=ab12&seat=2"));
    CHECK(MakeRoomLink(a, "ab12") == "http://[::1]:27183/?room=ab12");
    REQUIRE(ReadRoomLink("http://[fe80::1:2]/", a, error));
    CHECK((a.host == "fe80::1:2" && a.port == 80 && a.target == "/ws"));
    REQUIRE(ReadRoomLink("http://relay-1.example:8080/?room=ff&seat=1", a, error));
    CHECK((a.host == "relay-1.example" && a.port == 8080 && a.target == "/ws?room=ff&seat=0"));
    CHECK(MakeRoomLink(a, "ff") == "http://relay-1.example:8080/?room=ff");
    REQUIRE(ReadRoomLink("http://h:1/?delay=6", a, error));  // a new room that waits, not one that rolls back
    CHECK(a.target == "/ws?delay=6");

    // Refused with why, the link itself left to the caller: "cannot join LINK: WHY" names it once.
    for (const char* bad : {"ftp://h/", "http://[::1/", "http://[]:1/", "http://[::1]x/", "http://[h]/", "http://:1/",
                            "http://h:0/", "http://h/?room=ab&seat=0", "http://h/?room=ab&seat=4", "http://h/?room=AB",
                            "http://h/?room=ab&seat=1&x=2", "http://h/?delay=2", "http://h/?delay=7",
                            "http://h/?delay=", "http://h/?delay=33"}) {
        CHECK_MESSAGE(!ReadRoomLink(bad, a, error), bad);
        CHECK_MESSAGE(!error.empty(), bad);
        RunSwitches switches;
        switches.join = bad;
        CHECK(!StartRunSwitches(switches, error));
        CHECK(error.compare(0, switches.join.size() + 13, "cannot join " + switches.join + ":") == 0);
        CHECK_MESSAGE(error.find(bad, 12 + switches.join.size()) == std::string::npos, error);
    }
}
