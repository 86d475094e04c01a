#include "physics/Controls.h"

#include "physics/Keys.h"
#include "physics/Step.h"

const CarKeys kCarKeys[kCarCount] = {
    {kVkLeft, kVkRight, kVkUp, kVkDown, 'M'},
    {'A', 'D', 'W', 'S', 'Q'},
    {'J', 'L', 'I', 'K', 'U'},
};

static float NextSteer(const CarKeys& keys, float s)
{
    if (gKeys[keys.raiseSteer])
        return s < kSteerLimit ? float(s + kSteerStep) : s;
    if (gKeys[keys.lowerSteer])
        return s > -kSteerLimit ? float(s - kSteerStep) : s;
    return 0;
}

static float NextSpeed(const CarKeys& keys, float v)
{
    // Letting go of the key of the current direction stops the wheels at once.
    if (!gKeys[keys.raiseSpeed] && v > 0)
        v = 0;
    if (!gKeys[keys.lowerSpeed] && v < 0)
        v = 0;
    if (gKeys[keys.raiseSpeed] && v < kSpeedLimit)
        v += kSpeedStep;
    if (gKeys[keys.lowerSpeed] && v > -kSpeedLimit)
        v -= kSpeedStep;
    return v;
}

void UpdateCarControls()
{
    for (int c = 0; c < kCarCount; ++c) {
        const CarKeys& keys = kCarKeys[c];
        float s = NextSteer(keys, gCarSteer[c]);
        float v = NextSpeed(keys, gCarSpeed[c]);
        if (c == 0 && gKeys[kVkSpace]) {
            v = 0;
            s = 0;
        }
        gCarSteer[c] = s;
        gCarSpeed[c] = v;
        if (gKeys[keys.lift])
            dBodyAddForce(gCars[c].cabin.body, 0, 0, kLiftForce);
    }
}
