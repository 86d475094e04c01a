// What the tests and the benchmarks start from: the shell and the null backend as a new process has
// them, and the scene running as a minimised window runs it (every step, nothing drawn).
#pragma once
#include <cstdint>

// Every piece of run state and the null backend back to a process's start.
void StartFreshProcess();
// A fresh process with the world built, frames not drawn.
void StartScene();
// The same with the autopilot on, its generator seeded: from frame 300 it drives every car.
void StartAutopilotScene(uint32_t seed);
void EndScene();
// Frames as the programs run them.
void RunFrames(long count);
