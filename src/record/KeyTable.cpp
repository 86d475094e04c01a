// Nothing here has state of its own, so a script's reader and the relay use it as the live keyboard
// does.
#include "record/KeyTable.h"

#include <algorithm>
#include <iterator>

const CarKeys kCarKeys[kWorldCarCount] = {
    {kVkLeft, kVkRight, kVkUp, kVkDown, 'M'},
    {'A', 'D', 'W', 'S', 'Q'},
    {'J', 'L', 'I', 'K', 'U'},
};

// Car c's driving key vk: which of the four, or -1.
static int FindCarKey(int c, unsigned vk)
{
    const CarKeys& k = kCarKeys[c];
    const int driving[] = {k.raiseSteer, k.lowerSteer, k.raiseSpeed, k.lowerSpeed};
    const int* found = std::find(std::begin(driving), std::end(driving), int(vk));
    return found == std::end(driving) ? -1 : int(found - driving);
}

// Held keys: a car's four driving keys and its lift key, and the space bar.
static bool TranslateHeldKey(unsigned vk, Command* command)
{
    for (int c = 0; c < kWorldCarCount; ++c) {
        int key = FindCarKey(c, vk);
        if (key >= 0) {
            *command = {0, CommandKind::kCarKey, c, CarKey(key), false, CommandSource::kPerson};
            return true;
        }
        if (int(vk) == kCarKeys[c].lift) {
            *command = {0, CommandKind::kLift, c, CarKey::kSteerLeft, false, CommandSource::kPerson};
            return true;
        }
    }
    if (vk == unsigned(kVkSpace)) {
        *command = {0, CommandKind::kStopAndSpin, 0, CarKey::kSteerLeft, false, CommandSource::kPerson};
        return true;
    }
    return false;
}

// Keys that act as they go down: every key-down for the camera and Escape, the first for the rest.
static bool TranslatePress(const KeyboardState& keyboard, unsigned vk, bool fresh, Command* command)
{
    CommandKind kind;
    switch (int(vk)) {
    case kVkCamera: kind = CommandKind::kCamera; break;
    case kVkEscape: kind = CommandKind::kQuit; break;
    case kVkUprightCars: kind = CommandKind::kUpright; break;
    case kVkPause: kind = CommandKind::kPause; break;
    case kVkStep: kind = CommandKind::kStep; break;
    case kVkScreenshot:
        kind = keyboard.held[kVkShift] ? CommandKind::kKeepRecording : CommandKind::kPicture;
        break;
    default: return false;
    }
    if (!fresh && kind != CommandKind::kCamera && kind != CommandKind::kQuit)
        return false;
    *command = {0, kind, kEveryCar, CarKey::kSteerLeft, true, CommandSource::kPerson};
    return true;
}

bool TranslateKey(KeyboardState& keyboard, unsigned vk, bool down, long frame, Command* command)
{
    if (vk >= unsigned(kKeyCount))
        return false;
    const bool fresh = down && !keyboard.held[vk];
    keyboard.held[vk] = down;
    bool made = TranslateHeldKey(vk, command) || (down && TranslatePress(keyboard, vk, fresh, command));
    command->frame = frame;
    if (made && FindCommandKey(*command) >= 0)
        command->down = down;
    return made;
}

int FindCommandKey(const Command& command)
{
    if (command.kind == CommandKind::kStopAndSpin)
        return kVkSpace;
    if (command.kind != CommandKind::kCarKey && command.kind != CommandKind::kLift)
        return -1;
    const CarKeys& keys = kCarKeys[command.car];
    const int driving[] = {keys.raiseSteer, keys.lowerSteer, keys.raiseSpeed, keys.lowerSpeed};
    return command.kind == CommandKind::kLift ? keys.lift : driving[int(command.key)];
}
