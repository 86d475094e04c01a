#include "physics/Driving.h"

#include <cmath>

static float NextSteer(const CarControls& held, float s)
{
    if (held.steerLeft)
        return s < kSteerLimit ? float(s + kSteerStep) : s;
    if (held.steerRight)
        return s > -kSteerLimit ? float(s - kSteerStep) : s;
    return 0;
}

static float NextSpeed(const CarControls& held, float v)
{
    // Letting go of the control of the current direction stops the wheels at once.
    if (!held.faster && v > 0)
        v = 0;
    if (!held.slower && v < 0)
        v = 0;
    if (held.faster && v < kSpeedLimit)
        v += kSpeedStep;
    if (held.slower && v > -kSpeedLimit)
        v -= kSpeedStep;
    return v;
}

void DriveCars(Scene& scene, const CarControls controls[kCarCount], DrivingTargets& targets)
{
    for (int c = 0; c < kCarCount; ++c) {
        const CarControls& held = controls[c];
        float s = NextSteer(held, targets.steer[c]);
        float v = NextSpeed(held, targets.speed[c]);
        if (held.stopAndSpin) {
            v = 0;
            s = 0;
        }
        targets.steer[c] = s;
        targets.speed[c] = v;
        if (held.lift)
            dBodyAddForce(scene.cars[c].cabin.body, 0, 0, kLiftForce);
    }
}

void SetFrontHubMotors(const Car& car, dReal maxTorque)
{
    if (!car.leftHubHinge)
        return;
    dJointSetHingeParam(car.leftHubHinge, dParamVel, 5.0f);
    dJointSetHingeParam(car.leftHubHinge, dParamFMax, maxTorque);
    dJointSetHingeParam(car.rightHubHinge, dParamVel, 5.0f);
    dJointSetHingeParam(car.rightHubHinge, dParamFMax, maxTorque);
}

float CarGroundSpeed(const Scene& scene, int c)
{
    const dReal* v = dBodyGetLinearVel(scene.cars[c].chassis.body);
    float vx = float(v[0]), vy = float(v[1]);
    return std::sqrt(vx * vx + vy * vy);
}
