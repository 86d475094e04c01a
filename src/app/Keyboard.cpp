// The window's key reports (declared in platform/Platform.h) become commands for the next frame.
#include "app/Keyboard.h"

#include "app/Controls.h"
#include "sim/Autopilot.h"

static KeyboardState gKeyboard;  // what the user holds now

void ResetKeyboard()
{
    gKeyboard = KeyboardState{};
}

bool IsKeyHeld(unsigned vk)
{
    return vk < unsigned(kKeyCount) && gKeyboard.held[vk];
}

static void QueueKey(unsigned vk, bool down)
{
    // The keyboard's repeat of a key held down changes nothing the key does not already hold, so it
    // is no command: it would only fill the recording and the wire.
    const bool repeat = down && vk < unsigned(kKeyCount) && gKeyboard.held[vk];
    Command command;
    if (TranslateKey(gKeyboard, vk, down, NextCommandFrame(), &command) && !(repeat && FindCommandKey(command) >= 0))
        QueueLiveCommand(command);
}

void HandleKeyDown(unsigned vk)
{
    QueueKey(vk, true);
}

void HandleKeyUp(unsigned vk)
{
    QueueKey(vk, false);
}

// Key vk belongs to a car the autopilot drives now.
static bool IsAutopilotKey(unsigned vk)
{
    for (int c = 0; c < kCarCount; ++c) {
        const CarKeys& k = kCarKeys[c];
        const bool ofCar = int(vk) == k.raiseSteer || int(vk) == k.lowerSteer || int(vk) == k.raiseSpeed ||
                           int(vk) == k.lowerSpeed || int(vk) == k.lift || (c == 0 && vk == unsigned(kVkSpace));
        if (ofCar && IsAutopilotDriving(c))
            return true;
    }
    return false;
}

void HandleFocusLost()
{
    // No key-up will come for what is held: each is let go here, as if it had come up. What the
    // autopilot holds is its own, not the keyboard's.
    for (unsigned vk = 0; vk < unsigned(kKeyCount); ++vk) {
        if (!gKeyboard.held[vk])
            continue;
        if (IsAutopilotKey(vk))
            gKeyboard.held[vk] = false;
        else
            HandleKeyUp(vk);
    }
}
