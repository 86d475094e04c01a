// The autopilot: a car no one has driven for a while drives itself, through the same held keys a
// person would press, until a person touches one of its keys again. Its choices come from a seeded
// generator and the scene, so the same seed and keys give the same run.
#pragma once
#include <cstdint>

#include "physics/Bytes.h"
#include "physics/Car.h"

struct StateHash;

constexpr long kAutopilotIdleFrames = 300;  // ten seconds at 30 frames per second

struct AutopilotCar {
    long idleFrames;        // frames since a person last pressed or released one of the car's keys
    bool driving;           // the autopilot holds the car's keys
    float target[2];        // where it is heading, on the ground
    long targetFrames;      // frames spent heading there
    long slowFrames;        // frames in a row with the wheels driven and the car hardly moving
    long reverseFrames;     // frames left backing out
    long overturnedFrames;  // frames in a row on its side or roof
};

// Written here alone.
extern AutopilotCar gAutopilot[kCarCount];

// Every car back to a person's hands, and the generator seeded (0 counts as 1).
void StartAutopilot(uint32_t seed);
// The seed the generator last started from.
uint32_t ReadAutopilotSeed();
// A person pressed or released one of car c's keys: the car is theirs again at once.
void TakeCarFromAutopilot(int c);
// A shared run's hand-over: the car drives itself from now on, whatever the settings say, or is its
// person's again.
void HandCarToAutopilot(int c, bool on);
// Key vk belongs to a car the autopilot drives now.
bool IsAutopilotKey(unsigned vk);
// Before the frame's driving controls: sets the held keys of every car the autopilot drives; with
// takeIdleCars (the settings' autopilot) it also takes the cars left alone long enough, and with
// heldKeysStay only those of which a person holds no key.
void UpdateAutopilot(bool takeIdleCars, bool heldKeysStay);
// Every car's autopilot record, the generator's seed and state, as a snapshot keeps them, and back.
void WriteAutopilotState(ByteWriter& out);
void ReadAutopilotState(ByteReader& in);
// Feeds every car's autopilot record and the generator's state to the state hash.
void FeedAutopilotState(StateHash& hash);
