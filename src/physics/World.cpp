#include "physics/Scene.h"

#include "physics/Bodies.h"
#include "physics/Car.h"
#include "physics/OdeMessages.h"

dWorldID gWorld;
dSpaceID gSpace;
dJointGroupID gContactGroup;
dGeomID gGroundPlane;
BodyGeom gPosts[kPostCount];
BodyGeom gPlate;
BodyGeom gBall;
dGeomID gRamp1;
dGeomID gRamp2;

static dGeomID CreateRamp(dReal lx, dReal x, dReal z, dReal angle)
{
    dMatrix3 r;
    dRFromAxisAndAngle(r, 0, 1, 0, angle);
    dGeomID ramp = dCreateBox(gSpace, lx, 20, 3.5);
    dGeomSetPosition(ramp, x, 0, z);
    dGeomSetRotation(ramp, r);
    return ramp;
}

void BuildWorld()
{
    dMass m;
    dMassSetZero(&m);
    dInitODE();
    CatchOdeMessages();
    gWorld = dWorldCreate();
    gSpace = dHashSpaceCreate(0);
    gContactGroup = dJointGroupCreate(0);
    dWorldSetGravity(gWorld, 0, 0, kWorldGravity);
    gGroundPlane = dCreatePlane(gSpace, 0, 0, 1, 0);
    BuildCars();
    BuildTable();

    for (int i = 0; i < kPostCount; ++i) {
        const dReal pos[3] = {dReal(-2000 + 100 * i), 3, 5};
        gPosts[i] = CreateBoxBody(&m, gSpace, pos, 0.01f, 2, 2, 10, true);
    }
    // The last four posts mark the corners of the ground grid.
    dBodySetPosition(gPosts[49].body, 2000, 2000, 5);
    dBodySetPosition(gPosts[48].body, -2000, 2000, 5);
    dBodySetPosition(gPosts[47].body, 2000, -2000, 5);
    dBodySetPosition(gPosts[46].body, -2000, -2000, 5);

    const dReal platePos[3] = {0, 10, 100.5f};
    gPlate = CreateBoxBody(&m, gSpace, platePos, 0.5f, 2, 2, 0.2f, false);
    const dReal ballPos[3] = {10, 5, 5};
    gBall = CreateSphereBody(&m, ballPos, 1, 1);
    dSpaceAdd(gSpace, gBall.geom);

    // A negative angle about +y lifts the +x end: both ramps rise toward +x.
    gRamp1 = CreateRamp(20, 200, -0.34f, -0.15f);
    gRamp2 = CreateRamp(40, 500, 2, -0.3f);
}

void DestroyWorld()
{
    dJointGroupDestroy(gContactGroup);
    // Destroys every geom held directly and the car sub-spaces, which only release the car geoms.
    dSpaceDestroy(gSpace);
    ReleaseCars();
    dWorldDestroy(gWorld);
}
