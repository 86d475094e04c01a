// A long run's health, looked at once a second when KELVARON_HEALTH_CHECKS is set: GL has raised no
// error, and every body of the scene is finite. What goes wrong is said on standard error as it is
// found, and a line at the end gives the counts. Off, a check costs one branch a frame.
#pragma once
#include <cstdint>

void CheckRunHealth(uint32_t now);
// The closing line, when the checks were on.
void SayRunHealth();
