// A pad end to end on Linux: SDL's virtual game controller, read by the program's own pad code,
// drives car 0 in the shell's frames.
#include <doctest/doctest.h>

#include <SDL.h>

#include "SceneHelpers.h"
#include "app/Frame.h"
#include "app/Input.h"
#include "physics/Car.h"
#include "platform/linux/LinuxBackend.h"

static void PumpPadEvents()
{
    SDL_Event e;
    while (SDL_PollEvent(&e))
        HandlePadEvent(e);
}

TEST_CASE("a virtual pad plugged in during the run drives car 0, and unplugged lets go")
{
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    REQUIRE(SDL_Init(SDL_INIT_EVENTS) == 0);
    OpenGamepads();
    StartScene();
    RunFrames(50);
    const dReal startX = dBodyGetPosition(gSim.scene.cars[0].chassis.body)[0];

    int device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                           SDL_CONTROLLER_BUTTON_MAX, 0);
    REQUIRE(device >= 0);
    PumpPadEvents();
    SDL_Joystick* stick = SDL_JoystickOpen(device);
    REQUIRE(stick);
    // The right trigger, half way and more: forward.
    SDL_JoystickSetVirtualAxis(stick, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 30000);
    for (int i = 0; i < 200; ++i) {
        SDL_JoystickUpdate();
        PumpPadEvents();
        PollGamepads();
        RunFrames(1);
    }
    CHECK(HeldControl(kVkUp));
    CHECK(dBodyGetPosition(gSim.scene.cars[0].chassis.body)[0] > startX + 2);  // as the up arrow does

    SDL_JoystickClose(stick);
    REQUIRE(SDL_JoystickDetachVirtual(device) == 0);
    PumpPadEvents();
    RunFrames(1);  // the frame that takes the pad's keys up
    CHECK(!HeldControl(kVkUp));
    EndScene();
    CloseGamepads();
    SDL_Quit();
}
