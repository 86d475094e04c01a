// The keys and what they mean: which keys drive which car, and the one translation of a key going
// down or up into a command and back, that the window's keys, key scripts, recordings and the relay's
// wire all go through (KeyTable.cpp). Key codes stay here and in the keyboard (input/): the world
// knows its cars' controls alone. Keys are named by their Windows virtual-key codes.
#pragma once
#include "platform/Platform.h"
#include "sim/Commands.h"

constexpr int kVkCamera = 'C';
constexpr int kVkUprightCars = 'R';  // every car on its side or roof back on its wheels
constexpr int kVkPause = 'P';        // the simulation stands still, or goes on
constexpr int kVkStep = 'N';         // while paused: one frame of simulation
constexpr int kVkScreenshot = 0x7B;  // F12: the next frame drawn is saved as a picture; with Shift, the run

struct CarKeys {
    int raiseSteer;  // steer left
    int lowerSteer;  // steer right
    int raiseSpeed;  // faster
    int lowerSpeed;  // slower
    int lift;
};

extern const CarKeys kCarKeys[kWorldCarCount];

// Which keys a source of key presses holds: a key held down repeats its key-down, and the keys that
// act once a press act only on the first.
struct KeyboardState {
    bool held[kKeyCount];
};

// The command key vk going down or up makes at frame, if any (false for keys that mean nothing, and
// for a repeat of a key that acts once a press).
bool TranslateKey(KeyboardState& keyboard, unsigned vk, bool down, long frame, Command* command);
// The key a held command stands for (a car's driving key, its lift key or the space bar), or -1.
int FindCommandKey(const Command& command);
