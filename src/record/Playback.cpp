#include "record/Playback.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/Platform.h"
#include "record/KeptFiles.h"
#include "sim/PhysicsName.h"
#include "sim/Snapshot.h"
#include "sim/StateHash.h"
#include "sim/World.h"

static bool gPlaying;          // a script or recording drives this run
static bool gPlayingRecorded;  // ...and it is a recording, with its own seed and length
static RecordingHeader gPlayed;
static std::vector<Command> gPlayedCommands;
static std::string gPlayedName;
static std::string gRecordPath;  // where the run is kept at its end; empty: nowhere
static RecordingHeader gKept;    // what a recording about to be written is of

void ResetPlayback()
{
    gPlaying = gPlayingRecorded = false;
    gPlayed = RecordingHeader{};
    gPlayedCommands.clear();
    gPlayedName.clear();
    gRecordPath.clear();
}

void PlayKeyScript(const KeyScript& script, const char* name)
{
    gPlaying = true;
    gPlayingRecorded = script.recorded;
    gPlayed = script.header;
    gPlayedCommands = script.commands;
    gPlayedName = name;
}

// Whether a control a person holds keeps their car from the autopilot, as since recording format 2. A
// recording of format 1, whose held keys repeated, plays as it was made: there only presses did.
static bool DoHeldControlsStay()
{
    return !gPlayingRecorded || gPlayed.format >= 2;
}

void StartPlayback()
{
    if (gPlayingRecorded)
        SwitchAutopilot(gPlayed.autopilot);
    KeepHeldControls(DoHeldControlsStay());
}

const std::vector<Command>& ReadPlayedCommands()
{
    return gPlayedCommands;
}

const std::vector<uint8_t>& ReadPlayedSnapshot()
{
    return gPlayed.snapshot;
}

bool CheckClip(const RecordingHeader& header, std::string& why)
{
    if (header.snapshot.empty())
        return true;
    long frame;
    if (!CheckSnapshotBytes(header.snapshot.data(), header.snapshot.size(), frame, why)) {
        why = "the clip's snapshot is " + why;
        return false;
    }
    if (frame == header.from)
        return true;
    why = "the clip's snapshot is of frame " + std::to_string(frame) + ", and it says it starts after frame " +
          std::to_string(header.from);
    return false;
}

bool LoadPlayback(const char* path, std::string& error)
{
    std::FILE* file = std::fopen(path, "r");
    if (!file) {
        error = std::string(path) + ": " + std::strerror(errno);
        return false;
    }
    KeyScript script;
    std::string why;
    const bool read = ReadKeyScript(file, script, why) && CheckClip(script.header, why);
    std::fclose(file);
    if (!read) {
        error = std::string(path) + ": " + why;
        return false;
    }
    PlayKeyScript(script, path);
    return true;
}

void RecordRunInto(const char* path)
{
    gRecordPath = path;
}

bool IsPlaybackDriving()
{
    return gPlaying;
}

uint32_t ChooseAutopilotSeed(uint32_t fresh)
{
    return gPlayingRecorded ? gPlayed.seed : fresh;
}

bool IsPlaybackOver()
{
    return gPlayingRecorded && ReadWorldFrame() >= gPlayed.frames;
}

RecordingHeader DescribeRun(long frames)
{
    const SimSettings& world = ReadWorldSettings();
    RecordingHeader run = {DescribePhysics(), world.gravity, world.boxMass, world.autopilot, ReadAutopilotSeed(),
                           frames, gPlayingRecorded ? gPlayed.format : kRecordingFormat};
    if (gPlaying && !gPlayed.snapshot.empty()) {
        run.from = gPlayed.from;
        run.snapshot = gPlayed.snapshot;
    }
    return run;
}

// The recorded commands after the kept run's first frame.
static std::vector<Command> ListKeptCommands()
{
    std::vector<Command> kept;
    for (const Command& c : ReadRecordedCommands())
        if (c.frame > gKept.from)
            kept.push_back(c);
    return kept;
}

static bool WriteRunRecording(const char* path, char* reason, size_t reasonSize)
{
    std::FILE* file = std::fopen(path, "wb");  // the same bytes from every build
    if (!file) {
        std::snprintf(reason, reasonSize, "%s", std::strerror(errno));
        return false;
    }
    bool written = WriteRecording(file, gKept, ListKeptCommands());
    if (!written)
        std::snprintf(reason, reasonSize, "%s", std::strerror(errno ? errno : EIO));
    return std::fclose(file) == 0 && written;
}

void KeepRunAsRecording(long from, const std::vector<uint8_t>& snapshot)
{
    gKept = DescribeRun(ReadWorldFrame());
    if (!snapshot.empty()) {
        gKept.format = kClipFormat;
        gKept.from = from;
        gKept.snapshot = snapshot;
    }
    char where[1024];
    if (SaveInPicturesFolder("keys", WriteRunRecording, where, sizeof where))
        std::fprintf(stderr, "kelvaron: kept %s (%ld frames) as %s, state hash %016" PRIx64 "\n",
                     gKept.snapshot.empty() ? "the run so far" : "the run's last part, a clip", ReadWorldFrame() - gKept.from,
                     where, HashWorldState());
    else
        std::fprintf(stderr, "kelvaron: could not keep the run as a recording: %s\n", where);
}

void FinishPlayback()
{
    const uint64_t hash = HashWorldState();
    if (gPlaying && gPlayed.snapshot.empty())
        std::printf("kelvaron: played %ld frames of %s, state hash %016" PRIx64 "\n", ReadWorldFrame(),
                    gPlayedName.c_str(), hash);
    else if (gPlaying)
        std::printf("kelvaron: played frames %ld to %ld of %s, state hash %016" PRIx64 "\n", gPlayed.from + 1,
                    ReadWorldFrame(), gPlayedName.c_str(), hash);
    if (gRecordPath.empty())
        return;
    char reason[512] = "";
    gKept = DescribeRun(ReadWorldFrame());
    if (WriteFileWhole(gRecordPath, WriteRunRecording, reason, sizeof reason))
        std::printf("kelvaron: recorded %ld frames to %s, state hash %016" PRIx64 "\n", ReadWorldFrame(), gRecordPath.c_str(),
                    hash);
    else
        std::fprintf(stderr, "kelvaron: could not record the run to %s: %s\n", gRecordPath.c_str(), reason);
    std::fflush(stdout);
}
