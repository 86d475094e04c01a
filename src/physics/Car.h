// The three jointed cars, built once by BuildCars into the scene; SetCarUpright (Upright.cpp) puts an
// overturned one back on its wheels where it lies.
#pragma once
#include "physics/Scene.h"

void BuildCars(Scene& scene);
// The car's nine body-geom pairs in the order they were added to its sub-space.
void ListCarParts(const Car& car, const BodyGeom* parts[kCarPartCount]);
// The car sub-spaces do not destroy their geoms: this does, once the top-level space is gone.
void ReleaseCars(Scene& scene);
