// Looking over the whole scene, for soaks and tests.
#pragma once
#include <ode/ode.h>

#include <vector>

// Every body reachable through the geoms of gSpace and the car sub-spaces, each once.
std::vector<dBodyID> CollectBodies();
// Position, velocities and orientation are all finite numbers.
bool IsFinite(dBodyID body);
