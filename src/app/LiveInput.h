// Live input from the window and the pads, besides what the contract declares (platform/Platform.h).
#pragma once

// Every pad lets go of its car, as when it goes, and no pad has a car.
void ReleasePads();
