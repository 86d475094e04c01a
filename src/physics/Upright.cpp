#include "physics/Upright.h"

#include <cmath>

constexpr dReal kUprightChassisHeight = 2.5f;  // wheels 0.5 above the ground
constexpr dReal kOverturnedUpZ = 0.7071f;      // cos 45 degrees

bool IsCarOverturned(const Scene& scene, int c)
{
    return dBodyGetRotation(scene.cars[c].chassis.body)[10] < kOverturnedUpZ;
}

// The heading in the ground plane: where the chassis' forward axis points, or, when that stands
// upright, where its roof does.
static dReal ReadHeading(const dReal* r)
{
    if (std::fabs(r[0]) + std::fabs(r[4]) > 0.1f)
        return std::atan2(r[4], r[0]);
    return std::atan2(r[6], r[2]);
}

void SetCarUpright(Scene& scene, int c)
{
    dBodyID chassis = scene.cars[c].chassis.body;
    const dReal* p = dBodyGetPosition(chassis);
    const dReal centre[3] = {p[0], p[1], p[2]};
    dMatrix3 upright, toUpright;
    dRFromAxisAndAngle(upright, 0, 0, 1, ReadHeading(dBodyGetRotation(chassis)));
    // toUpright = upright * current^T: carries the chassis' present orientation to the upright one.
    dMultiply2_333(toUpright, upright, dBodyGetRotation(chassis));

    const BodyGeom* parts[kCarPartCount];
    ListCarParts(scene.cars[c], parts);
    for (const BodyGeom* part : parts) {
        dBodyID body = part->body;
        const dReal* q = dBodyGetPosition(body);
        const dVector3 offset = {q[0] - centre[0], q[1] - centre[1], q[2] - centre[2], 0};
        dVector3 moved;
        dMultiply0_331(moved, toUpright, offset);
        dMatrix3 rotation;
        dMultiply0_333(rotation, toUpright, dBodyGetRotation(body));
        dBodySetPosition(body, centre[0] + moved[0], centre[1] + moved[1], kUprightChassisHeight + moved[2]);
        dBodySetRotation(body, rotation);
        dBodySetLinearVel(body, 0, 0, 0);
        dBodySetAngularVel(body, 0, 0, 0);
        dBodyEnable(body);
    }
}
