// The three jointed cars: chassis with cabin, sprung rear wheels with a drive motor, front wheels on
// steering knuckles joined by a tie rod. Built once by BuildCars; SetCarUpright (Upright.cpp) puts an
// overturned one back on its wheels where it lies.
#pragma once
#include "physics/Scene.h"

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

extern Car gCars[kCarCount];  // Cars.cpp: BuildCars fills it, ReleaseCars clears it
// One simple space per car inside gSpace, so that a car's overlapping parts never collide with each
// other while they collide with everything else.
extern dSpaceID gCarSpaces[kCarCount];  // Cars.cpp

void BuildCars();
// The car's nine body-geom pairs in the order they were added to its sub-space.
void ListCarParts(const Car& car, const BodyGeom* parts[kCarPartCount]);
// The car sub-spaces do not destroy their geoms: this does, once gSpace is gone, and clears the
// records so that nothing acts on a car that no longer exists.
void ReleaseCars();
