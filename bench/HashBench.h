// Cost of the state hash, as the replay's --hash takes it after a frame.
#pragma once

// Prints median and p95 microseconds of HashWorldState and of the frame before it, over frames of an
// autopilot run; returns the exit status.
int RunHashBench(long frames);
