// The live keyboard: which keys the window's key reports hold, and the commands they make, through
// the key table (record/KeyTable.h). The shell routes the commands (app/LiveInput.cpp). Keyboard.cpp
// writes the live keyboard's state.
#pragma once
#include <vector>

#include "record/KeyTable.h"

// Nothing held.
void ResetKeyboard();
// Whether the live keyboard holds key vk now.
bool IsKeyHeld(unsigned vk);
// Key vk went down or up: the command it makes at frame, if any. The keyboard's repeat of a key held
// down changes nothing the key does not already hold, so it is none: it would only fill the
// recording and the wire.
bool TakeKey(unsigned vk, bool down, long frame, Command* command);
// The window lost the focus, and no key-up will come for what is held: each held key is let go, as if
// it had come up, into commands. What the autopilot holds is its own, not the keyboard's.
void TakeFocusLoss(long frame, std::vector<Command>& commands);
