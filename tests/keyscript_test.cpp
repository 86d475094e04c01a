// Key scripts and recordings: read by hand-typed lines, refused with their line and reason, and a run
// kept as a recording that plays back into the same world.
#include <doctest/doctest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "SceneHelpers.h"
#include "sim/Autopilot.h"
#include "app/Commands.h"
#include "app/Frame.h"
#include "app/Input.h"
#include "record/KeyScript.h"
#include "record/Playback.h"
#include "app/Settings.h"
#include "sim/StateHash.h"
#include "platform/Platform.h"

static bool Read(const std::string& text, KeyScript& script, std::string& error)
{
    std::FILE* file = std::tmpfile();
    REQUIRE(file);
    std::fputs(text.c_str(), file);
    std::rewind(file);
    bool ok = ReadKeyScript(file, script, error);
    std::fclose(file);
    return ok;
}

static std::string Header(const char* frames = "frames 100\n")
{
    return "kelvaron-recording 1\nphysics " + DescribePhysics() + "\ngravity -0.5\nbox-mass 0.02\nautopilot on 77\n" +
           frames;
}

TEST_CASE("a key script's keys become the cars' commands, in file order within a frame and frame order")
{
    KeyScript script;
    std::string error;
    REQUIRE(Read("# drive\n\n5 down 38   # up\n2 down 32\n5 up 38\r\n2 up 32\n3 down 81\n"
                 "4 down 65\n4 down 65\n6 down 27\n6 down 123\n6 down 112\n",
                 script, error));
    CHECK(!script.recorded);
    const auto& c = script.commands;
    REQUIRE(c.size() == 7);  // Escape, F12 and F1 mean nothing in a script
    CHECK((c[0].frame == 2 && c[0].kind == CommandKind::kStopAndSpin && c[0].down));
    CHECK((c[1].frame == 2 && c[1].kind == CommandKind::kStopAndSpin && !c[1].down));
    CHECK((c[2].frame == 3 && c[2].kind == CommandKind::kLift && c[2].car == 1 && c[2].down));
    CHECK((c[3].frame == 4 && c[3].kind == CommandKind::kCarKey && c[3].car == 1 && c[3].key == CarKey::kSteerLeft));
    CHECK(c[4].frame == 4);  // a held driving key's repeat is a command too: it hands the car back again
    CHECK((c[5].frame == 5 && c[5].kind == CommandKind::kCarKey && c[5].car == 0 && c[5].key == CarKey::kFaster &&
           c[5].down));
    CHECK((c[6].frame == 5 && !c[6].down));
}

TEST_CASE("the keys that act once a press act on the first down only; named commands read as written")
{
    KeyScript script;
    std::string error;
    REQUIRE(Read("1 down 82\n2 down 82\n3 up 82\n3 down 82\n4 down 80\n4 down 80\n5 down 67\n5 down 67\n"
                 "6 upright 2\n6 upright all\n7 pause\n7 step\n",
                 script, error));
    const auto& c = script.commands;
    REQUIRE(c.size() == 9);
    CHECK((c[0].frame == 1 && c[0].kind == CommandKind::kUpright && c[0].car == kEveryCar));
    CHECK((c[1].frame == 3 && c[1].kind == CommandKind::kUpright));
    CHECK((c[2].frame == 4 && c[2].kind == CommandKind::kPause));
    CHECK((c[3].frame == 5 && c[3].kind == CommandKind::kCamera && c[4].kind == CommandKind::kCamera));
    CHECK((c[5].kind == CommandKind::kUpright && c[5].car == 2 && c[6].car == kEveryCar));
    CHECK((c[7].kind == CommandKind::kPause && c[8].kind == CommandKind::kStep));
}

TEST_CASE("a malformed script or a recording this build cannot play the same is refused with its line")
{
    const std::string bad[][2] = {
        {"1 down 38\n0 down 38\n", "line 2: bad frame number"},
        {"1 press 38\n", "line 1: expected down, up, upright, pause, step or autopilot"},
        {"1 autopilot 3 on\n", "line 1: expected autopilot, a car, 0 to 2, and on or off"},
        {"1 autopilot 1 maybe\n", "line 1: expected autopilot, a car, 0 to 2, and on or off"},
        {"1 autopilot 1\n", "line 1: expected autopilot, a car, 0 to 2, and on or off"},
        {"1 upright 1 on\n", "line 1: too many words"},
        {"1 down 256\n", "line 1: bad key code"},
        {"1 down -1\n", "line 1: bad key code"},
        {"1 down 38 extra\n", "line 1: too many words"},
        {"1 down\n", "line 1: expected FRAME down|up VK"},
        {"1\n", "line 1: expected a command"},
        {"1 upright 3\n", "line 1: expected upright and a car"},
        {"1 pause now\n", "line 1: nothing follows pause"},
        {"x down 38\n", "line 1: expected FRAME and a command, not 'x'"},
        {"99999999999999999999 down 38\n", "line 1: bad frame number"},
        {"frames 10\n", "line 1: 'frames' belongs in a recording's header"},
        {"kelvaron-recording 4\n", "line 1: the recording's format 4 is newer than this build reads (3)"},
        {"kelvaron-recording 1\nphysics ode-0.16.2 999\n", "line 2: recorded with physics 'ode-0.16.2 999'"},
        {"kelvaron-recording 1\nphysics ode-0.16.2\n", "line 2: recorded with physics '?'"},
        {Header() + "gravity -0.5\n", "line 7: a second 'gravity' line"},
        {Header() + "1 down 38\nframes 3\n", "line 8: 'frames' belongs in a recording's header"},
        {"kelvaron-recording 1\n1 down 38\n", "line 2: the recording's header lacks a line"},
        {"kelvaron-recording 1\n", "the recording's header lacks a line"},
        {Header().replace(Header().find("on 77"), 5, "maybe 77"), "line 5: expected autopilot on|off SEED"},
        {Header().replace(Header().find("on 77"), 5, "on 0"), "line 5: expected autopilot on|off SEED"},
        {Header().replace(Header().find("-0.5"), 4, "nan"), "line 3: expected gravity and a number"},
        {Header("frames 5\n") + "6 down 38\n", "a command at frame 6, after the recording's 5 frames"},
    };
    for (auto& [text, reason] : bad) {
        CAPTURE(text);
        KeyScript script;
        std::string error;
        CHECK(!Read(text, script, error));
        CHECK(error.find(reason) == 0);
    }
    KeyScript script;
    std::string error;
    CHECK(!Read(std::string(600, '1') + " down 38\n", script, error));
    CHECK(error == "line 1: too long");
}

TEST_CASE("a recording written is read back as it was: header and every command")
{
    const RecordingHeader header = {DescribePhysics(), -0.5f, 0.02f, true, 4000000000u, 1234};
    const std::vector<Command> commands = {
        {1, CommandKind::kCarKey, 2, CarKey::kSlower, true, CommandSource::kPerson},
        {1, CommandKind::kStopAndSpin, 0, CarKey::kSteerLeft, true, CommandSource::kPerson},
        {9, CommandKind::kLift, 1, CarKey::kSteerLeft, true, CommandSource::kPerson},
        {9, CommandKind::kUpright, kEveryCar, CarKey::kSteerLeft, true, CommandSource::kPerson},
        {10, CommandKind::kUpright, 1, CarKey::kSteerLeft, true, CommandSource::kPerson},
        {10, CommandKind::kPause, kEveryCar, CarKey::kSteerLeft, true, CommandSource::kPerson},
        {11, CommandKind::kStep, kEveryCar, CarKey::kSteerLeft, true, CommandSource::kPerson},
        {11, CommandKind::kAutopilot, 2, CarKey::kSteerLeft, true, CommandSource::kPerson},
        {12, CommandKind::kAutopilot, 2, CarKey::kSteerLeft, false, CommandSource::kPerson},
        {12, CommandKind::kCarKey, 2, CarKey::kSlower, false, CommandSource::kPerson},
    };
    std::FILE* file = std::tmpfile();
    REQUIRE(file);
    REQUIRE(WriteRecording(file, header, commands));
    std::rewind(file);
    KeyScript script;
    std::string error;
    REQUIRE(ReadKeyScript(file, script, error));
    std::fclose(file);
    CHECK(script.recorded);
    CHECK(script.header.physics == header.physics);
    CHECK((script.header.gravity == -0.5f && script.header.boxMass == 0.02f));
    CHECK((script.header.autopilot && script.header.seed == 4000000000u && script.header.frames == 1234));
    REQUIRE(script.commands.size() == commands.size());
    for (size_t i = 0; i < commands.size(); ++i) {
        CAPTURE(i);
        const Command &a = commands[i], &b = script.commands[i];
        CHECK((a.frame == b.frame && a.kind == b.kind && a.down == b.down));
        CHECK(((a.kind != CommandKind::kCarKey && a.kind != CommandKind::kLift && a.kind != CommandKind::kUpright &&
                a.kind != CommandKind::kAutopilot) ||
               a.car == b.car));
        CHECK((a.kind != CommandKind::kCarKey || a.key == b.key));
    }
}

// A run with the autopilot, a person's keys (Up on the keyboard's repeat) and pads, and a pause,
// recorded as the program records it.
static uint64_t RecordRun(const std::string& path)
{
    StartAutopilotScene(987654321u);
    RecordRunInto(path.c_str());
    const PadState trigger = {0.8f, 1, 0, false, false, false, false, false};
    for (long f = 1; f <= 900; ++f) {
        if (f >= 40 && f < 300)
            HandleKeyDown(kVkUp);
        if (f == 200)
            HandlePadState(31, trigger);  // the first pad: car 0's keys, the keyboard's too
        if (f == 260)
            HandlePadState(32, {-1, 0, 1, true, false, true, false, false});
        if (f == 300) {
            HandleKeyUp(kVkUp);
            HandlePadGone(31);
        }
        if (f == 420 || f == 440) {
            HandleKeyDown(kVkPause);
            HandleKeyUp(kVkPause);
        }
        if (f == 430) {
            HandleKeyDown(kVkStep);
            HandleKeyUp(kVkStep);
        }
        if (f == 500)
            HandleKeyDown('R');
        RunFrame();
    }
    // Escape, and a key let go with it: nothing of that frame runs or is kept.
    HandleKeyDown(kVkEscape);
    HandlePadState(32, PadState{});
    CHECK(!RunFrame());
    const uint64_t hash = HashWorldState();
    FinishPlayback();
    EndScene();
    return hash;
}

TEST_CASE("a run kept as a recording plays back into the same world, frame for frame")
{
    const std::string path = "kelvaron-recording-test.keys";  // in the test's own folder, on every build
    std::remove(path.c_str());
    const uint64_t recorded = RecordRun(path);

    std::FILE* file = std::fopen(path.c_str(), "r");
    REQUIRE(file);
    KeyScript script;
    std::string error;
    REQUIRE(ReadKeyScript(file, script, error));
    std::fclose(file);
    CHECK(script.header.frames == 900);
    CHECK(script.header.seed == 987654321u);
    // Up held on the keyboard's repeat is one command, as is the pad's trigger: repeats change nothing.
    long upsPressed = 0;
    for (const Command& c : script.commands)
        upsPressed += c.kind == CommandKind::kCarKey && c.car == 0 && c.key == CarKey::kFaster && c.down;
    CHECK(upsPressed == 2);
    StartScene();
    PlayKeyScript(script, path.c_str());
    REQUIRE(StartRunPlayback(1, error));
    CHECK(gSim.settings.autopilot);
    while (!IsPlaybackOver())
        REQUIRE(RunFrame());
    CHECK(gSim.frame == 900);
    CHECK(HashWorldState() == recorded);
    // A person's keys during a playback would make another run: they are not taken.
    HandleKeyDown('W');
    RunFrame();
    CHECK(!HeldControl('W'));
    EndScene();
    std::remove(path.c_str());
}

// Whether the autopilot has car 1 after a recording of format holds W for 400 frames from frame 10.
static bool IsHeldCarTaken(int format)
{
    KeyScript script;
    std::string error;
    const std::string header = Header("frames 410\n");
    REQUIRE(Read("kelvaron-recording " + std::to_string(format) + header.substr(header.find('\n')) + "10 down 87\n",
                 script, error));
    StartScene();
    PlayKeyScript(script, "held");
    REQUIRE(StartRunPlayback(1, error));
    while (!IsPlaybackOver())
        REQUIRE(RunFrame());
    const bool taken = gSim.autopilot.cars[1].driving;
    CHECK(gSim.autopilot.cars[2].driving);                    // left alone, as car 1 was by presses
    CHECK(DescribeRun(gSim.frame).format == format);  // kept again, it keeps its rules
    EndScene();
    return taken;
}

TEST_CASE("a key held past the autopilot's wait keeps its car; a recording of format 1 plays as made")
{
    CHECK(!IsHeldCarTaken(kRecordingFormat));
    CHECK(IsHeldCarTaken(1));  // its held keys repeated, so there only presses kept a car
}

#ifndef _WIN32
#include <unistd.h>

#include "SmallDisk.h"

TEST_CASE("a recording that does not fit on the disk leaves the last one whole and no half file")
{
    char folder[] = "/tmp/kelvaron-full-XXXXXX";
    REQUIRE(mkdtemp(folder));
    if (MountSmallDisk(folder, 64 * 1024)) {
        const std::string path = std::string(folder) + "/run.keys";
        std::FILE* old = std::fopen(path.c_str(), "w");
        REQUIRE(old);
        std::fputs("1 down 38\n", old);
        std::fclose(old);
        FillSmallDisk(folder);
        RecordRun(path);
        std::FILE* file = std::fopen(path.c_str(), "r");
        REQUIRE(file);
        char line[32] = "";
        CHECK(std::fgets(line, sizeof line, file));
        std::fclose(file);
        CHECK(std::string(line) == "1 down 38\n");
        CHECK(!std::fopen((path + ".part").c_str(), "r"));
        UnmountSmallDisk(folder);
    }
    rmdir(folder);
}
#endif
