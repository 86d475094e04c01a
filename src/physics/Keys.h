// Key state as the window reports it, indexed by Windows virtual-key code on every platform.
#pragma once

constexpr int kKeyCount = 256;

extern bool gKeys[kKeyCount];  // true between a key's key-down and key-up

constexpr int kVkSpace = 0x20;
constexpr int kVkEscape = 0x1B;
constexpr int kVkLeft = 0x25;
constexpr int kVkUp = 0x26;
constexpr int kVkRight = 0x27;
constexpr int kVkDown = 0x28;
