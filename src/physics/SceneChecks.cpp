#include "physics/SceneChecks.h"

#include <algorithm>
#include <cmath>


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

std::vector<dBodyID> CollectBodies(const Scene& scene)
{
    std::vector<dBodyID> bodies;
    AddBodies(scene.space, bodies);
    return bodies;
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
