// kelvaron-replay --join: a seat in a room without a window, driven by a key script; it prints the
// shared world's trace as the replay prints a script's.
#pragma once
#include "record/KeyScript.h"

// Joins the room (or, for a relay's link without one, opens a new room and prints "room LINK" first),
// drives the seat from script and prints frames every, 2 every, ... frames. The exit status: 0 when
// all frames ran, 1 when the room was left early (why on standard error), 2 for a bad link. A new
// room rolls back, or with delay (kMinDelay to kMaxDelay, else 0) waits out that input delay at least.
// Live, each of the script's commands goes out as the frame before its own runs here, as if typed then.
int RunJoinedReplay(const char* link, const KeyScript& script, long frames, long every, bool hash, int delay,
                    bool live);
