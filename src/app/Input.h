// Key state and what a key press does, the same on every platform. Keys are named by their Windows
// virtual-key codes; every backend translates its own into them.
#pragma once

constexpr int kKeyCount = 256;

extern bool gKeys[kKeyCount];  // true between a key's key-down and key-up

constexpr int kVkSpace = 0x20;
constexpr int kVkEscape = 0x1B;
constexpr int kVkLeft = 0x25;
constexpr int kVkUp = 0x26;
constexpr int kVkRight = 0x27;
constexpr int kVkDown = 0x28;
constexpr int kVkCamera = 'C';

extern int gCameraMode;             // 1 to gCameraModeCount
extern const int gCameraModeCount;  // 5
