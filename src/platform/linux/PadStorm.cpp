// Pads plugged in and pulled out at random, for the input storm of the reliability tests: with
// KELVARON_PAD_STORM=SEED set, each poll may plug in or pull out one of SDL's virtual game
// controllers, and moves the sticks, triggers and buttons of those plugged in. They reach the run
// through the same events and reads as a real pad (Pads.cpp).
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <random>

#include "platform/linux/LinuxBackend.h"

// More than there are cars, so that some wait for a car to come free.
static const int kStormPads = 5;
static SDL_Joystick* gStormPads[kStormPads];
static std::mt19937 gStormDice;
static long gPlugged, gPulled;

static bool IsStormOn()
{
    static const bool on = [] {
        const char* seed = std::getenv("KELVARON_PAD_STORM");
        if (seed)
            gStormDice.seed(std::strtoul(seed, nullptr, 10));
        return seed != nullptr;
    }();
    return on;
}

static void PlugStormPad(int slot)
{
    int device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                           SDL_CONTROLLER_BUTTON_MAX, 0);
    if (device < 0 || !(gStormPads[slot] = SDL_JoystickOpen(device))) {
        std::fprintf(stderr, "kelvaron: pad storm: no virtual pad: %s\n", SDL_GetError());
        return;
    }
    ++gPlugged;
}

static void PullStormPad(int slot)
{
    SDL_JoystickID id = SDL_JoystickInstanceID(gStormPads[slot]);
    SDL_JoystickClose(gStormPads[slot]);
    gStormPads[slot] = nullptr;
    // Device indexes shift as pads come and go; the instance is what stays.
    for (int device = 0; device < SDL_NumJoysticks(); ++device)
        if (SDL_JoystickGetDeviceInstanceID(device) == id && SDL_JoystickDetachVirtual(device) == 0) {
            ++gPulled;
            return;
        }
}

void StirStormPads()
{
    if (!IsStormOn())
        return;
    if (gStormDice() % 50 == 0) {
        int slot = gStormDice() % kStormPads;
        if (gStormPads[slot])
            PullStormPad(slot);
        else
            PlugStormPad(slot);
    }
    for (SDL_Joystick* pad : gStormPads) {
        if (!pad)
            continue;
        for (int axis = 0; axis < SDL_CONTROLLER_AXIS_MAX; ++axis)
            if (gStormDice() % 4 == 0)
                SDL_JoystickSetVirtualAxis(pad, axis, Sint16(gStormDice()));
        for (int button = 0; button < SDL_CONTROLLER_BUTTON_MAX; ++button)
            if (gStormDice() % 8 == 0)
                SDL_JoystickSetVirtualButton(pad, button, gStormDice() % 2);
    }
}

void PullStormPads()
{
    if (!IsStormOn())
        return;
    for (int slot = 0; slot < kStormPads; ++slot)
        if (gStormPads[slot])
            PullStormPad(slot);
    std::fprintf(stderr, "kelvaron: pad storm: %ld plugged in, %ld pulled out\n", gPlugged, gPulled);
}
