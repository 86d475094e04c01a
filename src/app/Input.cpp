#include "app/Input.h"

#include "physics/Car.h"
#include "physics/Keys.h"

bool gKeys[kKeyCount];
int gCameraMode = 1;
const int gCameraModeCount = 5;

// The hub motors turn at 5 with at most maxTorque; a torque of 0 lets the wheels roll freely.
static void SetFrontHubMotors(dReal maxTorque)
{
    // A key can arrive while the window opens, before the cars exist.
    if (!gCars[0].leftHubHinge)
        return;
    dJointSetHingeParam(gCars[0].leftHubHinge, dParamVel, 5.0f);
    dJointSetHingeParam(gCars[0].leftHubHinge, dParamFMax, maxTorque);
    dJointSetHingeParam(gCars[0].rightHubHinge, dParamVel, 5.0f);
    dJointSetHingeParam(gCars[0].rightHubHinge, dParamFMax, maxTorque);
}

void HandleKeyDown(unsigned vk)
{
    if (vk >= unsigned(kKeyCount))
        return;
    gKeys[vk] = true;
    if (vk == unsigned(kVkCamera) && ++gCameraMode > gCameraModeCount)
        gCameraMode = 1;
    if (vk == unsigned(kVkSpace))
        SetFrontHubMotors(5.0f);
}

void HandleKeyUp(unsigned vk)
{
    if (vk >= unsigned(kKeyCount))
        return;
    if (vk == unsigned(kVkSpace))
        SetFrontHubMotors(0.0f);
    gKeys[vk] = false;
}
