// Driving the cars: each car's held controls become its speed and steering targets and the lift.
#pragma once
#include "physics/Scene.h"

// What is held for one car during a frame.
struct CarControls {
    bool steerLeft;    // raises the steering target
    bool steerRight;   // lowers it
    bool faster;       // raises the speed target
    bool slower;       // lowers it
    bool lift;         // pushes the cabin up
    bool stopAndSpin;  // stops and straightens at once (car 0's space bar)
};

// Per car: the angular velocity target of the rear wheels (applied negated) and the steering angle
// target. DriveCars moves them; the step applies them.
struct DrivingTargets {
    float speed[kCarCount];
    float steer[kCarCount];
};

constexpr float kSteerLimit = 0.5f;   // radians either way
constexpr double kSteerStep = 0.001;  // radians a frame
constexpr float kSpeedLimit = 1000;   // rear-wheel angular velocity target
constexpr float kSpeedStep = 5;       // a frame
constexpr dReal kLiftForce = 25;      // on the cabin, upward

// Moves each car's targets one frame's step toward what is held and lifts the cabins held up.
void DriveCars(Scene& scene, const CarControls controls[kCarCount], DrivingTargets& targets);
// Car c's speed over the ground: the vertical velocity does not count.
float CarGroundSpeed(const Scene& scene, int c);
// The car's front hub motors turn at 5 with at most maxTorque; 0 lets the wheels roll freely.
// Does nothing before the car exists.
void SetFrontHubMotors(const Car& car, dReal maxTorque);
