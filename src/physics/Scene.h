// The physics scene: the ODE world with its static scene, the table and the three cars, as handles
// in one record. BuildWorld fills it and DestroyWorld takes it down; in between the handles do not
// own anything, the world, the top-level space and the contact group do. Whoever holds the record
// (the simulation, sim/) hands it to every function here that acts on the scene.
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

// A jointed car: chassis with cabin, sprung rear wheels with a drive motor, front wheels on steering
// knuckles joined by a tie rod (Cars.cpp).
struct Car {
    dJointID cabinFrontHinge;
    dJointID cabinRearHinge;
    dJointID rearLeftHinge2;
    dJointID rearRightHinge2;
    dJointID leftSteerHinge;
    dJointID rightSteerHinge;
    dJointID leftTieRodHinge;
    dJointID rightTieRodHinge;
    dJointID rightHubHinge;
    dJointID leftHubHinge;
    BodyGeom rearRightWheel;
    BodyGeom rearLeftWheel;
    BodyGeom chassis;
    BodyGeom frontLeftWheel;
    BodyGeom leftKnuckle;
    BodyGeom rightKnuckle;
    BodyGeom frontRightWheel;
    BodyGeom tieRod;
    BodyGeom cabin;
    int color[3];  // red, green, blue: each 0 or 1
};

constexpr int kCarCount = 3;
constexpr int kCarPartCount = 9;
constexpr int kPostCount = 50;
constexpr dReal kWorldGravity = -0.5f;  // along z, whatever the settings hold

struct Scene {
    dWorldID world;
    dSpaceID space;
    dJointGroupID contactGroup;
    dGeomID groundPlane;
    Car cars[kCarCount];
    // One simple space per car inside space, so that a car's overlapping parts never collide with
    // each other while they collide with everything else.
    dSpaceID carSpaces[kCarCount];
    Table table;
    BodyGeom posts[kPostCount];
    BodyGeom plate;
    BodyGeom ball;
    dGeomID ramp1;
    dGeomID ramp2;
};

void BuildWorld(Scene& scene);
void BuildTable(Scene& scene);
// Takes the scene down and clears the record, so that nothing acts on a scene that no longer exists.
void DestroyWorld(Scene& scene);
