// Cost of a frame of the simulation, idle and with all three cars driving.
#pragma once

// Prints median and p95 microseconds per frame and heap allocations per frame; returns the exit status.
int RunFrameBench(long frames);
