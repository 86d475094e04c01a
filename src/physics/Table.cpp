#include "physics/Bodies.h"
#include "physics/Scene.h"

Table gTable;

void BuildTable()
{
    const dReal x0 = 100, y0 = 100, z0 = 0;
    dMass m;
    dMassSetZero(&m);
    const dReal topPos[3] = {x0, y0 - 0.75f, z0 + 10.25f};
    gTable.top = CreateBoxBody(&m, gSpace, topPos, 5.01f, 40, 30, 0.1f, true);
    const dReal flapPos[3] = {x0 + 15, y0 - 30, z0 + 10};
    gTable.flap = CreateBoxBody(&m, gSpace, flapPos, 0.01f, 10, 30, 0.1f, true);

    // Irregular on purpose: leg 3 is wider and the legs stand off a symmetric rectangle.
    const dReal legPos[4][3] = {
        {x0 - 16.25f, y0 + 11, z0 + 5},
        {x0 + 16, y0 + 12.25f, z0 + 5},
        {x0 - 16.25f, y0 - 11.75f, z0 + 5},
        {x0 + 14.75f, y0 - 11.25f, z0 + 5},
    };
    const dReal legWidthY[4] = {5, 5, 5, 9};
    for (int i = 0; i < 4; ++i)
        gTable.legs[i] = CreateBoxBody(&m, gSpace, legPos[i], 0.01f, 5, legWidthY[i], 10, true);

    // No stops: the flap swings down about the top's edge until it rests on the ground as a ramp.
    const dReal axis[3] = {-1, 0, 0};
    const dReal anchor[3] = {x0 + 15, y0 - 15.75f, z0 + 10.25f};
    gTable.flapHinge = CreateHinge(gTable.flap.body, gTable.top.body, axis, anchor);
}
