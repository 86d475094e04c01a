#include "app/Gamepad.h"

#include <algorithm>
#include <iterator>

#include "app/Controls.h"
#include "app/Input.h"
#include "physics/Upright.h"
#include "platform/Platform.h"

constexpr int kPadKeyCount = 6;
static PadState gPadStates[kPadCount];  // what each pad showed last

// The keys a pad's state holds for its car, in a fixed order.
static void ListPadKeys(int pad, const PadState& s, int keys[kPadKeyCount], bool held[kPadKeyCount])
{
    const CarKeys& k = kCarKeys[pad];
    const float steer = s.dpadLeft ? -1 : s.dpadRight ? 1 : s.steer;
    const int list[kPadKeyCount] = {k.raiseSteer, k.lowerSteer, k.raiseSpeed, k.lowerSpeed, k.lift, kVkSpace};
    const bool wanted[kPadKeyCount] = {steer < -kStickDeadZone, steer > kStickDeadZone, s.forward > kTriggerHeld,
                                       s.backward > kTriggerHeld, s.lift, pad == 0 && s.brake};
    for (int i = 0; i < kPadKeyCount; ++i) {
        keys[i] = list[i];
        held[i] = wanted[i];
    }
}

void UpdatePad(int pad, const PadState& state)
{
    if (pad < 0 || pad >= kPadCount)
        return;
    int keys[kPadKeyCount];
    bool was[kPadKeyCount], now[kPadKeyCount];
    ListPadKeys(pad, gPadStates[pad], keys, was);
    ListPadKeys(pad, state, keys, now);
    for (int i = 0; i < kPadKeyCount; ++i) {
        if (now[i] && !was[i])
            HandleKeyDown(unsigned(keys[i]));
        else if (!now[i] && was[i])
            HandleKeyUp(unsigned(keys[i]));
    }
    if (state.upright && !gPadStates[pad].upright && gCars[pad].chassis.body && IsCarOverturned(pad))
        SetCarUpright(pad);
    gPadStates[pad] = state;
}

void ReleasePad(int pad)
{
    UpdatePad(pad, PadState{});
}

void ResetPads()
{
    std::fill(std::begin(gPadStates), std::end(gPadStates), PadState{});
}
