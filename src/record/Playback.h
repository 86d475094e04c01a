// Playing a recording or key script in a run, and keeping a run as a recording (declared in
// platform/Platform.h). Playback.cpp writes what is played and where the run is kept.
#pragma once
#include <cstdint>

#include "record/KeyScript.h"

// Nothing played, nothing kept.
void ResetPlayback();
// The commands of script drive the next run from its first frame.
void PlayKeyScript(const KeyScript& script, const char* name);
// As the run starts, its world built: a recording's header turns the autopilot on or off and says
// whether held controls keep a car from it. The shell queues the commands (app/Commands.h).
void StartPlayback();
// The commands played, in frame order.
const std::vector<Command>& ReadPlayedCommands();
// A playback drives the run: what a person does here may touch only what this machine shows.
bool IsPlaybackDriving();
// The autopilot's seed for the run starting: a recording's own, or fresh.
uint32_t ChooseAutopilotSeed(uint32_t fresh);
// A recording has played all its frames.
bool IsPlaybackOver();
// What this run is, for a recording's header, after frames frames.
RecordingHeader DescribeRun(long frames);
// Saves the run so far into the pictures folder and says where.
void KeepRunAsRecording();
// At the run's end, with the world still there: writes the recording asked for and says what was
// recorded or played, with the final state's hash.
void FinishPlayback();
