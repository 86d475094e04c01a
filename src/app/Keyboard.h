// The keyboard's keys as commands and back: the one translation that the window's keys, key scripts
// and recordings go through (KeyTable.cpp). Keyboard.cpp writes the live keyboard's state.
#pragma once
#include "app/Commands.h"
#include "platform/Platform.h"

// Which keys a source of key presses holds: a key held down repeats its key-down, and the keys that
// act once a press act only on the first.
struct KeyboardState {
    bool held[kKeyCount];
};

// The command key vk going down or up makes at frame, if any (false for keys that mean nothing, and
// for a repeat of a key that acts once a press).
bool TranslateKey(KeyboardState& keyboard, unsigned vk, bool down, long frame, Command* command);
// The key a held command stands for (a car's driving key, its lift key or the space bar), or -1.
int FindCommandKey(const Command& command);
// The live keyboard: nothing held.
void ResetKeyboard();
// Whether the live keyboard holds key vk now.
bool IsKeyHeld(unsigned vk);
