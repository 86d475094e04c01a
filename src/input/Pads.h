// The gamepads' rules, the same on every platform: which car each pad drives, what its stick,
// triggers and buttons mean, and that a pad gone lets go of everything it held. Backends only read
// their pads (platform/Platform.h); the shell routes the commands a pad makes (app/LiveInput.cpp).
// Pads.cpp writes what each pad showed last.
#pragma once
#include <vector>

#include "platform/Platform.h"
#include "sim/Commands.h"

constexpr float kStickDeadZone = 0.35f;  // of the stick's travel either way
constexpr float kTriggerHeld = 1.0f / 3;  // a trigger pressed further than this holds its key

// Pad padId shows state: what changed since it was last seen, as commands for frame. The first three
// pads found drive cars 0, 1 and 2, each keeping its car while it stays; a fourth waits for a car.
void TakePadState(long padId, const PadState& state, long frame, std::vector<Command>& commands);
// Pad padId is gone: its car lets go of all it held.
void TakePadGone(long padId, long frame, std::vector<Command>& commands);
// Every pad goes, as at the run's end.
void TakeEveryPadGone(long frame, std::vector<Command>& commands);
// No pad has shown anything yet.
void ResetPads();
