// Turning held keys into the cars' motor targets, and lifting their cabins.
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

constexpr float kSteerLimit = 0.5f;
constexpr double kSteerStep = 0.001;
constexpr float kSpeedLimit = 1000;
constexpr float kSpeedStep = 5;
constexpr dReal kLiftForce = 25;

void UpdateCarControls();
