#include "app/Input.h"

#include <algorithm>
#include <iterator>

#include "app/Autopilot.h"
#include "app/Controls.h"
#include "app/Keyboard.h"
#include "physics/Driving.h"
#include "physics/Upright.h"

bool gKeys[kKeyCount];
int gCameraMode = 1;
static const int gCameraModeCount = 5;
bool gPaused;
static bool gStepRequested;       // a step while paused: the next frame steps
static bool gScreenshotRequested; // the next frame drawn is saved
static bool gRecordingRequested;  // the run so far is saved after this frame

static void SetOverturnedUpright(int car)
{
    for (int c = 0; c < kCarCount; ++c)
        if ((car == kEveryCar || car == c) && IsCarOverturned(c))
            SetCarUpright(c);
}

void ApplyCommand(const Command& command)
{
    switch (command.kind) {
    case CommandKind::kCarKey:
    case CommandKind::kLift:
    case CommandKind::kStopAndSpin:
        if (command.source == CommandSource::kPerson)
            TakeCarFromAutopilot(command.car);
        gKeys[FindCommandKey(command)] = command.down;
        if (command.kind == CommandKind::kStopAndSpin)
            SetFrontHubMotors(command.down ? 5.0f : 0.0f);
        break;
    case CommandKind::kUpright: SetOverturnedUpright(command.car); break;
    case CommandKind::kAutopilot: HandCarToAutopilot(command.car, command.down); break;
    case CommandKind::kPause:
        gPaused = !gPaused;
        gStepRequested = false;
        break;
    case CommandKind::kStep: gStepRequested = gPaused; break;
    case CommandKind::kCamera:
        if (++gCameraMode > gCameraModeCount)
            gCameraMode = 1;
        break;
    case CommandKind::kPicture: gScreenshotRequested = true; break;
    case CommandKind::kKeepRecording: gRecordingRequested = true; break;
    case CommandKind::kQuit: RequestQuit(); break;
    }
}

// The keys a car's controls read, in the state hash's order.
static int ListHeldKeys(int keys[kCarCount * 5 + 1])
{
    int n = 0;
    for (const CarKeys& k : kCarKeys)
        for (int vk : {k.raiseSteer, k.lowerSteer, k.raiseSpeed, k.lowerSpeed, k.lift})
            keys[n++] = vk;
    keys[n++] = kVkSpace;
    return n;
}

void WriteInputState(ByteWriter& out)
{
    int keys[kCarCount * 5 + 1];
    for (int i = 0, n = ListHeldKeys(keys); i < n; ++i)
        PutUint8(out, gKeys[keys[i]]);
    PutUint8(out, gPaused);
}

void ReadInputState(ByteReader& in)
{
    int keys[kCarCount * 5 + 1];
    for (int i = 0, n = ListHeldKeys(keys); i < n; ++i)
        gKeys[keys[i]] = TakeUint8(in) != 0;
    gPaused = TakeUint8(in) != 0;
    gStepRequested = false;
}

void ResetInput()
{
    std::fill(std::begin(gKeys), std::end(gKeys), false);
    gCameraMode = 1;
    gPaused = gStepRequested = gScreenshotRequested = gRecordingRequested = false;
}

// Paused, the scene stands still and is drawn; a step lets exactly one frame of simulation through.
bool TakeSimulationFrame()
{
    bool advance = !gPaused || gStepRequested;
    gStepRequested = false;
    return advance;
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
