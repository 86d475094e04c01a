#include "app/Input.h"

int gCameraMode = 1;
static const int gCameraModeCount = 5;
static bool gScreenshotRequested;  // the next frame drawn is saved
static bool gRecordingRequested;   // the run so far is saved after this frame

void ApplyMachineCommand(const Command& command)
{
    switch (command.kind) {
    case CommandKind::kCamera:
        if (++gCameraMode > gCameraModeCount)
            gCameraMode = 1;
        break;
    case CommandKind::kPicture: gScreenshotRequested = true; break;
    case CommandKind::kKeepRecording: gRecordingRequested = true; break;
    case CommandKind::kQuit: RequestQuit(); break;
    default: break;  // the world's (sim/Commands.h)
    }
}

void ResetInput()
{
    gCameraMode = 1;
    gScreenshotRequested = gRecordingRequested = false;
}

bool TakeScreenshotRequest()
{
    bool requested = gScreenshotRequested;
    gScreenshotRequested = false;
    return requested;
}

bool TakeRecordingRequest()
{
    bool requested = gRecordingRequested;
    gRecordingRequested = false;
    return requested;
}
