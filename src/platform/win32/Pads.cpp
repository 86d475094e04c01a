// Gamepads on Windows: XInput, loaded when the window opens so that a machine without it still runs.
// Each controller is named to the shell by its XInput index, read once a frame.
#include <windows.h>
#include <xinput.h>

#include <initializer_list>

#include "platform/Platform.h"
#include "platform/win32/Win32Backend.h"

typedef DWORD(WINAPI* XInputGetStateFunction)(DWORD, XINPUT_STATE*);

constexpr int kRecheckFrames = 60;  // asking after an absent pad is slow: once a second or so

// This file's own: XInput, loaded by the first OpenGamepads and kept to the end of the process, and
// what PollGamepads last found.
static HMODULE gXInput;
static XInputGetStateFunction gGetState;
static bool gConnected[kPadCount];  // the pad answered at its last look
static int gFramesToRecheck;        // polls until absent pads are asked after again

void OpenGamepads()
{
    if (!gXInput)
        for (const char* name : {"xinput1_4.dll", "xinput1_3.dll", "xinput9_1_0.dll"})
            if ((gXInput = LoadLibraryA(name)))
                break;
    if (gXInput)
        gGetState = reinterpret_cast<XInputGetStateFunction>(
            reinterpret_cast<void*>(GetProcAddress(gXInput, "XInputGetState")));
}

void CloseGamepads()
{
    for (bool& connected : gConnected)
        connected = false;
    gGetState = nullptr;
    // XInput stays loaded to the end of the process: under Wine the thread it reads the pads on can
    // still be running when the library goes, and then crashes the process on its way out.
}

static PadState ReadPadState(const XINPUT_GAMEPAD& g)
{
    PadState s = {};
    s.steer = float(g.sThumbLX) / 32767.0f;
    s.dpadLeft = g.wButtons & XINPUT_GAMEPAD_DPAD_LEFT;
    s.dpadRight = g.wButtons & XINPUT_GAMEPAD_DPAD_RIGHT;
    // A trigger's travel, 0 to 1; its button counts as all the way.
    s.forward = (g.wButtons & XINPUT_GAMEPAD_A) ? 1 : float(g.bRightTrigger) / 255;
    s.backward = (g.wButtons & XINPUT_GAMEPAD_B) ? 1 : float(g.bLeftTrigger) / 255;
    s.lift = g.wButtons & (XINPUT_GAMEPAD_LEFT_SHOULDER | XINPUT_GAMEPAD_RIGHT_SHOULDER);
    s.brake = g.wButtons & XINPUT_GAMEPAD_X;
    s.upright = g.wButtons & XINPUT_GAMEPAD_Y;
    return s;
}

void PollGamepads()
{
    if (!gGetState)
        return;
    bool recheck = --gFramesToRecheck <= 0;
    if (recheck)
        gFramesToRecheck = kRecheckFrames;
    for (int pad = 0; pad < kPadCount; ++pad) {
        if (!gConnected[pad] && !recheck)
            continue;
        XINPUT_STATE state;
        bool connected = gGetState(DWORD(pad), &state) == ERROR_SUCCESS;
        if (connected)
            HandlePadState(pad, ReadPadState(state.Gamepad));
        else if (gConnected[pad])
            HandlePadGone(pad);
        gConnected[pad] = connected;
    }
}
