// Clips: Shift+F12 after more than a minute keeps a recording that begins with the world of about a
// minute before, and it plays from that world into the uninterrupted run's; a shorter run is kept
// whole; a damaged or mislabelled clip is refused with why. The long run's clip and its whole
// recording are left beside the test for the replay's and the page's tests (clip.keys, clip-run.keys).
#include <doctest/doctest.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "SceneHelpers.h"
#include "app/Commands.h"
#include "app/Frame.h"
#include "record/KeyScript.h"
#include "record/Playback.h"
#include "sim/StateHash.h"
#include "platform/Platform.h"

static std::set<std::filesystem::path> ListKeptRecordings()
{
    std::set<std::filesystem::path> kept;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::temp_directory_path()))
        if (entry.path().extension() == ".keys" && entry.path().filename().string().rfind("kelvaron-", 0) == 0)
            kept.insert(entry.path());
    return kept;
}

static KeyScript ReadFile(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "r");
    REQUIRE(file);
    KeyScript script;
    std::string error;
    const bool read = ReadKeyScript(file, script, error);
    std::fclose(file);
    INFO(error);
    REQUIRE(read);
    return script;
}

// A run of frames frames, the autopilot on and a person's keys, recorded whole into wholePath and kept
// with Shift+F12 at its last frame; the kept recording's text, the run's state hash at every frame.
static std::string KeepRun(long frames, const char* wholePath, std::vector<uint64_t>& hashes)
{
    StartAutopilotScene(4242u);
    RecordRunInto(wholePath);
    const auto before = ListKeptRecordings();
    hashes.assign(1, HashWorldState());
    for (long f = 1; f <= frames; ++f) {
        if (f == 100 || f == 1700)
            HandleKeyDown(kVkUp);
        if (f == 900 || f == 1800)
            HandleKeyUp(kVkUp);
        if (f == 1750)
            HandleKeyDown('A');
        if (f == frames) {
            HandleKeyDown(kVkShift);
            HandleKeyDown(kVkScreenshot);
        }
        REQUIRE(RunFrame());
        hashes.push_back(HashWorldState());
    }
    FinishPlayback();
    ResetPlayback();
    EndScene();
    std::vector<std::filesystem::path> kept;
    for (const auto& path : ListKeptRecordings())
        if (!before.count(path))
            kept.push_back(path);
    REQUIRE(kept.size() == 1);
    std::FILE* file = std::fopen(kept[0].string().c_str(), "rb");
    REQUIRE(file);
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;)
        text += char(c);
    std::fclose(file);
    std::filesystem::remove(kept[0]);
    return text;
}

// Plays script as kelvaron --play does; its first frame and the hash of each frame played must be the
// run's.
static void CheckPlaysAsRun(const KeyScript& script, const std::vector<uint64_t>& hashes, long first)
{
    std::string why;
    REQUIRE(CheckClip(script.header, why));
    StartScene();
    PlayKeyScript(script, "the clip");
    REQUIRE(StartRunPlayback(1, why));
    CHECK(gSim.frame == first);
    CHECK(HashWorldState() == hashes[size_t(first)]);
    while (!IsPlaybackOver()) {
        REQUIRE(RunFrame());
        REQUIRE(HashWorldState() == hashes[size_t(gSim.frame)]);
    }
    CHECK(gSim.frame == long(hashes.size()) - 1);
    ResetPlayback();
    EndScene();
}

TEST_CASE("Shift+F12 after a minute keeps a clip from the world of a minute before, which plays into the run's")
{
    std::vector<uint64_t> hashes;
    const std::string text = KeepRun(1900, "clip-run.keys", hashes);
    KeyScript clip;
    std::string error;
    REQUIRE(ReadKeyScriptText(text, clip, error));
    // The world kept each 30 frames: the first of the last 1800 is that after frame 120.
    CHECK(text.rfind("kelvaron-recording 3\n") != std::string::npos);
    CHECK(clip.header.from == 120);
    CHECK(clip.header.frames == 1900);
    REQUIRE(!clip.commands.empty());
    CHECK(clip.commands.front().frame > 120);
    CheckPlaysAsRun(clip, hashes, 120);
    CheckPlaysAsRun(ReadFile("clip-run.keys"), hashes, 0);  // --record keeps the whole run
    std::FILE* left = std::fopen("clip.keys", "wb");
    REQUIRE(left);
    std::fputs(text.c_str(), left);
    std::fclose(left);

    // A clip played and recorded again is the same clip.
    StartScene();
    PlayKeyScript(clip, "the clip");
    RecordRunInto("clip-again.keys");
    REQUIRE(StartRunPlayback(1, error));
    while (!IsPlaybackOver())
        REQUIRE(RunFrame());
    FinishPlayback();
    ResetPlayback();
    EndScene();
    const KeyScript again = ReadFile("clip-again.keys");
    CHECK((again.header.from == 120 && again.header.snapshot == clip.header.snapshot &&
           again.commands.size() == clip.commands.size()));
    std::remove("clip-again.keys");

    // Damaged or mislabelled, it is refused with why, before anything plays.
    const size_t snapshotAt = text.find("\nsnapshot ") + 200;  // in the world, past the snapshot's header
    const struct { std::string text, reason; } bad[] = {
        {std::string(text).replace(snapshotAt, 1, text[snapshotAt] == 'A' ? "B" : "A"),
         "the clip's snapshot is damaged: its checksum does not match its bytes"},
        {std::string(text).replace(snapshotAt, 1, "*"), "the clip's snapshot lines are not base64"},
        {std::string(text).replace(text.find("from 120"), 8, "from 150"),
         "the clip's snapshot is of frame 120, and it says it starts after frame 150"},
        {std::string(text).erase(text.rfind("\nsnapshot "), text.find('\n', text.rfind("\nsnapshot ") + 1) -
                                                                 text.rfind("\nsnapshot ")),
         "the clip's snapshot is cut short"},
        {std::string(text).replace(text.find("kelvaron-recording 3"), 20, "kelvaron-recording 2"),
         "line 9: 'from' belongs to a clip, a recording of format 3"},
        {std::string(text).replace(text.find("from 120"), 8, "from 1901"), "the clip starts after frame 1901"},
        {text.substr(0, text.find("\nsnapshot ") + 1) + "3 down 38\n", "the clip's header lacks its snapshot lines"},
        {text + "100 down 38\n", "a command at frame 100, before the clip's start after frame 120"},
    };
    for (const auto& [damaged, reason] : bad) {
        CAPTURE(reason);
        KeyScript script;
        std::string why;
        const bool read = ReadKeyScriptText(damaged, script, why) && CheckClip(script.header, why);
        CHECK(!read);
        CHECK(why.find(reason) != std::string::npos);
    }
}

TEST_CASE("Shift+F12 in a run shorter than a minute keeps it whole, from frame 0")
{
    std::vector<uint64_t> hashes;
    const std::string text = KeepRun(1500, "short-run.keys", hashes);
    std::remove("short-run.keys");
    KeyScript kept;
    std::string error;
    REQUIRE(ReadKeyScriptText(text, kept, error));
    CHECK(text.rfind("kelvaron-recording 2\n") != std::string::npos);
    CHECK((kept.header.snapshot.empty() && kept.header.from == 0));
    CheckPlaysAsRun(kept, hashes, 0);
}
