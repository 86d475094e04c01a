#include "physics/Driving.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "physics/Step.h"

float gCarSpeed[kCarCount];
float gCarSteer[kCarCount];

static float NextSteer(const CarInput& input, float s)
{
    if (input.raiseSteer)
        return s < kSteerLimit ? float(s + kSteerStep) : s;
    if (input.lowerSteer)
        return s > -kSteerLimit ? float(s - kSteerStep) : s;
    return 0;
}

static float NextSpeed(const CarInput& input, float v)
{
    // Letting go of the key of the current direction stops the wheels at once.
    if (!input.raiseSpeed && v > 0)
        v = 0;
    if (!input.lowerSpeed && v < 0)
        v = 0;
    if (input.raiseSpeed && v < kSpeedLimit)
        v += kSpeedStep;
    if (input.lowerSpeed && v > -kSpeedLimit)
        v -= kSpeedStep;
    return v;
}

void DriveCars(const CarInput inputs[kCarCount])
{
    for (int c = 0; c < kCarCount; ++c) {
        const CarInput& input = inputs[c];
        float s = NextSteer(input, gCarSteer[c]);
        float v = NextSpeed(input, gCarSpeed[c]);
        if (input.brake) {
            v = 0;
            s = 0;
        }
        gCarSteer[c] = s;
        gCarSpeed[c] = v;
        if (input.lift)
            dBodyAddForce(gCars[c].cabin.body, 0, 0, kLiftForce);
    }
}

void SetFrontHubMotors(dReal maxTorque)
{
    if (!gCars[0].leftHubHinge)
        return;
    dJointSetHingeParam(gCars[0].leftHubHinge, dParamVel, 5.0f);
    dJointSetHingeParam(gCars[0].leftHubHinge, dParamFMax, maxTorque);
    dJointSetHingeParam(gCars[0].rightHubHinge, dParamVel, 5.0f);
    dJointSetHingeParam(gCars[0].rightHubHinge, dParamFMax, maxTorque);
}

void ResetDrivingTargets()
{
    std::fill(std::begin(gCarSpeed), std::end(gCarSpeed), 0.0f);
    std::fill(std::begin(gCarSteer), std::end(gCarSteer), 0.0f);
}

void WriteDrivingTargets(ByteWriter& out)
{
    for (int c = 0; c < kCarCount; ++c) {
        PutFloat(out, gCarSpeed[c]);
        PutFloat(out, gCarSteer[c]);
    }
}

void ReadDrivingTargets(ByteReader& in)
{
    for (int c = 0; c < kCarCount; ++c) {
        gCarSpeed[c] = TakeFloat(in);
        gCarSteer[c] = TakeFloat(in);
    }
}

float CarGroundSpeed(int c)
{
    const dReal* v = dBodyGetLinearVel(gCars[c].chassis.body);
    float vx = float(v[0]), vy = float(v[1]);
    return std::sqrt(vx * vx + vy * vy);
}
