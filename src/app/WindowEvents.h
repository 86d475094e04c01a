// The shell's side of the window's reports (declared in platform/Platform.h): the window's size and
// state, the mouse tolerance and its reference point. Written here alone.
#pragma once

constexpr int kMouseTolerance = 44;  // pixels along x or y from the reference

extern int gMouseMoveCount;  // motions since the reference was taken, plus one

// Active, no size yet, no reference taken.
void ResetWindowEvents();
