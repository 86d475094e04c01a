#include "physics/Scene.h"

#include "physics/Bodies.h"
#include "physics/Car.h"
#include "physics/OdeMessages.h"

static dGeomID CreateRamp(dSpaceID space, dReal lx, dReal x, dReal z, dReal angle)
{
    dMatrix3 r;
    dRFromAxisAndAngle(r, 0, 1, 0, angle);
    dGeomID ramp = dCreateBox(space, lx, 20, 3.5);
    dGeomSetPosition(ramp, x, 0, z);
    dGeomSetRotation(ramp, r);
    return ramp;
}

void BuildWorld(Scene& scene)
{
    dMass m;
    dMassSetZero(&m);
    dInitODE();
    CatchOdeMessages();
    scene.world = dWorldCreate();
    scene.space = dHashSpaceCreate(0);
    scene.contactGroup = dJointGroupCreate(0);
    dWorldSetGravity(scene.world, 0, 0, kWorldGravity);
    scene.groundPlane = dCreatePlane(scene.space, 0, 0, 1, 0);
    BuildCars(scene);
    BuildTable(scene);

    BodyGeom* posts = scene.posts;
    for (int i = 0; i < kPostCount; ++i) {
        const dReal pos[3] = {dReal(-2000 + 100 * i), 3, 5};
        posts[i] = CreateBoxBody(scene.world, &m, scene.space, pos, 0.01f, 2, 2, 10, true);
    }
    // The last four posts mark the corners of the ground grid.
    dBodySetPosition(posts[49].body, 2000, 2000, 5);
    dBodySetPosition(posts[48].body, -2000, 2000, 5);
    dBodySetPosition(posts[47].body, 2000, -2000, 5);
    dBodySetPosition(posts[46].body, -2000, -2000, 5);

    const dReal platePos[3] = {0, 10, 100.5f};
    scene.plate = CreateBoxBody(scene.world, &m, scene.space, platePos, 0.5f, 2, 2, 0.2f, false);
    const dReal ballPos[3] = {10, 5, 5};
    scene.ball = CreateSphereBody(scene.world, &m, ballPos, 1, 1);
    dSpaceAdd(scene.space, scene.ball.geom);

    // A negative angle about +y lifts the +x end: both ramps rise toward +x.
    scene.ramp1 = CreateRamp(scene.space, 20, 200, -0.34f, -0.15f);
    scene.ramp2 = CreateRamp(scene.space, 40, 500, 2, -0.3f);
}

void DestroyWorld(Scene& scene)
{
    dJointGroupDestroy(scene.contactGroup);
    // Destroys every geom held directly and the car sub-spaces, which only release the car geoms.
    dSpaceDestroy(scene.space);
    ReleaseCars(scene);
    dWorldDestroy(scene.world);
    scene = Scene{};
}
