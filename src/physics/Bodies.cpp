#include "physics/Bodies.h"

static dBodyID CreatePlacedBody(dWorldID world, const dReal pos[3])
{
    dBodyID body = dBodyCreate(world);
    dBodySetPosition(body, pos[0], pos[1], pos[2]);
    return body;
}

BodyGeom CreateBoxBody(dWorldID world, dMass* m, dSpaceID space, const dReal pos[3], dReal d,
                       dReal lx, dReal ly, dReal lz, bool autoDisable)
{
    BodyGeom bg;
    bg.body = CreatePlacedBody(world, pos);
    dMassSetBox(m, d, lx, ly, lz);
    dMassAdjust(m, d);
    dBodySetMass(bg.body, m);
    bg.geom = dCreateBox(space, lx, ly, lz);
    dGeomSetBody(bg.geom, bg.body);
    if (autoDisable)
        dBodySetAutoDisableFlag(bg.body, 1);
    return bg;
}

BodyGeom CreateSphereBody(dWorldID world, dMass* m, const dReal pos[3], dReal d, dReal radius)
{
    BodyGeom bg;
    bg.body = CreatePlacedBody(world, pos);
    dMassSetSphere(m, d, radius);
    dMassAdjust(m, d);
    dBodySetMass(bg.body, m);
    bg.geom = dCreateSphere(0, radius);
    dGeomSetBody(bg.geom, bg.body);
    return bg;
}

dJointID CreateHinge(dWorldID world, dBodyID body1, dBodyID body2, const dReal axis[3], const dReal anchor[3])
{
    dJointID joint = dJointCreateHinge(world, 0);
    dJointAttach(joint, body1, body2);
    dJointSetHingeAxis(joint, axis[0] * 90, axis[1] * 90, axis[2] * 90);
    dJointSetHingeAnchor(joint, anchor[0], anchor[1], anchor[2]);
    return joint;
}
