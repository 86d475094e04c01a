// The key table: which held keys drive which car.
#pragma once
#include "physics/Car.h"

struct CarKeys {
    int raiseSteer;
    int lowerSteer;
    int raiseSpeed;
    int lowerSpeed;
    int lift;
};

extern const CarKeys kCarKeys[kCarCount];

// Hands what is held in gKeys to the cars for this frame.
void UpdateCarControls();
