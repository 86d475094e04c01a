// Playing a recording or key script in a run, and keeping a run as a recording (declared in
// platform/Platform.h). Playback.cpp writes what is played and where the run is kept.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "record/KeyScript.h"

// Nothing played, nothing kept.
void ResetPlayback();
// The commands of script drive the next run from its first frame, or a clip's from its world.
void PlayKeyScript(const KeyScript& script, const char* name);
// Whether a clip's snapshot is whole, of this build's physics and of the frame its header says it
// starts after; the reason in why if not. A recording from frame 0 has nothing to check.
bool CheckClip(const RecordingHeader& header, std::string& why);
// As the run starts, its world built: a recording's header turns the autopilot on or off and says
// whether held controls keep a car from it. The shell queues the commands (app/Commands.h).
void StartPlayback();
// The commands played, in frame order.
const std::vector<Command>& ReadPlayedCommands();
// The world a played clip starts from (sim/Snapshot.h); empty when the run plays from frame 0.
const std::vector<uint8_t>& ReadPlayedSnapshot();
// A playback drives the run: what a person does here may touch only what this machine shows.
bool IsPlaybackDriving();
// The autopilot's seed for the run starting: a recording's own, or fresh.
uint32_t ChooseAutopilotSeed(uint32_t fresh);
// A recording has played all its frames.
bool IsPlaybackOver();
// What this run is, for a recording's header, after frames frames: a clip when it plays one, from
// the played clip's world.
RecordingHeader DescribeRun(long frames);
// Saves the run so far into the pictures folder and says where: from the world in snapshot, saved
// after frame `from`, and the commands after it, or with no snapshot the whole run.
void KeepRunAsRecording(long from, const std::vector<uint8_t>& snapshot);
// At the run's end, with the world still there: writes the recording asked for and says what was
// recorded or played, with the final state's hash.
void FinishPlayback();
