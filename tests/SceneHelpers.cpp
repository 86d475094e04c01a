#include "SceneHelpers.h"

#include <algorithm>
#include <cmath>

#include <doctest/doctest.h>

#include "record/KeyTable.h"
#include "physics/Step.h"
#include "platform/Platform.h"

std::vector<dJointID> CollectContacts()
{
    dSpaceCollide(gSim.scene.space, &gSim.scene, NearCallback);
    std::vector<dJointID> contacts;
    for (dBodyID b : CollectBodies(gSim.scene))
        for (int i = 0; i < dBodyGetNumJoints(b); ++i) {
            dJointID j = dBodyGetJoint(b, i);
            if (dJointGetType(j) == dJointTypeContact &&
                std::find(contacts.begin(), contacts.end(), j) == contacts.end())
                contacts.push_back(j);
        }
    return contacts;
}

bool& HeldControl(int vk)
{
    for (int c = 0; c < kCarCount; ++c) {
        const CarKeys& k = kCarKeys[c];
        CarControls& held = gSim.controls[c];
        const struct {
            int vk;
            bool* control;
        } keys[] = {{k.raiseSteer, &held.steerLeft}, {k.raiseSpeed, &held.faster}, {k.lowerSteer, &held.steerRight},
                    {k.lowerSpeed, &held.slower},    {k.lift, &held.lift}};
        for (const auto& key : keys)
            if (key.vk == vk)
                return *key.control;
    }
    REQUIRE(vk == kVkSpace);
    return gSim.controls[0].stopAndSpin;
}

void DriveHeldControls()
{
    DriveCars(gSim.scene, gSim.controls, gSim.targets);
}

int CountContactJoints(dBodyID body)
{
    int n = 0;
    for (int i = 0; i < dBodyGetNumJoints(body); ++i)
        n += dJointGetType(dBodyGetJoint(body, i)) == dJointTypeContact;
    return n;
}
