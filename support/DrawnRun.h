// A run drawn into the null backend's offscreen window, started and taken down by the shell's own
// steps: for the render tests and the render benchmark. The settings stay as a new process has them
// (640 x 480), whatever the window's size.
#pragma once

// A fresh process with a width x height window, the world and the font. False when there is no
// offscreen GL context.
bool StartDrawnRun(int width, int height);
// The shell's teardown: font, sphere list, window, world.
void EndDrawnRun();
