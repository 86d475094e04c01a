// The ODE world and its static scene: handles left by BuildWorld, valid until DestroyWorld.
// The handles do not own anything; the world, the top-level space and the contact group do.
#pragma once
#include <ode/ode.h>

struct BodyGeom {
    dBodyID body;
    dGeomID geom;  // attached to body
};

struct Table {
    dJointID flapHinge;
    BodyGeom legs[4];
    BodyGeom top;
    BodyGeom flap;
};

constexpr int kPostCount = 50;
constexpr dReal kWorldGravity = -0.5f;  // along z, whatever the settings hold
// Raised with every change that makes the same commands give another world (the scene, the cars,
// the step, ODE's build), so that a recording made before is refused rather than played into a
// different run. ODE's own version is named beside it.
constexpr int kPhysicsRevision = 1;

// World.cpp writes these in BuildWorld and DestroyWorld; gTable is Table.cpp's, in BuildTable.
extern dWorldID gWorld;
extern dSpaceID gSpace;
extern dJointGroupID gContactGroup;
extern dGeomID gGroundPlane;
extern BodyGeom gPosts[kPostCount];
extern BodyGeom gPlate;
extern BodyGeom gBall;
extern dGeomID gRamp1;
extern dGeomID gRamp2;
extern Table gTable;

void BuildWorld();
void BuildTable();
void DestroyWorld();
