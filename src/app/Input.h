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
constexpr int kVkRightCars = 'R';   // every car on its side or roof back on its wheels
constexpr int kVkPause = 'P';       // the simulation stands still, or goes on
constexpr int kVkStep = 'N';        // while paused: one frame of simulation
constexpr int kVkScreenshot = 0x7B; // F12: the next frame drawn is saved as a picture

extern int gCameraMode;             // 1 to gCameraModeCount
extern const int gCameraModeCount;  // 5
extern bool gPaused;
extern bool gStepRequested;         // N was pressed while paused; the next frame steps
extern bool gScreenshotRequested;
