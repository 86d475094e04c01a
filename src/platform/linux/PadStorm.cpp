// Pads plugged in and pulled out at random, for the input storm of the reliability tests: with
// KELVARON_PAD_STORM=SEED set, each poll may plug in or pull out one of SDL's virtual game
// controllers, and moves the sticks, triggers and buttons of those plugged in. They reach the run
// through the same events and reads as a real pad (Pads.cpp).
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <random>

#include "platform/linux/LinuxBackend.h"

static bool IsStormOn()
{
    static const bool on = [] {
        const char* seed = std::getenv("KELVARON_PAD_STORM");
        if (seed)
            gLinuxPads.stormDice.seed(std::strtoul(seed, nullptr, 10));
        return seed != nullptr;
    }();
    return on;
}

static void PlugStormPad(int slot)
{
    int device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                           SDL_CONTROLLER_BUTTON_MAX, 0);
    if (device < 0 || !(gLinuxPads.stormPads[slot] = SDL_JoystickOpen(device))) {
        std::fprintf(stderr, "kelvaron: pad storm: no virtual pad: %s\n", SDL_GetError());
        return;
    }
    ++gLinuxPads.plugged;
}

static void PullStormPad(int slot)
{
    SDL_JoystickID id = SDL_JoystickInstanceID(gLinuxPads.stormPads[slot]);
    SDL_JoystickClose(gLinuxPads.stormPads[slot]);
    gLinuxPads.stormPads[slot] = nullptr;
    // Device indexes shift as pads come and go; the instance is what stays.
    for (int device = 0; device < SDL_NumJoysticks(); ++device)
        if (SDL_JoystickGetDeviceInstanceID(device) == id && SDL_JoystickDetachVirtual(device) == 0) {
            ++gLinuxPads.pulled;
            return;
        }
}

void StirStormPads()
{
    if (!IsStormOn())
        return;
    if (gLinuxPads.stormDice() % 50 == 0) {
        int slot = gLinuxPads.stormDice() % kStormPads;
        if (gLinuxPads.stormPads[slot])
            PullStormPad(slot);
        else
            PlugStormPad(slot);
    }
    for (SDL_Joystick* pad : gLinuxPads.stormPads) {
        if (!pad)
            continue;
        for (int axis = 0; axis < SDL_CONTROLLER_AXIS_MAX; ++axis)
            if (gLinuxPads.stormDice() % 4 == 0)
                SDL_JoystickSetVirtualAxis(pad, axis, Sint16(gLinuxPads.stormDice()));
        for (int button = 0; button < SDL_CONTROLLER_BUTTON_MAX; ++button)
            if (gLinuxPads.stormDice() % 8 == 0)
                SDL_JoystickSetVirtualButton(pad, button, gLinuxPads.stormDice() % 2);
    }
}

void PullStormPads()
{
    if (!IsStormOn())
        return;
    for (int slot = 0; slot < kStormPads; ++slot)
        if (gLinuxPads.stormPads[slot])
            PullStormPad(slot);
    std::fprintf(stderr, "kelvaron: pad storm: %ld plugged in, %ld pulled out\n", gLinuxPads.plugged, gLinuxPads.pulled);
}
