// What this machine's own commands do, the same on every platform, and the state they leave: the
// camera and what the next frame is asked for. Keys are named by their Windows virtual-key codes
// (platform/Platform.h). Input.cpp is the one writer of everything declared here.
#pragma once
#include "app/Commands.h"
#include "platform/Platform.h"

constexpr int kVkCamera = 'C';
constexpr int kVkUprightCars = 'R';  // every car on its side or roof back on its wheels
constexpr int kVkPause = 'P';        // the simulation stands still, or goes on
constexpr int kVkStep = 'N';         // while paused: one frame of simulation
constexpr int kVkScreenshot = 0x7B;  // F12: the next frame drawn is saved as a picture; with Shift, the run

extern int gCameraMode;  // 1 to 5

// Does what a command of this machine's says, now: the camera, a picture, keeping the run, the quit.
void ApplyMachineCommand(const Command& command);
// The first camera, nothing asked for.
void ResetInput();
// Whether a picture was asked for since the last call.
bool TakeScreenshotRequest();
// Whether the run so far was asked to be kept as a recording since the last call.
bool TakeRecordingRequest();
