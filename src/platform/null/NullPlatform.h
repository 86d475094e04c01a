// A backend with no window, for tests: the clock is set by hand and the title is kept.
#pragma once
#include <cstdint>

extern uint32_t gNullTickCount;
extern char gNullWindowTitle[64];
