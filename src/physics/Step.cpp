#include "physics/Step.h"


static void ApplyDriveTarget(dJointID rearHinge2, float speed)
{
    dJointSetHinge2Param(rearHinge2, dParamVel2, -speed);
    dJointSetHinge2Param(rearHinge2, dParamFMax2, 2.0f);
}

void StepSimulation(Scene& scene, const DrivingTargets& targets)
{
    for (int c = 0; c < kCarCount; ++c) {
        const Car& car = scene.cars[c];
        ApplyDriveTarget(car.rearLeftHinge2, targets.speed[c]);
        ApplyDriveTarget(car.rearRightHinge2, targets.speed[c]);
        // A velocity servo on the left knuckle alone; the tie rod brings the right one along.
        float angle = dJointGetHingeAngle(car.leftSteerHinge);
        dJointSetHingeParam(car.leftSteerHinge, dParamVel, (targets.steer[c] - angle) * 1.0f);
        dJointSetHingeParam(car.leftSteerHinge, dParamFMax, 10.0f);
    }
    dSpaceCollide(scene.space, &scene, NearCallback);
    dWorldStep(scene.world, kStepSize);
    dJointGroupEmpty(scene.contactGroup);
}

void NearCallback(void* data, dGeomID o1, dGeomID o2)
{
    const Scene& scene = *static_cast<const Scene*>(data);
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
        dJointID joint = dJointCreateContact(scene.world, scene.contactGroup, &contacts[i]);
        dJointAttach(joint, dGeomGetBody(contacts[i].geom.g1), dGeomGetBody(contacts[i].geom.g2));
    }
}
