// Driving the cars: what is held for each car becomes its speed and steering targets and the lift.
#pragma once
#include "physics/Bytes.h"
#include "physics/Car.h"

// What is held for one car during a frame.
struct CarInput {
    bool raiseSteer;
    bool lowerSteer;
    bool raiseSpeed;
    bool lowerSpeed;
    bool lift;
    bool brake;  // stop and straighten at once (car 0's space bar)
};

constexpr float kSteerLimit = 0.5f;   // radians either way
constexpr double kSteerStep = 0.001;  // radians a frame
constexpr float kSpeedLimit = 1000;   // rear-wheel angular velocity target
constexpr float kSpeedStep = 5;       // a frame
constexpr dReal kLiftForce = 25;      // on the cabin, upward

// Moves each car's targets one frame's step toward what is held and lifts the cabins held up.
void DriveCars(const CarInput inputs[kCarCount]);
// Every car's speed and steering targets back to rest, as a new process has them.
void ResetDrivingTargets();
// The targets as a snapshot keeps them, speed then steering per car, and back.
void WriteDrivingTargets(ByteWriter& out);
void ReadDrivingTargets(ByteReader& in);
// Car c's speed over the ground: the vertical velocity does not count.
float CarGroundSpeed(int c);
// Car 0's front hub motors turn at 5 with at most maxTorque; 0 lets the wheels roll freely.
// Does nothing before the cars exist.
void SetFrontHubMotors(dReal maxTorque);
