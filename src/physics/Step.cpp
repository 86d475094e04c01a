#include "physics/Step.h"


static void ApplyDriveTarget(dJointID rearHinge2, float speed)
{
    dJointSetHinge2Param(rearHinge2, dParamVel2, -speed);
    dJointSetHinge2Param(rearHinge2, dParamFMax2, 2.0f);
}

void StepSimulation()
{
    for (int c = 0; c < kCarCount; ++c) {
        ApplyDriveTarget(gCars[c].rearLeftHinge2, gCarSpeed[c]);
        ApplyDriveTarget(gCars[c].rearRightHinge2, gCarSpeed[c]);
        // A velocity servo on the left knuckle alone; the tie rod brings the right one along.
        float angle = dJointGetHingeAngle(gCars[c].leftSteerHinge);
        dJointSetHingeParam(gCars[c].leftSteerHinge, dParamVel, (gCarSteer[c] - angle) * 1.0f);
        dJointSetHingeParam(gCars[c].leftSteerHinge, dParamFMax, 10.0f);
    }
    dSpaceCollide(gSpace, nullptr, NearCallback);
    dWorldStep(gWorld, kStepSize);
    dJointGroupEmpty(gContactGroup);
}

void NearCallback(void*, dGeomID o1, dGeomID o2)
{
    dBodyID b1 = dGeomGetBody(o1);
    dBodyID b2 = dGeomGetBody(o2);
    // Bodies sharing a hinge (the table top and its flap) never touch.
    if (b1 && b2 && dAreConnectedExcluding(b1, b2, dJointTypeContact))
        return;

    // A car arrives here as its sub-space: dCollide then tests each of its parts against the other
    // object and names the actual part geoms in every contact.
    dContact contacts[kMaxContacts];
    int n = dCollide(o1, o2, kMaxContacts, &contacts[0].geom, sizeof(dContact));
    for (int i = 0; i < n; ++i) {
        dSurfaceParameters& surface = contacts[i].surface;
        surface = dSurfaceParameters{};
        surface.mode = dContactSlip1 | dContactSlip2 | dContactSoftERP | dContactSoftCFM | dContactApprox1;
        surface.mu = 0.5f;
        surface.slip1 = 0.1f;
        surface.slip2 = 0.1f;
        surface.soft_erp = 0.5f;
        surface.soft_cfm = 0.3f;
        dJointID joint = dJointCreateContact(gWorld, gContactGroup, &contacts[i]);
        dJointAttach(joint, dGeomGetBody(contacts[i].geom.g1), dGeomGetBody(contacts[i].geom.g2));
    }
}
