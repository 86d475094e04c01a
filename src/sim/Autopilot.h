// The autopilot: a car no one has driven for a while drives itself, holding the same controls a
// person would, until a person touches one of them again. It is a source of commands like any other:
// each frame it says what its cars hold, and the frame applies that. Its choices come from a seeded
// generator and the scene, so the same seed and commands give the same run.
#pragma once
#include <cstdint>
#include <vector>

#include "physics/Bytes.h"
#include "physics/Scene.h"
#include "sim/Commands.h"
#include "sim/World.h"

struct StateHash;

constexpr long kAutopilotIdleFrames = 300;  // ten seconds at 30 frames per second

struct AutopilotCar {
    long idleFrames;        // frames since a person last pressed or released one of the car's controls
    bool driving;           // the autopilot holds the car's controls
    float target[2];        // where it is heading, on the ground
    long targetFrames;      // frames spent heading there
    long slowFrames;        // frames in a row with the wheels driven and the car hardly moving
    long reverseFrames;     // frames left backing out
    long overturnedFrames;  // frames in a row on its side or roof
};

struct Autopilot {
    AutopilotCar cars[kCarCount];
    uint32_t random;  // the generator's state
    uint32_t seed;    // what it started from
};

// A person pressed or released one of car c's controls: the car is theirs again at once. Whether the
// autopilot drove it until now (its controls are then let go).
bool TakeCarFromAutopilot(int c);
// A shared run's hand-over: the car drives itself from now on, whatever the settings say.
void HandCarToAutopilot(int c);
// Before the frame's driving: appends to commands what every car the autopilot drives holds this
// frame, and a car's upright when it has lain overturned long enough; with takeIdleCars (the
// autopilot switch) it also takes the cars left alone long enough, and with heldControlsStay only
// those of which a person holds nothing.
void UpdateAutopilot(bool takeIdleCars, bool heldControlsStay, std::vector<Command>& commands);
// Every car's autopilot record, the generator's seed and state, as a snapshot keeps them, and back.
void WriteAutopilotState(ByteWriter& out);
void ReadAutopilotState(ByteReader& in);
// Feeds every car's autopilot record and the generator's state to the state hash.
void FeedAutopilotState(StateHash& hash);
