// Creating one body with its geom. Every dynamic body of the scene is made the same way, and the
// order of the calls fixes the order in which ODE processes bodies and geoms.
#pragma once
#include "physics/Scene.h"

// Creates a body in world at pos, gives it total mass d with the inertia of a solid box of that size, attaches
// a new box geom (made in space, which may be 0) and, if autoDisable, lets ODE put it to sleep.
BodyGeom CreateBoxBody(dWorldID world, dMass* m, dSpaceID space, const dReal pos[3], dReal d,
                       dReal lx, dReal ly, dReal lz, bool autoDisable);

// The same for a solid sphere whose geom is made in no space.
BodyGeom CreateSphereBody(dWorldID world, dMass* m, const dReal pos[3], dReal d, dReal radius);

// A hinge in no group; the axis is given as a direction and passed scaled to length 90.
dJointID CreateHinge(dWorldID world, dBodyID body1, dBodyID body2, const dReal axis[3], const dReal anchor[3]);
