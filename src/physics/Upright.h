// Putting a car that has turned over back on its wheels.
#pragma once
#include "physics/Car.h"

// Car c lies on its side or its roof: its chassis' up axis points less than 45 degrees above level.
bool IsCarOverturned(const Scene& scene, int c);
// Sets car c back on its wheels where it lies: turned about the vertical to its heading only, its
// wheels a little above the ground, at rest. Every part moves with the chassis, so no joint is torn.
void SetCarUpright(Scene& scene, int c);
