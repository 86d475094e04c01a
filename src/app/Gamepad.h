// The shell's side of the gamepads (declared in platform/Platform.h): what each pad showed last.
#pragma once
#include "platform/Platform.h"

constexpr float kStickDeadZone = 0.35f;  // of the stick's travel either way
constexpr float kTriggerHeld = 1.0f / 3;  // a trigger pressed further than this holds its key

// No pad has shown anything yet.
void ResetPads();
