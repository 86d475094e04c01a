// Cost of whole frames drawn offscreen at 640 x 480 with the live simulation.
#pragma once

// Prints median and p95 milliseconds per frame, the split between simulation, drawing and the rest,
// and heap allocations per frame; returns the exit status.
int RunRenderBench(long frames);
