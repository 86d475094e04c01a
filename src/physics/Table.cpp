#include "physics/Bodies.h"
#include "physics/Scene.h"

void BuildTable(Scene& scene)
{
    Table& table = scene.table;
    const dReal x0 = 100, y0 = 100, z0 = 0;
    dMass m;
    dMassSetZero(&m);
    const dReal topPos[3] = {x0, y0 - 0.75f, z0 + 10.25f};
    table.top = CreateBoxBody(scene.world, &m, scene.space, topPos, 5.01f, 40, 30, 0.1f, true);
    const dReal flapPos[3] = {x0 + 15, y0 - 30, z0 + 10};
    table.flap = CreateBoxBody(scene.world, &m, scene.space, flapPos, 0.01f, 10, 30, 0.1f, true);

    // Irregular on purpose: leg 3 is wider and the legs stand off a symmetric rectangle.
    const dReal legPos[4][3] = {
        {x0 - 16.25f, y0 + 11, z0 + 5},
        {x0 + 16, y0 + 12.25f, z0 + 5},
        {x0 - 16.25f, y0 - 11.75f, z0 + 5},
        {x0 + 14.75f, y0 - 11.25f, z0 + 5},
    };
    const dReal legWidthY[4] = {5, 5, 5, 9};
    for (int i = 0; i < 4; ++i)
        table.legs[i] = CreateBoxBody(scene.world, &m, scene.space, legPos[i], 0.01f, 5, legWidthY[i], 10, true);

    // No stops: the flap swings down about the top's edge until it rests on the ground as a ramp.
    const dReal axis[3] = {-1, 0, 0};
    const dReal anchor[3] = {x0 + 15, y0 - 15.75f, z0 + 10.25f};
    table.flapHinge = CreateHinge(scene.world, table.flap.body, table.top.body, axis, anchor);
}
