// Key state and what a key press does, the same on every platform. Keys are named by their Windows
// virtual-key codes (platform/Platform.h); every backend translates its own into them. This file's
// Input.cpp is the one writer of everything declared here.
#pragma once
#include "platform/Platform.h"

extern bool gKeys[kKeyCount];  // true between a key's key-down and key-up

constexpr int kVkCamera = 'C';
constexpr int kVkUprightCars = 'R'; // every car on its side or roof back on its wheels
constexpr int kVkPause = 'P';       // the simulation stands still, or goes on
constexpr int kVkStep = 'N';        // while paused: one frame of simulation
constexpr int kVkScreenshot = 0x7B; // F12: the next frame drawn is saved as a picture

extern int gCameraMode;  // 1 to 5
extern bool gPaused;

// A key goes down or up: what a person's key does, without handing its car back to a person. The
// autopilot presses and lets go through these; HandleKeyDown and HandleKeyUp add the person.
void PressKey(unsigned vk);
void ReleaseKey(unsigned vk);
// Nothing held, the first camera, running, nothing asked for.
void ResetInput();
// Whether this frame steps the simulation: paused, only the one frame N asked for.
bool TakeSimulationFrame();
// Whether F12 asked for a picture since the last call.
bool TakeScreenshotRequest();
