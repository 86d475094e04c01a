// Looking over the whole scene: for soaks, tests and a run's health checks.
#pragma once
#include "physics/Scene.h"

#include <vector>

// Every body reachable through the geoms of the top-level space and the car sub-spaces, each once.
std::vector<dBodyID> CollectBodies(const Scene& scene);
// Position, velocities and orientation are all finite numbers.
bool IsFinite(dBodyID body);
