// Gamepads on Windows: XInput, loaded when the window opens so that a machine without it still runs.
// Each controller is named to the shell by its XInput index, read once a frame.
#include <windows.h>
#include <xinput.h>

#include <initializer_list>

#include "platform/Platform.h"
#include "platform/win32/Win32Backend.h"

constexpr int kRecheckFrames = 60;  // asking after an absent pad is slow: once a second or so

void OpenGamepads()
{
    if (!gWin32.xinput)
        for (const char* name : {"xinput1_4.dll", "xinput1_3.dll", "xinput9_1_0.dll"})
            if ((gWin32.xinput = LoadLibraryA(name)))
                break;
    if (gWin32.xinput)
        gWin32.getState = reinterpret_cast<XInputGetStateFunction>(
            reinterpret_cast<void*>(GetProcAddress(gWin32.xinput, "XInputGetState")));
}

void CloseGamepads()
{
    for (bool& connected : gWin32.padConnected)
        connected = false;
    gWin32.getState = nullptr;
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
    if (!gWin32.getState)
        return;
    bool recheck = --gWin32.framesToRecheck <= 0;
    if (recheck)
        gWin32.framesToRecheck = kRecheckFrames;
    for (int pad = 0; pad < kPadCount; ++pad) {
        if (!gWin32.padConnected[pad] && !recheck)
            continue;
        XINPUT_STATE state;
        bool connected = gWin32.getState(DWORD(pad), &state) == ERROR_SUCCESS;
        if (connected)
            HandlePadState(pad, ReadPadState(state.Gamepad));
        else if (gWin32.padConnected[pad])
            HandlePadGone(pad);
        gWin32.padConnected[pad] = connected;
    }
}
