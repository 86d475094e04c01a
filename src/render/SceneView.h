// A whole frame: three views that follow cars 1, 0 and 2, and the overlay quadrant.
#pragma once

// Quadrants come from the configured screen size, not from the window.
void RenderFrame();
// The camera of the current mode for car k, then the whole scene, into the current viewport.
void DrawView(int k);
void DrawAxes();
void DrawGrid();
