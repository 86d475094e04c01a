// The scene over a few hundred steps with no key held, and the contact rules.
#include <doctest/doctest.h>

#include <cmath>

#include "SceneHelpers.h"
#include "physics/Car.h"
#include "physics/Step.h"

static double Speed(dBodyID body)
{
    const dReal* v = dBodyGetLinearVel(body);
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

TEST_CASE("left alone, the cars settle on their wheels, the plate lands and the flap becomes a ramp")
{
    StartScene();
    RunFrames(200);
    // The flap has swung down about the top's edge: its free end on the ground, its hinge end up.
    dVector3 freeEnd, hingeEnd;
    dGeomGetRelPointPos(gSim.scene.table.flap.geom, 0, -15, 0, freeEnd);
    dGeomGetRelPointPos(gSim.scene.table.flap.geom, 0, 15, 0, hingeEnd);
    CHECK(freeEnd[2] == doctest::Approx(0).epsilon(0.3));
    CHECK(freeEnd[1] == doctest::Approx(57).epsilon(0.05));
    CHECK(hingeEnd[2] > 9.5);
    CHECK(hingeEnd[1] == doctest::Approx(84.25).epsilon(0.01));
    // Posts far from everything have come to rest and sleep; the table rests too.
    CHECK(!dBodyIsEnabled(gSim.scene.posts[0].body));
    CHECK(!dBodyIsEnabled(gSim.scene.posts[21].body));
    CHECK(!dBodyIsEnabled(gSim.scene.table.top.body));

    RunFrames(500);
    for (int k = 0; k < kCarCount; ++k) {
        CAPTURE(k);
        const Car& car = gSim.scene.cars[k];
        const BodyGeom* wheels[] = {&car.frontLeftWheel, &car.frontRightWheel, &car.rearLeftWheel,
                                    &car.rearRightWheel};
        for (const BodyGeom* wheel : wheels) {
            double z = dBodyGetPosition(wheel->body)[2];
            CHECK(z > 0.6);  // a wheel of radius 1 sinks a little into the soft ground, no more
            CHECK(z < 1.1);
        }
        const dReal* chassis = dBodyGetPosition(car.chassis.body);
        CHECK(chassis[2] > 1.4);
        CHECK(chassis[2] < 2.2);
        CHECK(chassis[0] == doctest::Approx(11.75 + k).epsilon(0.05));
        CHECK(chassis[1] == doctest::Approx(20 + 10 * k).epsilon(0.05));
        CHECK(Speed(car.chassis.body) < 0.05);
        CHECK(dBodyIsEnabled(car.chassis.body));  // jointed to wheels that never sleep
    }
    const dReal* plate = dBodyGetPosition(gSim.scene.plate.body);
    CHECK(plate[2] == doctest::Approx(0.1).epsilon(0.05));
    CHECK(std::fabs(plate[0]) < 1);
    CHECK(std::fabs(plate[1] - 10) < 1);
    EndScene();
}

TEST_CASE("a sleeping post wakes when something hits it")
{
    StartScene();
    RunFrames(100);
    REQUIRE(!dBodyIsEnabled(gSim.scene.posts[0].body));
    dBodySetPosition(gSim.scene.ball.body, -2000, 3, 12);
    dBodySetLinearVel(gSim.scene.ball.body, 0, 0, -2);
    RunFrames(40);
    CHECK(dBodyIsEnabled(gSim.scene.posts[0].body));
    EndScene();
}

TEST_CASE("contacts: jointed bodies never touch, a pair yields at most ten, a car's parts ignore each other")
{
    StartScene();
    SUBCASE("the table top and its hinged flap, overlapping, make no contact")
    {
        dBodySetPosition(gSim.scene.table.flap.body, 100, 90, 10.25);
        dContactGeom touching[kMaxContacts];
        REQUIRE(dCollide(gSim.scene.table.flap.geom, gSim.scene.table.top.geom, kMaxContacts, touching, sizeof touching[0]) > 0);
        NearCallback(&gSim.scene, gSim.scene.table.flap.geom, gSim.scene.table.top.geom);
        CHECK(CountContactJoints(gSim.scene.table.flap.body) == 0);
        CHECK(CountContactJoints(gSim.scene.table.top.body) == 0);
    }
    SUBCASE("a car sunk into the ground yields exactly ten contacts for the pair")
    {
        const BodyGeom* parts[kCarPartCount];
        ListCarParts(gSim.scene.cars[0], parts);
        for (const BodyGeom* part : parts) {
            const dReal* p = dBodyGetPosition(part->body);
            dBodySetPosition(part->body, p[0], p[1], p[2] - 4.5f);
        }
        NearCallback(&gSim.scene, dGeomID(gSim.scene.carSpaces[0]), gSim.scene.groundPlane);
        int contacts = 0;
        for (const BodyGeom* part : parts)
            contacts += CountContactJoints(part->body);
        CHECK(contacts == kMaxContacts);
    }
    SUBCASE("a wheel of one car inside another car's chassis touches it")
    {
        const dReal* chassis = dBodyGetPosition(gSim.scene.cars[0].chassis.body);
        dBodySetPosition(gSim.scene.cars[1].frontLeftWheel.body, chassis[0], chassis[1], chassis[2]);
        NearCallback(&gSim.scene, dGeomID(gSim.scene.carSpaces[0]), dGeomID(gSim.scene.carSpaces[1]));
        CHECK(CountContactJoints(gSim.scene.cars[0].chassis.body) > 0);
        CHECK(CountContactJoints(gSim.scene.cars[1].frontLeftWheel.body) > 0);
    }
    SUBCASE("the parts of one car, which overlap, never touch each other")
    {
        RunFrames(100);
        std::vector<dJointID> contacts = CollectContacts();
        CHECK(!contacts.empty());
        for (dJointID j : contacts)
            for (const Car& car : gSim.scene.cars) {
                const BodyGeom* parts[kCarPartCount];
                ListCarParts(car, parts);
                int ends = 0;
                for (const BodyGeom* part : parts)
                    ends += dJointGetBody(j, 0) == part->body || dJointGetBody(j, 1) == part->body;
                CHECK(ends < 2);
            }
    }
    dJointGroupEmpty(gSim.scene.contactGroup);
    EndScene();
}

TEST_CASE("the step hands the targets to the motors and servos the steering")
{
    StartScene();
    const Car& car = gSim.scene.cars[0];
    StepSimulation(gSim.scene, gSim.targets);
    // With no key held the rear motors hold the wheels with up to 2 and steering is servoed to 0.
    CHECK(dJointGetHinge2Param(car.rearLeftHinge2, dParamVel2) == 0);
    CHECK(dJointGetHinge2Param(car.rearRightHinge2, dParamFMax2) == 2.0f);
    CHECK(dJointGetHingeParam(car.leftSteerHinge, dParamFMax) == 10.0f);

    gSim.targets.speed[0] = 40;
    gSim.targets.steer[0] = 0.5f;
    float angle = dJointGetHingeAngle(car.leftSteerHinge);
    StepSimulation(gSim.scene, gSim.targets);
    CHECK(dJointGetHinge2Param(car.rearLeftHinge2, dParamVel2) == -40);
    CHECK(dJointGetHingeParam(car.leftSteerHinge, dParamVel) == 0.5f - angle);
    for (int i = 0; i < 200; ++i)
        StepSimulation(gSim.scene, gSim.targets);
    // The request shrinks as the hinge nears its target.
    CHECK(dJointGetHingeAngle(car.leftSteerHinge) == doctest::Approx(0.5).epsilon(0.05));
    CHECK(std::fabs(dJointGetHingeParam(car.leftSteerHinge, dParamVel)) < 0.05);
    CHECK(dJointGetHinge2Param(gSim.scene.cars[1].rearLeftHinge2, dParamVel2) == 0);
    EndScene();
}
