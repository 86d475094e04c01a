// Gamepads in the page: the Gamepad API's standard mapping, read once a frame. The first three pads
// connected drive cars 0, 1 and 2, each keeping its car while it stays.
#include <emscripten/html5.h>

#include "platform/Platform.h"

static long gPadIndex[kPadCount] = {-1, -1, -1};  // the browser's index of each car's pad

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

static int FindPad(long index)
{
    for (int pad = 0; pad < kPadCount; ++pad)
        if (gPadIndex[pad] == index)
            return pad;
    return -1;
}

void PollGamepads()
{
    if (emscripten_sample_gamepad_data() != EMSCRIPTEN_RESULT_SUCCESS)
        return;
    const int count = emscripten_get_num_gamepads();
    // Pads gone let their keys go; new ones take the first free car.
    for (int pad = 0; pad < kPadCount; ++pad) {
        EmscriptenGamepadEvent g;
        if (gPadIndex[pad] >= 0 && (emscripten_get_gamepad_status(int(gPadIndex[pad]), &g) != EMSCRIPTEN_RESULT_SUCCESS ||
                                    !g.connected)) {
            ReleasePad(pad);
            gPadIndex[pad] = -1;
        }
    }
    for (int index = 0; index < count; ++index) {
        EmscriptenGamepadEvent g;
        if (emscripten_get_gamepad_status(index, &g) != EMSCRIPTEN_RESULT_SUCCESS || !g.connected)
            continue;
        int pad = FindPad(index);
        if (pad < 0)
            pad = FindPad(-1);
        if (pad < 0)
            continue;
        gPadIndex[pad] = index;
        UpdatePad(pad, ReadPad(g));
    }
}

// The Gamepad API needs no opening: the browser's pads are sampled each frame.
void OpenGamepads() {}

void CloseGamepads()
{
    for (int pad = 0; pad < kPadCount; ++pad)
        if (gPadIndex[pad] >= 0) {
            ReleasePad(pad);
            gPadIndex[pad] = -1;
        }
}
