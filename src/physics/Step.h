// One fixed step of the simulation: motor targets to the joints, contacts, dWorldStep.
#pragma once
#include <ode/ode.h>

#include "physics/Car.h"

constexpr dReal kStepSize = 0.05f;  // simulated seconds per frame, whatever the frame rate
constexpr int kMaxContacts = 10;    // per candidate pair, however many points touch

// Per car: angular velocity target of the rear wheels (applied negated) and the steering angle target.
// Driving.cpp writes them; the step applies them.
extern float gCarSpeed[kCarCount];
extern float gCarSteer[kCarCount];

void StepSimulation();
void NearCallback(void* data, dGeomID o1, dGeomID o2);
