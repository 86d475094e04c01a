#include "app/Playback.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/Autopilot.h"
#include "app/Picture.h"
#include "app/Settings.h"
#include "app/StateHash.h"
#include "platform/Platform.h"

static bool gPlaying;          // a script or recording drives this run
static bool gPlayingRecorded;  // ...and it is a recording, with its own seed and length
static RecordingHeader gPlayed;
static std::vector<Command> gPlayedCommands;
static std::string gPlayedName;
static std::string gRecordPath;  // where the run is kept at its end; empty: nowhere

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

void StartPlayback()
{
    for (const Command& c : gPlayedCommands)
        QueueCommand(c);
    if (gPlayingRecorded)
        SwitchAutopilot(gPlayed.autopilot);
}

void QueuePlayedCommands(long after, long upTo)
{
    for (const Command& c : gPlayedCommands)
        if (c.frame > after && c.frame <= upTo)
            QueueCommand(c);
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
    const bool read = ReadKeyScript(file, script, why);
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

bool DoHeldKeysStay()
{
    return !gPlayingRecorded || gPlayed.format >= 2;
}

uint32_t ChooseAutopilotSeed(uint32_t fresh)
{
    return gPlayingRecorded ? gPlayed.seed : fresh;
}

bool IsPlaybackOver()
{
    return gPlayingRecorded && gFramesRun >= gPlayed.frames;
}

RecordingHeader DescribeRun(long frames)
{
    return {DescribePhysics(), gSettings.sGravity, gSettings.boxMass, gSettings.autopilot, ReadAutopilotSeed(), frames,
            gPlayingRecorded ? gPlayed.format : kRecordingFormat};
}

static bool WriteRunRecording(const char* path, char* reason, size_t reasonSize)
{
    std::FILE* file = std::fopen(path, "wb");  // the same bytes from every build
    if (!file) {
        std::snprintf(reason, reasonSize, "%s", std::strerror(errno));
        return false;
    }
    bool written = WriteRecording(file, DescribeRun(gFramesRun), ReadRecordedCommands());
    if (!written)
        std::snprintf(reason, reasonSize, "%s", std::strerror(errno ? errno : EIO));
    return std::fclose(file) == 0 && written;
}

void KeepRunAsRecording()
{
    char where[1024];
    if (SaveInPicturesFolder("keys", WriteRunRecording, where, sizeof where))
        std::fprintf(stderr, "kelvaron: kept the run so far (%ld frames) as %s\n", gFramesRun, where);
    else
        std::fprintf(stderr, "kelvaron: could not keep the run as a recording: %s\n", where);
}

void FinishPlayback()
{
    const uint64_t hash = HashWorldState();
    if (gPlaying)
        std::printf("kelvaron: played %ld frames of %s, state hash %016" PRIx64 "\n", gFramesRun,
                    gPlayedName.c_str(), hash);
    if (gRecordPath.empty())
        return;
    char reason[512] = "";
    if (WriteFileWhole(gRecordPath, WriteRunRecording, reason, sizeof reason))
        std::printf("kelvaron: recorded %ld frames to %s, state hash %016" PRIx64 "\n", gFramesRun, gRecordPath.c_str(),
                    hash);
    else
        std::fprintf(stderr, "kelvaron: could not record the run to %s: %s\n", gRecordPath.c_str(), reason);
    std::fflush(stdout);
}
