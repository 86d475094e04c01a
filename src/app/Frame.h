// The simulation as every program runs it: its world, and the one place that knows the order of a
// frame. The programs, the replay, the benchmarks and the tests all go through here.
#pragma once

// Builds the scene; the settings' gravity then shows what the world really falls at.
void BuildRunWorld();
// Draws the scene as it stands, with the camera mode and the figures of the run.
void DrawFrame();
// One frame: the autopilot's keys (when it is on), driving controls, frame statistics, one simulation step, the drawing (while the window
// is not minimised), and the frame presented. False, with nothing presented, once Escape is held.
bool RunFrame();
