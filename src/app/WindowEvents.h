// What the render window reports, turned into the run's state. Every backend calls these from its
// event handling, as the window procedure does on Windows (keys: see Input.h).
#pragma once

constexpr int kMouseTolerance = 44;  // pixels along x or y from the reference

extern int gMouseMoveCount;  // motions since the reference was taken, plus one
extern int gMouseRefX, gMouseRefY;

// The cursor moved; screenX and screenY are its position on the screen, not in the window. A motion
// of more than kMouseTolerance deletes the overlay font and, unless previewing, ends the run.
void HandleMouseMoved(int screenX, int screenY);
void HandleResized(int width, int height);
void HandleMinimised(bool minimised);
void HandleCloseRequested();
