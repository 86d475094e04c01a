#include "input/Pads.h"

#include <algorithm>
#include <iterator>

constexpr long kNoPad = -1;
constexpr int kPadKeyCount = 6;

// Pad slot n drives car n: the backend's id of the pad in it, and what it showed last.
static long gPadIds[kPadCount] = {kNoPad, kNoPad, kNoPad};
static PadState gPadStates[kPadCount];

// The held commands a pad's state makes for its car, in a fixed order: steering left and right,
// faster, slower, the lift, and on the first pad the stop.
static void ListPadKeys(int pad, const PadState& s, long frame, Command keys[kPadKeyCount])
{
    const float steer = s.dpadLeft ? -1 : s.dpadRight ? 1 : s.steer;
    const struct {
        CommandKind kind;
        CarKey key;
        bool held;
    } list[kPadKeyCount] = {{CommandKind::kCarKey, CarKey::kSteerLeft, steer < -kStickDeadZone},
                            {CommandKind::kCarKey, CarKey::kSteerRight, steer > kStickDeadZone},
                            {CommandKind::kCarKey, CarKey::kFaster, s.forward > kTriggerHeld},
                            {CommandKind::kCarKey, CarKey::kSlower, s.backward > kTriggerHeld},
                            {CommandKind::kLift, CarKey::kSteerLeft, s.lift},
                            {CommandKind::kStopAndSpin, CarKey::kSteerLeft, pad == 0 && s.brake}};
    for (int i = 0; i < kPadKeyCount; ++i)
        keys[i] = {frame, list[i].kind, pad, list[i].key, list[i].held, CommandSource::kPerson};
}

// The pad's keys go down and up as its state has changed since it was last seen; Y, as it goes down,
// sets the pad's car back on its wheels.
static void UpdatePad(int pad, const PadState& state, long frame, std::vector<Command>& commands)
{
    Command was[kPadKeyCount], now[kPadKeyCount];
    ListPadKeys(pad, gPadStates[pad], frame, was);
    ListPadKeys(pad, state, frame, now);
    for (int i = 0; i < kPadKeyCount; ++i)
        if (now[i].down != was[i].down)
            commands.push_back(now[i]);
    if (state.upright && !gPadStates[pad].upright)
        commands.push_back({frame, CommandKind::kUpright, pad, CarKey::kSteerLeft, true, CommandSource::kPerson});
    gPadStates[pad] = state;
}

static int FindSlot(long padId)
{
    const long* found = std::find(std::begin(gPadIds), std::end(gPadIds), padId);
    return found == std::end(gPadIds) ? -1 : int(found - gPadIds);
}

void TakePadState(long padId, const PadState& state, long frame, std::vector<Command>& commands)
{
    if (padId == kNoPad)
        return;
    int pad = FindSlot(padId);
    if (pad < 0 && (pad = FindSlot(kNoPad)) < 0)
        return;  // three pads drive already: this one waits for a free car
    gPadIds[pad] = padId;
    UpdatePad(pad, state, frame, commands);
}

void TakePadGone(long padId, long frame, std::vector<Command>& commands)
{
    int pad = padId == kNoPad ? -1 : FindSlot(padId);
    if (pad < 0)
        return;
    UpdatePad(pad, PadState{}, frame, commands);
    gPadIds[pad] = kNoPad;
}

void TakeEveryPadGone(long frame, std::vector<Command>& commands)
{
    for (long padId : gPadIds)
        TakePadGone(padId, frame, commands);
}

void ResetPads()
{
    std::fill(std::begin(gPadIds), std::end(gPadIds), kNoPad);
    std::fill(std::begin(gPadStates), std::end(gPadStates), PadState{});
}
