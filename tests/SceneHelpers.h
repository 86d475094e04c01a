// Building, running and inspecting the physics scene in tests.
#pragma once
#include <vector>

#include "FreshProcess.h"
#include "physics/SceneChecks.h"
#include "physics/Scene.h"
#include "sim/Simulation.h"

// The contact joints a collision pass makes right now; they stay in gSim.scene.contactGroup until it is emptied.
std::vector<dJointID> CollectContacts();
int CountContactJoints(dBodyID body);
// The control that key vk stands for (a car's driving or lift key, the space bar), as the world holds it.
bool& HeldControl(int vk);
// Each car's held controls to its targets for one frame, as the world's frame does before its step.
void DriveHeldControls();
