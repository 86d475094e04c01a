#include "app/Input.h"

#include <algorithm>
#include <iterator>

#include "app/Autopilot.h"
#include "physics/Driving.h"
#include "physics/Upright.h"

bool gKeys[kKeyCount];
int gCameraMode = 1;
static const int gCameraModeCount = 5;
bool gPaused;
static bool gStepRequested;        // N was pressed while paused; the next frame steps
static bool gScreenshotRequested;  // F12: the next frame drawn is saved

// Keys that act once a press: a key held down repeats its key-down, and only the first counts.
static void HandleFreshPress(unsigned vk)
{
    switch (vk) {
    case kVkUprightCars:
        for (int c = 0; c < kCarCount; ++c)
            if (IsCarOverturned(c))
                SetCarUpright(c);
        break;
    case kVkPause:
        gPaused = !gPaused;
        gStepRequested = false;
        break;
    case kVkStep:
        gStepRequested = gPaused;
        break;
    case kVkScreenshot:
        gScreenshotRequested = true;
        break;
    default:
        break;
    }
}

void PressKey(unsigned vk)
{
    if (vk >= unsigned(kKeyCount))
        return;
    // A key can arrive while the window opens, before the cars exist.
    if (!gKeys[vk] && gCars[0].chassis.body)
        HandleFreshPress(vk);
    gKeys[vk] = true;
    if (vk == unsigned(kVkCamera) && ++gCameraMode > gCameraModeCount)
        gCameraMode = 1;
    if (vk == unsigned(kVkSpace))
        SetFrontHubMotors(5.0f);
}

void ReleaseKey(unsigned vk)
{
    if (vk >= unsigned(kKeyCount))
        return;
    if (vk == unsigned(kVkSpace))
        SetFrontHubMotors(0.0f);
    gKeys[vk] = false;
}

void HandleKeyDown(unsigned vk)
{
    if (vk >= unsigned(kKeyCount))
        return;
    NoteKeyFromPerson(vk);
    PressKey(vk);
}

void HandleKeyUp(unsigned vk)
{
    if (vk >= unsigned(kKeyCount))
        return;
    NoteKeyFromPerson(vk);
    ReleaseKey(vk);
}

void HandleFocusLost()
{
    // Released as if each key had come up here, so that the space bar's hub torque goes too. What
    // the autopilot holds is its own, not the keyboard's.
    for (unsigned vk = 0; vk < unsigned(kKeyCount); ++vk)
        if (gKeys[vk] && !IsAutopilotKey(vk))
            HandleKeyUp(vk);
}

void ResetInput()
{
    std::fill(std::begin(gKeys), std::end(gKeys), false);
    gCameraMode = 1;
    gPaused = gStepRequested = gScreenshotRequested = false;
}

// Paused, the scene stands still and is drawn; N lets exactly one frame of simulation through.
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
