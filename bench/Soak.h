// A long run of random driving: every body stays finite and memory stays flat.
#pragma once

// Drives all three cars at random for the given frames (nothing drawn), checks every body is finite
// every 100 frames, and prints frames per second, the peak resident memory and its growth after the
// first tenth; non-zero when a body went non-finite or memory grew by 1 MiB or more. With record, the
// drive is kept as a recording there, as the program keeps a run.
int RunSoak(long frames, unsigned seed, const char* record);
