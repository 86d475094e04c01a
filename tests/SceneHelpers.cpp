#include "SceneHelpers.h"

#include <algorithm>
#include <cmath>

#include "physics/Step.h"

std::vector<dJointID> CollectContacts()
{
    dSpaceCollide(gSpace, nullptr, NearCallback);
    std::vector<dJointID> contacts;
    for (dBodyID b : CollectBodies())
        for (int i = 0; i < dBodyGetNumJoints(b); ++i) {
            dJointID j = dBodyGetJoint(b, i);
            if (dJointGetType(j) == dJointTypeContact &&
                std::find(contacts.begin(), contacts.end(), j) == contacts.end())
                contacts.push_back(j);
        }
    return contacts;
}

int CountContactJoints(dBodyID body)
{
    int n = 0;
    for (int i = 0; i < dBodyGetNumJoints(body); ++i)
        n += dJointGetType(dBodyGetJoint(body, i)) == dJointTypeContact;
    return n;
}
