// The scene as BuildWorld leaves it, before any step.
#include <doctest/doctest.h>

#include <set>

#include "SceneHelpers.h"
#include "app/Frame.h"
#include "app/Settings.h"
#include "physics/Car.h"

static void CheckAt(const dReal* p, double x, double y, double z)
{
    CHECK(p[0] == doctest::Approx(x));
    CHECK(p[1] == doctest::Approx(y));
    CHECK(p[2] == doctest::Approx(z));
}

static void CheckBodyAt(dBodyID body, double x, double y, double z)
{
    CheckAt(dBodyGetPosition(body), x, y, z);
}

TEST_CASE("the world holds 85 bodies, 31 joints and its geoms in the right spaces")
{
    StartScene();
    std::vector<dBodyID> bodies = CollectBodies(gSim.scene);
    CHECK(bodies.size() == 85);

    std::set<dJointID> joints;
    for (dBodyID b : bodies)
        for (int i = 0; i < dBodyGetNumJoints(b); ++i)
            joints.insert(dBodyGetJoint(b, i));
    CHECK(joints.size() == 31);
    for (dJointID j : joints)
        CHECK(dJointGetType(j) != dJointTypeContact);

    CHECK(dSpaceGetNumGeoms(gSim.scene.space) == 64);
    for (int k = 0; k < kCarCount; ++k) {
        CHECK(dSpaceQuery(gSim.scene.space, dGeomID(gSim.scene.carSpaces[k])));
        CHECK(dSpaceGetNumGeoms(gSim.scene.carSpaces[k]) == 9);
        dMass total, part;
        dMassSetZero(&total);
        const BodyGeom* parts[kCarPartCount];
        ListCarParts(gSim.scene.cars[k], parts);
        for (const BodyGeom* bg : parts) {
            CHECK(dGeomGetSpace(bg->geom) == gSim.scene.carSpaces[k]);
            dBodyGetMass(bg->body, &part);
            total.mass += part.mass;
        }
        CHECK(total.mass == doctest::Approx(39.1));
    }
    dMass top;
    dBodyGetMass(gSim.scene.table.top.body, &top);
    CHECK(top.mass == doctest::Approx(5.01f));
    CHECK(dBodyGetAutoDisableFlag(gSim.scene.plate.body) == 0);
    CHECK(dBodyGetAutoDisableFlag(gSim.scene.ball.body) == 0);
    CHECK(dBodyGetAutoDisableFlag(gSim.scene.cars[0].frontLeftWheel.body) == 0);
    CHECK(dBodyGetAutoDisableFlag(gSim.scene.posts[0].body) == 1);
    CHECK(dBodyGetAutoDisableFlag(gSim.scene.table.flap.body) == 1);
    EndScene();
}

TEST_CASE("posts stand in a row along y = 3 with the last four on the corners")
{
    StartScene();
    for (int i = 0; i <= 45; ++i)
        CheckBodyAt(gSim.scene.posts[i].body, -2000 + 100 * i, 3, 5);
    CheckBodyAt(gSim.scene.posts[46].body, -2000, -2000, 5);
    CheckBodyAt(gSim.scene.posts[47].body, 2000, -2000, 5);
    CheckBodyAt(gSim.scene.posts[48].body, -2000, 2000, 5);
    CheckBodyAt(gSim.scene.posts[49].body, 2000, 2000, 5);
    CheckBodyAt(gSim.scene.plate.body, 0, 10, 100.5);
    CheckBodyAt(gSim.scene.ball.body, 10, 5, 5);
    CHECK(dGeomGetSpace(gSim.scene.ball.geom) == gSim.scene.space);
    EndScene();
}

TEST_CASE("the cars are built side by side with their parts and joints in place")
{
    StartScene();
    const Car& car = gSim.scene.cars[0];
    CheckBodyAt(car.chassis.body, 11.75, 20, 5);
    CheckBodyAt(car.cabin.body, 11, 20, 6.5);
    CheckBodyAt(car.frontLeftWheel.body, 14.75, 22, 4);
    CheckBodyAt(car.frontRightWheel.body, 14.75, 18, 4);
    CheckBodyAt(car.rearLeftWheel.body, 8.75, 22, 4);
    CheckBodyAt(car.rearRightWheel.body, 8.75, 18, 4);
    CheckBodyAt(car.leftKnuckle.body, 14, 22, 4);
    CheckBodyAt(car.rightKnuckle.body, 14, 18, 4);
    CheckBodyAt(car.tieRod.body, 13.25, 20, 4);
    CheckBodyAt(gSim.scene.cars[2].chassis.body, 13.75, 40, 5);
    CheckBodyAt(gSim.scene.cars[1].chassis.body, 12.75, 30, 5);

    dVector3 a;
    dJointGetHinge2Anchor(car.rearLeftHinge2, a);
    CheckAt(a, 8.75, 22, 4);
    dJointGetHinge2Anchor(car.rearRightHinge2, a);
    CheckAt(a, 8.75, 18, 4);
    dJointGetHingeAnchor(car.leftHubHinge, a);
    CheckAt(a, 14.75, 22.25, 4);
    dJointGetHingeAnchor(car.rightHubHinge, a);
    CheckAt(a, 14.75, 17.75, 4);
    dJointGetHingeAnchor(car.leftSteerHinge, a);
    CheckAt(a, 14.75, 22, 3.75);
    dJointGetHingeAnchor(car.rightTieRodHinge, a);
    CheckAt(a, 13.25, 18, 3.75);
    dJointGetHingeAxis(car.leftSteerHinge, a);
    CheckAt(a, 0, 0, -1);
    dJointGetHingeAxis(car.leftHubHinge, a);
    CheckAt(a, 0, -1, 0);
    // The joints' body order fixes the sign of what the step reads and drives.
    CHECK(dJointGetBody(car.rearLeftHinge2, 0) == car.chassis.body);
    CHECK(dJointGetBody(car.leftSteerHinge, 1) == car.leftKnuckle.body);
    CHECK(dJointGetBody(car.leftHubHinge, 0) == car.frontLeftWheel.body);

    // No motor yet; the rear wheels cannot steer.
    CHECK(dJointGetHingeParam(car.leftSteerHinge, dParamFMax) == 0);
    CHECK(dJointGetHingeParam(car.leftHubHinge, dParamFMax) == 0);
    CHECK(dJointGetHinge2Param(car.rearLeftHinge2, dParamFMax2) == 0);
    CHECK(dJointGetHinge2Param(car.rearLeftHinge2, dParamLoStop) == 0);
    CHECK(dJointGetHinge2Param(car.rearLeftHinge2, dParamHiStop) == 0);
    CHECK(dJointGetHinge2Param(car.rearLeftHinge2, dParamSuspensionCFM) == doctest::Approx(0.8));

    const int colors[kCarCount][3] = {{1, 0, 0}, {0, 0, 1}, {0, 1, 0}};
    for (int k = 0; k < kCarCount; ++k)
        for (int i = 0; i < 3; ++i)
            CHECK(gSim.scene.cars[k].color[i] == colors[k][i]);
    EndScene();
}

// Height of a ramp's upper face at its -x or +x edge (centre line), and where that edge lies.
static void RampEdge(dGeomID ramp, double side, double& x, double& z)
{
    dVector3 size, p;
    dGeomBoxGetLengths(ramp, size);
    dGeomGetRelPointPos(ramp, side * size[0] / 2, 0, size[2] / 2, p);
    x = p[0];
    z = p[2];
}

TEST_CASE("both ramps rise toward +x and the table stands as built")
{
    StartScene();
    double x, z;
    RampEdge(gSim.scene.ramp1, -1, x, z);
    CHECK(x == doctest::Approx(189.9).epsilon(0.001));
    CHECK(z == doctest::Approx(-0.10).epsilon(0.05));
    RampEdge(gSim.scene.ramp1, 1, x, z);
    CHECK(x == doctest::Approx(209.6).epsilon(0.001));
    CHECK(z == doctest::Approx(2.88).epsilon(0.01));
    RampEdge(gSim.scene.ramp2, -1, x, z);
    CHECK(x == doctest::Approx(480.4).epsilon(0.001));
    CHECK(z == doctest::Approx(-2.24).epsilon(0.01));
    RampEdge(gSim.scene.ramp2, 1, x, z);
    CHECK(x == doctest::Approx(518.6).epsilon(0.001));
    CHECK(z == doctest::Approx(9.58).epsilon(0.01));

    CheckBodyAt(gSim.scene.table.top.body, 100, 99.25, 10.25);
    CheckBodyAt(gSim.scene.table.flap.body, 115, 70, 10);
    CheckBodyAt(gSim.scene.table.legs[0].body, 83.75, 111, 5);
    CheckBodyAt(gSim.scene.table.legs[1].body, 116, 112.25, 5);
    CheckBodyAt(gSim.scene.table.legs[2].body, 83.75, 88.25, 5);
    CheckBodyAt(gSim.scene.table.legs[3].body, 114.75, 88.75, 5);
    dVector3 size;
    dGeomBoxGetLengths(gSim.scene.table.legs[3].geom, size);
    CheckAt(size, 5, 9, 10);
    dVector3 a;
    dJointGetHingeAnchor(gSim.scene.table.flapHinge, a);
    CheckAt(a, 115, 84.25, 10.25);
    dJointGetHingeAxis(gSim.scene.table.flapHinge, a);
    CheckAt(a, -1, 0, 0);
    EndScene();
}

TEST_CASE("the world falls at -0.5 whatever the settings held")
{
    gSettings.sGravity = -9.81f;
    BuildRunWorld();
    dVector3 g;
    dWorldGetGravity(gSim.scene.world, g);
    CheckAt(g, 0, 0, -0.5);
    CHECK(gSettings.sGravity == -0.5f);
    DestroySimWorld();
    CHECK(gSim.scene.cars[0].chassis.body == nullptr);
}
