// The volume a view can show, read from GL's current matrices, for skipping what lies wholly outside.
#pragma once
#include <ode/ode.h>

struct Frustum {
    double planes[6][4];  // a x + b y + c z + d >= 0 inside, (a, b, c) of unit length
};

// The view volume of the current projection and model-view matrices, in world coordinates.
Frustum ReadViewFrustum();
// True only when no point within radius of centre can be inside the volume.
bool IsSphereOutside(const Frustum& frustum, const dReal* centre, double radius);
