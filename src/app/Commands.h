// Where each command goes. What changes the world goes into the world's queue (sim/Commands.h), or
// in a shared run to the relay; what touches only this machine (the camera, a picture, keeping the
// run, Escape) into this machine's own queue, applied as its frame starts (Input.cpp says what each
// does). Commands.cpp owns this machine's queue and the quit flag.
#pragma once
#include <cstdint>
#include <string>

#include "sim/Commands.h"

// Written in Commands.cpp alone.
extern bool gQuitRequested;  // the run ends before its next frame

// A new run: nothing queued for this machine, no quit.
void StartCommands();
// Into the queue its reach names, after every command already there for its frame or an earlier one.
void QueueCommand(const Command& command);
// The played commands (record/Playback.h) of the frames after `after` up to upTo, each into its queue:
// a world wound back to `after` meets them once more.
void QueuePlayedCommands(long after, long upTo);
// As the run starts, its world built: every played command queued, the playback's header taken, the
// autopilot started with a recording's seed or freshSeed, and a clip's world restored; false, with
// the reason in why, when a clip's world cannot be.
bool StartRunPlayback(uint32_t freshSeed, std::string& why);
// From a person at this machine, for the next frame. While a playback drives the run, only what
// touches this machine alone is taken: the rest would make another run than the one played. In a
// shared run what changes the shared world goes to the relay, and pause and step are off.
void QueueLiveCommand(Command command);
// Applies this machine's commands due at the next frame (and any that came late), in order; false,
// with none of them applied, when one ends the run. The world's frame follows (sim/Simulation.h), or,
// while no frame may run (a shared run waiting for the relay's next tick, or left by it), nothing:
// the window stays in the person's hands.
bool ApplyMachineCommands();
// Ends the run before its next frame: a closed window, a mouse moved, Escape.
void RequestQuit();
