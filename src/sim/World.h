// What the rooms above the world ask of it and tell it without ODE's headers (record/, net/, input/):
// its frame count, the settings that shape it, its autopilot's seed, its cars' motion. The record
// itself is sim/Simulation.h.
#pragma once
#include <cstdint>

#include "sim/Commands.h"

struct SimSettings {
    float gravity;          // the world's, along z
    float boxMass;          // the settings' box mass, which a recording keeps
    bool autopilot;         // a car left alone drives itself
    bool heldControlsStay;  // a control a person holds keeps their car from the autopilot (a rule
                            // since recording format 2; a format 1 recording plays without it)
};

// Frames run since the world was built.
long ReadWorldFrame();
const SimSettings& ReadWorldSettings();
// Every car back to a person's hands, and the autopilot's generator seeded (0 counts as 1).
void StartAutopilot(uint32_t seed);
// The seed the autopilot's generator last started from.
uint32_t ReadAutopilotSeed();
// Whether the autopilot drives car c now.
bool IsAutopilotDriving(int c);
// The autopilot switch, whatever the settings say (a recording's, a room's, the replay's).
void SwitchAutopilot(bool on);
// Whether a held control keeps its car from the autopilot (a recording of format 1 plays without).
void KeepHeldControls(bool stay);
// Car c's chassis position and linear velocity, as a trace prints them.
void ReadCarMotion(int c, float position[3], float velocity[3]);
