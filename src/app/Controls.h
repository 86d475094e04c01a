// The key table: which keys drive which car. Key codes stay here, at the keyboard's edge: the world
// knows its cars' controls alone (physics/Driving.h).
#pragma once
#include "physics/Scene.h"

struct CarKeys {
    int raiseSteer;  // steer left
    int lowerSteer;  // steer right
    int raiseSpeed;  // faster
    int lowerSpeed;  // slower
    int lift;
};

extern const CarKeys kCarKeys[kCarCount];
