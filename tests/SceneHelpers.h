// Building, running and inspecting the physics scene in tests.
#pragma once
#include <vector>

#include "SceneChecks.h"
#include "physics/Scene.h"

// A fresh world with all run state as at program start, frames not drawn.
void StartScene();
void EndScene();
// Frames as the programs run them, with nothing drawn.
void RunFrames(int count);
// The contact joints a collision pass makes right now; they stay in gContactGroup until it is emptied.
std::vector<dJointID> CollectContacts();
int CountContactJoints(dBodyID body);
