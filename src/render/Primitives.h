// Drawing an ODE box or sphere, lit, under its pose, in the current colour.
#pragma once
#include <ode/ode.h>

#include "gl/Gl.h"

extern GLuint gSphereList;  // the unit-sphere mesh, compiled here on first use in a context; 0 until then
// With a volume to cull by, a box or sphere wholly outside it is skipped: it would give no pixels,
// and llvmpipe spends a whole draw on it all the same. Without one, everything is drawn.
struct Frustum;

// Pushes the model-view matrix and multiplies it by an ODE pose; the caller pops it.
void PushBodyTransform(const dReal* position, const dReal* rotation);
void DrawBox(const dReal* position, const dReal* rotation, const dReal* sides, const Frustum* cull = nullptr);
// Leaves the shade model smooth and GL_NORMALIZE off.
void DrawSphere(const dReal* position, const dReal* rotation, dReal radius, const Frustum* cull = nullptr);
// The mesh belongs to its context: deleted while that is current, before it goes, so that the next
// context compiles its own.
void DeleteSphereList();

struct BodyGeom;
// A box drawn under its body's pose with its geom's side lengths.
void DrawBodyBox(const BodyGeom& box, const Frustum* cull = nullptr);
// A box or sphere geom drawn under the geom's own pose.
void DrawGeomBox(dGeomID box, const Frustum* cull = nullptr);
void DrawGeomSphere(dGeomID sphere, const Frustum* cull = nullptr);
