// What a key press does, called by every backend with Windows virtual-key codes.
#pragma once

extern int gCameraMode;             // 1 to gCameraModeCount
extern const int gCameraModeCount;  // 5

constexpr int kVkCamera = 'C';

// Sets the key's state, cycles the camera on C (every auto-repeat too), and while the space bar is
// held drives car 0's front hubs. Codes outside the key table are ignored.
void HandleKeyDown(unsigned vk);
void HandleKeyUp(unsigned vk);
