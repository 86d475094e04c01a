// What each command does, the same on every platform, and the state it leaves: the keys held for the
// cars, the camera, the pause and what the next frame is asked for. Keys are named by their Windows
// virtual-key codes (platform/Platform.h). Input.cpp is the one writer of everything declared here.
#pragma once
#include "app/Commands.h"
#include "physics/Bytes.h"
#include "platform/Platform.h"

extern bool gKeys[kKeyCount];  // the cars' keys held, as the commands applied so far left them

constexpr int kVkCamera = 'C';
constexpr int kVkUprightCars = 'R';  // every car on its side or roof back on its wheels
constexpr int kVkPause = 'P';        // the simulation stands still, or goes on
constexpr int kVkStep = 'N';         // while paused: one frame of simulation
constexpr int kVkScreenshot = 0x7B;  // F12: the next frame drawn is saved as a picture; with Shift, the run

extern int gCameraMode;  // 1 to 5
extern bool gPaused;

// Does what the command says, now. The frame applies queued commands through this; the autopilot
// applies its own keys through it during the frame.
void ApplyCommand(const Command& command);
// The cars' held keys (per car its four driving keys and lift, then the space bar) and the pause, as
// a snapshot keeps them, and back.
void WriteInputState(ByteWriter& out);
void ReadInputState(ByteReader& in);
// Nothing held, the first camera, running, nothing asked for.
void ResetInput();
// Whether this frame steps the simulation: paused, only the one frame a step asked for.
bool TakeSimulationFrame();
// Whether a picture was asked for since the last call.
bool TakeScreenshotRequest();
// Whether the run so far was asked to be kept as a recording since the last call.
bool TakeRecordingRequest();
