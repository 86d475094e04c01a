// The window's key reports (declared in platform/Platform.h) become commands for the next frame.
#include "app/Keyboard.h"

#include "app/Autopilot.h"

static KeyboardState gKeyboard;  // what the user holds now

void ResetKeyboard()
{
    gKeyboard = KeyboardState{};
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
