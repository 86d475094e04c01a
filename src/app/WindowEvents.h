// The shell's side of the window's reports (declared in platform/Platform.h): the mouse tolerance and
// its reference point.
#pragma once

constexpr int kMouseTolerance = 44;  // pixels along x or y from the reference

extern int gMouseMoveCount;  // motions since the reference was taken, plus one
extern int gMouseRefX, gMouseRefY;
