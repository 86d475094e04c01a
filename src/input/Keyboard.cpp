#include "input/Keyboard.h"

#include "sim/World.h"

static KeyboardState gKeyboard;  // what the user holds now

void ResetKeyboard()
{
    gKeyboard = KeyboardState{};
}

bool IsKeyHeld(unsigned vk)
{
    return vk < unsigned(kKeyCount) && gKeyboard.held[vk];
}

bool TakeKey(unsigned vk, bool down, long frame, Command* command)
{
    const bool repeat = down && IsKeyHeld(vk);
    return TranslateKey(gKeyboard, vk, down, frame, command) && !(repeat && FindCommandKey(*command) >= 0);
}

// Key vk belongs to a car the autopilot drives now.
static bool IsAutopilotKey(unsigned vk)
{
    for (int c = 0; c < kWorldCarCount; ++c) {
        const CarKeys& k = kCarKeys[c];
        const bool ofCar = int(vk) == k.raiseSteer || int(vk) == k.lowerSteer || int(vk) == k.raiseSpeed ||
                           int(vk) == k.lowerSpeed || int(vk) == k.lift || (c == 0 && vk == unsigned(kVkSpace));
        if (ofCar && IsAutopilotDriving(c))
            return true;
    }
    return false;
}

void TakeFocusLoss(long frame, std::vector<Command>& commands)
{
    Command command;
    for (unsigned vk = 0; vk < unsigned(kKeyCount); ++vk) {
        if (!gKeyboard.held[vk])
            continue;
        if (IsAutopilotKey(vk))
            gKeyboard.held[vk] = false;
        else if (TakeKey(vk, false, frame, &command))
            commands.push_back(command);
    }
}
