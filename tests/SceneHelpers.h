// Building, running and inspecting the physics scene in tests.
#pragma once
#include <vector>

#include "FreshProcess.h"
#include "SceneChecks.h"
#include "physics/Scene.h"

// The contact joints a collision pass makes right now; they stay in gContactGroup until it is emptied.
std::vector<dJointID> CollectContacts();
int CountContactJoints(dBodyID body);
