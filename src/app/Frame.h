// The simulation as every program runs it: its world, and the one place that knows the order of a
// frame. The programs, the replay, the benchmarks and the tests all go through here.
#pragma once
#include <cstdint>

#include "render/SceneView.h"

// Builds the scene; the settings' gravity then shows what the world really falls at.
void BuildRunWorld();
// What the renderer is handed this frame: the configured size (or the page's drawing buffer), the
// camera mode and the run's figures.
FrameView ReadFrameView();
// One frame: this machine's commands, frame statistics, the world's frame (its commands, the
// autopilot's controls when it is on, the cars' controls, one simulation step), the drawing (while
// the window is not minimised), and the frame presented. False, with nothing of the frame run, once
// the run is to end.
bool RunFrame();
// A tick unlike what its frame ran with: the world wound back to the last confirmed frame and run
// forward again to where it was, undrawn, with no machine's commands (they were applied once).
void CorrectSharedWorld();
// A shared run's frame: the world corrected, then every frame due (net/SharedRun.h) and not run yet,
// those of a catch-up undrawn for up to kCatchUpMsPerDraw, and the last drawn; or, with none due,
// the frame drawn again. False once the run is to end.
constexpr uint32_t kCatchUpMsPerDraw = 50;
bool RunSharedFrame();
