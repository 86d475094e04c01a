#include "physics/Car.h"

#include "physics/Bodies.h"

static BodyGeom CreateCarBox(dWorldID world, dMass* m, const dReal p[3], const dReal offset[3], dReal d,
                             dReal lx, dReal ly, dReal lz)
{
    const dReal pos[3] = {p[0] + offset[0], p[1] + offset[1], p[2] + offset[2]};
    return CreateBoxBody(world, m, 0, pos, d, lx, ly, lz, true);
}

static BodyGeom CreateWheel(dWorldID world, dMass* m, const dReal p[3], const dReal offset[3])
{
    const dReal pos[3] = {p[0] + offset[0], p[1] + offset[1], p[2] + offset[2]};
    return CreateSphereBody(world, m, pos, 4, 1);
}

static dJointID CreateCarHinge(dWorldID world, dBodyID body1, dBodyID body2, const dReal axis[3], const dReal p[3],
                               const dReal offset[3])
{
    const dReal anchor[3] = {p[0] + offset[0], p[1] + offset[1], p[2] + offset[2]};
    return CreateHinge(world, body1, body2, axis, anchor);
}

// Suspension along the chassis' vertical, spin about the car's y axis; the stops keep it from steering.
static dJointID CreateRearWheelJoint(dWorldID world, dBodyID chassis, dBodyID wheel)
{
    dJointID joint = dJointCreateHinge2(world, 0);
    dJointAttach(joint, chassis, wheel);
    const dReal* centre = dBodyGetPosition(wheel);
    dJointSetHinge2Anchor(joint, centre[0], centre[1], centre[2]);
    const dReal axis1[3] = {0, 0, 1};
    const dReal axis2[3] = {0, 1, 0};
    dJointSetHinge2Axes(joint, axis1, axis2);
    dJointSetHinge2Param(joint, dParamSuspensionERP, 0.4f);
    dJointSetHinge2Param(joint, dParamSuspensionCFM, 0.8f);
    dJointSetHinge2Param(joint, dParamLoStop, 0);
    dJointSetHinge2Param(joint, dParamHiStop, 0);
    return joint;
}

static void LockHinge(dJointID joint)
{
    dJointSetHingeParam(joint, dParamLoStop, 0);
    dJointSetHingeParam(joint, dParamHiStop, 0);
}

static void BuildCar(dWorldID w, Car& car, dMass* m, const dReal p[3])
{
    const dReal frontLeft[3] = {3.75f, 2, 1}, frontRight[3] = {3.75f, -2, 1};
    const dReal rearLeft[3] = {-2.25f, 2, 1}, rearRight[3] = {-2.25f, -2, 1};
    car.frontLeftWheel = CreateWheel(w, m, p, frontLeft);
    car.frontRightWheel = CreateWheel(w, m, p, frontRight);
    car.rearLeftWheel = CreateWheel(w, m, p, rearLeft);
    car.rearRightWheel = CreateWheel(w, m, p, rearRight);
    const dReal chassis[3] = {0.75f, 0, 2}, cabin[3] = {0, 0, 3.5f};
    const dReal leftKnuckle[3] = {3, 2, 1}, rightKnuckle[3] = {3, -2, 1}, tieRod[3] = {2.25f, 0, 1};
    car.chassis = CreateCarBox(w, m, p, chassis, 20, 10, 5, 1.5f);
    car.cabin = CreateCarBox(w, m, p, cabin, 0.1f, 5, 5, 1.5f);
    car.leftKnuckle = CreateCarBox(w, m, p, leftKnuckle, 1, 2, 0.5f, 0.1f);
    car.rightKnuckle = CreateCarBox(w, m, p, rightKnuckle, 1, 2, 0.5f, 0.1f);
    car.tieRod = CreateCarBox(w, m, p, tieRod, 1, 0.2f, 5, 0.1f);

    const dReal across[3] = {0, -1, 0}, down[3] = {0, 0, -1};
    const dReal cabinRear[3] = {-2.5f, 0, 2.75f}, cabinFront[3] = {2.5f, 0, 2.75f};
    car.cabinRearHinge = CreateCarHinge(w, car.cabin.body, car.chassis.body, across, p, cabinRear);
    LockHinge(car.cabinRearHinge);
    car.cabinFrontHinge = CreateCarHinge(w, car.cabin.body, car.chassis.body, across, p, cabinFront);
    LockHinge(car.cabinFrontHinge);
    car.rearLeftHinge2 = CreateRearWheelJoint(w, car.chassis.body, car.rearLeftWheel.body);
    car.rearRightHinge2 = CreateRearWheelJoint(w, car.chassis.body, car.rearRightWheel.body);

    const dReal leftHub[3] = {3.75f, 2.25f, 1}, rightHub[3] = {3.75f, -2.25f, 1};
    car.leftHubHinge = CreateCarHinge(w, car.frontLeftWheel.body, car.leftKnuckle.body, across, p, leftHub);
    car.rightHubHinge =
        CreateCarHinge(w, car.frontRightWheel.body, car.rightKnuckle.body, across, p, rightHub);
    const dReal leftPivot[3] = {3.75f, 2, 0.75f}, rightPivot[3] = {3.75f, -2, 0.75f};
    car.leftSteerHinge = CreateCarHinge(w, car.chassis.body, car.leftKnuckle.body, down, p, leftPivot);
    car.rightSteerHinge = CreateCarHinge(w, car.chassis.body, car.rightKnuckle.body, down, p, rightPivot);
    // The tie rod joins the knuckles behind their pivots, so steering one turns both.
    const dReal leftRod[3] = {2.25f, 2, 0.75f}, rightRod[3] = {2.25f, -2, 0.75f};
    car.leftTieRodHinge = CreateCarHinge(w, car.tieRod.body, car.leftKnuckle.body, down, p, leftRod);
    car.rightTieRodHinge = CreateCarHinge(w, car.tieRod.body, car.rightKnuckle.body, down, p, rightRod);
}

void ListCarParts(const Car& car, const BodyGeom* parts[kCarPartCount])
{
    const BodyGeom* inSpaceOrder[kCarPartCount] = {
        &car.cabin, &car.chassis, &car.frontLeftWheel, &car.frontRightWheel, &car.rearLeftWheel,
        &car.rearRightWheel, &car.tieRod, &car.leftKnuckle, &car.rightKnuckle};
    for (int i = 0; i < kCarPartCount; ++i)
        parts[i] = inSpaceOrder[i];
}

void BuildCars(Scene& scene)
{
    dMass m;
    dMassSetZero(&m);
    for (int k = 0; k < kCarCount; ++k) {
        const dReal p[3] = {dReal(11 + k), dReal(20 + 10 * k), 3};
        BuildCar(scene.world, scene.cars[k], &m, p);
        scene.carSpaces[k] = dSimpleSpaceCreate(scene.space);
        dSpaceSetCleanup(scene.carSpaces[k], 0);
        const BodyGeom* parts[kCarPartCount];
        ListCarParts(scene.cars[k], parts);
        for (int i = 0; i < kCarPartCount; ++i)
            dSpaceAdd(scene.carSpaces[k], parts[i]->geom);
    }
    const int colors[kCarCount][3] = {{1, 0, 0}, {0, 0, 1}, {0, 1, 0}};
    for (int k = 0; k < kCarCount; ++k)
        for (int i = 0; i < 3; ++i)
            scene.cars[k].color[i] = colors[k][i];
}

void ReleaseCars(Scene& scene)
{
    for (Car& car : scene.cars) {
        const BodyGeom* parts[kCarPartCount];
        ListCarParts(car, parts);
        for (int i = 0; i < kCarPartCount; ++i)
            dGeomDestroy(parts[i]->geom);
    }
}
