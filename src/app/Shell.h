// The run from start to end (declared in platform/Platform.h): which mode, what is made in which
// order, and the order of the teardown. The order of a frame is in Frame.h.
#pragma once

// Font and sphere list while their context is current, pads, covers, the display mode, the window,
// then the world: the end of every run.
void TakeDownRun();
