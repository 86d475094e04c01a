// One fixed step of the simulation: motor targets to the joints, contacts, dWorldStep.
#pragma once
#include <ode/ode.h>

#include "physics/Driving.h"

constexpr dReal kStepSize = 0.05f;  // simulated seconds per frame, whatever the frame rate
constexpr int kMaxContacts = 10;    // per candidate pair, however many points touch

void StepSimulation(Scene& scene, const DrivingTargets& targets);
// The collision pass's callback; data is the scene.
void NearCallback(void* data, dGeomID o1, dGeomID o2);
