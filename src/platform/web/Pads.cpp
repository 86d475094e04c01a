// Gamepads in the page: the Gamepad API's standard mapping, read once a frame. Each pad is named to
// the shell by the browser's index for it, which stays while the pad does.
#include <emscripten/html5.h>

#include "platform/Platform.h"
#include "platform/web/WebBackend.h"

// The standard mapping's buttons and axes.
enum { kButtonA, kButtonB, kButtonX, kButtonY, kLeftShoulder, kRightShoulder, kLeftTrigger, kRightTrigger,
       kDpadLeft = 14, kDpadRight = 15 };

static bool Pressed(const EmscriptenGamepadEvent& g, int button)
{
    return button < g.numButtons && g.digitalButton[button];
}

// A trigger's travel, 0 to 1, or 1 for the face button that stands for it.
static float ReadTravel(const EmscriptenGamepadEvent& g, int trigger, int button)
{
    if (Pressed(g, button))
        return 1;
    return trigger < g.numButtons ? float(g.analogButton[trigger]) : 0;
}

static PadState ReadPad(const EmscriptenGamepadEvent& g)
{
    PadState s = {};
    s.steer = g.numAxes > 0 ? float(g.axis[0]) : 0;
    s.dpadLeft = Pressed(g, kDpadLeft);
    s.dpadRight = Pressed(g, kDpadRight);
    s.forward = ReadTravel(g, kRightTrigger, kButtonA);
    s.backward = ReadTravel(g, kLeftTrigger, kButtonB);
    s.lift = Pressed(g, kLeftShoulder) || Pressed(g, kRightShoulder);
    s.brake = Pressed(g, kButtonX);
    s.upright = Pressed(g, kButtonY);
    return s;
}

void PollGamepads()
{
    if (emscripten_sample_gamepad_data() != EMSCRIPTEN_RESULT_SUCCESS)
        return;
    for (int index = 0; index < kSeenPadCount; ++index) {
        EmscriptenGamepadEvent g;
        bool connected = index < emscripten_get_num_gamepads() &&
                         emscripten_get_gamepad_status(index, &g) == EMSCRIPTEN_RESULT_SUCCESS && g.connected;
        if (connected)
            HandlePadState(index, ReadPad(g));
        else if (gWeb.padConnected[index])
            HandlePadGone(index);
        gWeb.padConnected[index] = connected;
    }
}

// The Gamepad API needs no opening: the browser's pads are sampled each frame.
void OpenGamepads() {}

void CloseGamepads()
{
    for (bool& connected : gWeb.padConnected)
        connected = false;
}
