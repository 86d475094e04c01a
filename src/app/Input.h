// What this machine's own commands do, the same on every platform, and the state they leave: the
// camera and what the next frame is asked for. Input.cpp is the one writer of everything declared
// here.
#pragma once
#include "app/Commands.h"

extern int gCameraMode;  // 1 to 5

// Does what a command of this machine's says, now: the camera, a picture, keeping the run, the quit.
void ApplyMachineCommand(const Command& command);
// The first camera, nothing asked for.
void ResetInput();
// Whether a picture was asked for since the last call.
bool TakeScreenshotRequest();
// Whether the run so far was asked to be kept as a recording since the last call.
bool TakeRecordingRequest();
