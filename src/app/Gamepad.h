// The gamepads' rules, the same on every platform: which car each pad drives, what its stick,
// triggers and buttons mean, and that a pad gone lets go of everything it held. Backends only read
// their pads (platform/Platform.h); Gamepad.cpp writes what each pad showed last.
#pragma once
#include "platform/Platform.h"

constexpr float kStickDeadZone = 0.35f;  // of the stick's travel either way
constexpr float kTriggerHeld = 1.0f / 3;  // a trigger pressed further than this holds its key

// Every pad lets go of its car, as when it goes, and no pad has a car.
void ReleasePads();
// No pad has shown anything yet.
void ResetPads();
