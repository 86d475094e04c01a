#include "SceneHelpers.h"

#include <algorithm>
#include <cmath>

#include "app/Frame.h"
#include "app/RunState.h"
#include "physics/Step.h"

void StartScene()
{
    ResetRunState();
    gActive = false;
    BuildRunWorld();
}

void EndScene()
{
    DestroyWorld();
}

void RunFrames(int count)
{
    for (int i = 0; i < count; ++i)
        RunFrame();
}

static void AddBodies(dSpaceID space, std::vector<dBodyID>& bodies)
{
    for (int i = 0; i < dSpaceGetNumGeoms(space); ++i) {
        dGeomID g = dSpaceGetGeom(space, i);
        if (dGeomIsSpace(g))
            AddBodies(dSpaceID(g), bodies);
        else if (dBodyID b = dGeomGetBody(g); b && std::find(bodies.begin(), bodies.end(), b) == bodies.end())
            bodies.push_back(b);
    }
}

std::vector<dBodyID> CollectBodies()
{
    std::vector<dBodyID> bodies;
    AddBodies(gSpace, bodies);
    return bodies;
}

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

bool IsFinite(dBodyID body)
{
    const dReal* values[] = {dBodyGetPosition(body), dBodyGetLinearVel(body), dBodyGetAngularVel(body),
                             dBodyGetQuaternion(body)};
    for (const dReal* v : values)
        for (int i = 0; i < 3; ++i)
            if (!std::isfinite(v[i]))
                return false;
    return std::isfinite(dBodyGetQuaternion(body)[3]);
}
