// The shell's side of the gamepads (declared in platform/Platform.h): what each pad showed last.
#pragma once
#include "platform/Platform.h"

constexpr float kStickDeadZone = 0.35f;  // of the stick's travel either way

extern PadState gPadStates[kPadCount];
