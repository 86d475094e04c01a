// Gamepads on Linux: SDL's game controller API. Pads may come and go during a run; each open pad is
// named to the shell by its joystick instance id, which SDL keeps while the pad stays.
#include <SDL.h>

#include <cstdio>

#include "platform/Platform.h"
#include "platform/linux/LinuxBackend.h"

LinuxPads gLinuxPads;

static long ReadPadId(SDL_GameController* pad)
{
    return long(SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad)));
}

void OpenGamepads()
{
    // SDL then reports each pad already there as added, like one plugged in later.
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
        std::fprintf(stderr, "kelvaron: no gamepads: %s\n", SDL_GetError());
}

void CloseGamepads()
{
    for (SDL_GameController*& pad : gLinuxPads.pads)
        if (pad) {
            SDL_GameControllerClose(pad);
            pad = nullptr;
        }
    PullStormPads();
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

static int FindPad(SDL_JoystickID instance)
{
    for (int pad = 0; pad < kOpenPadCount; ++pad)
        if (gLinuxPads.pads[pad] && ReadPadId(gLinuxPads.pads[pad]) == instance)
            return pad;
    return -1;
}

static void AddPad(int deviceIndex)
{
    if (FindPad(SDL_JoystickGetDeviceInstanceID(deviceIndex)) >= 0)
        return;
    for (int pad = 0; pad < kOpenPadCount; ++pad)
        if (!gLinuxPads.pads[pad]) {
            gLinuxPads.pads[pad] = SDL_GameControllerOpen(deviceIndex);
            return;
        }
}

static void RemovePad(SDL_JoystickID instance)
{
    int pad = FindPad(instance);
    if (pad < 0)
        return;
    HandlePadGone(long(instance));
    SDL_GameControllerClose(gLinuxPads.pads[pad]);
    gLinuxPads.pads[pad] = nullptr;
}

bool HandlePadEvent(const SDL_Event& e)
{
    if (e.type == SDL_CONTROLLERDEVICEADDED)
        AddPad(e.cdevice.which);
    else if (e.type == SDL_CONTROLLERDEVICEREMOVED)
        RemovePad(e.cdevice.which);
    else
        return false;
    return true;
}

static bool Pressed(SDL_GameController* pad, SDL_GameControllerButton button)
{
    return SDL_GameControllerGetButton(pad, button) != 0;
}

// A trigger's travel, 0 to 1; its button counts as all the way.
static float ReadTrigger(SDL_GameController* pad, SDL_GameControllerAxis trigger, SDL_GameControllerButton button)
{
    if (Pressed(pad, button))
        return 1;
    return float(SDL_GameControllerGetAxis(pad, trigger)) / SDL_JOYSTICK_AXIS_MAX;
}

void PollGamepads()
{
    StirStormPads();
    for (SDL_GameController* p : gLinuxPads.pads) {
        if (!p)
            continue;
        PadState s = {};
        s.steer = float(SDL_GameControllerGetAxis(p, SDL_CONTROLLER_AXIS_LEFTX)) / SDL_JOYSTICK_AXIS_MAX;
        s.dpadLeft = Pressed(p, SDL_CONTROLLER_BUTTON_DPAD_LEFT);
        s.dpadRight = Pressed(p, SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
        s.forward = ReadTrigger(p, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, SDL_CONTROLLER_BUTTON_A);
        s.backward = ReadTrigger(p, SDL_CONTROLLER_AXIS_TRIGGERLEFT, SDL_CONTROLLER_BUTTON_B);
        s.lift = Pressed(p, SDL_CONTROLLER_BUTTON_LEFTSHOULDER) || Pressed(p, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER);
        s.brake = Pressed(p, SDL_CONTROLLER_BUTTON_X);
        s.upright = Pressed(p, SDL_CONTROLLER_BUTTON_Y);
        HandlePadState(ReadPadId(p), s);
    }
}
