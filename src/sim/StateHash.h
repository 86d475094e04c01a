// A 64-bit hash of the whole simulation state after a frame: equal on every build when the runs are,
// so that two builds or two machines compare a run by one number a frame.
#pragma once
#include <cstdint>

// FNV-1a, 64 bits: the running value, fed field by field.
struct StateHash {
    uint64_t value;
};

constexpr uint64_t kFnvOffsetBasis = 14695981039346656037ull;

// Each field by its value, never its memory: integers as little-endian bytes whatever the host's
// order, floats by their bit pattern, bools as one byte 0 or 1.
void FeedByte(StateHash& hash, uint8_t byte);
void FeedBool(StateHash& hash, bool value);
void FeedUint32(StateHash& hash, uint32_t value);
void FeedInt64(StateHash& hash, int64_t value);
void FeedFloat(StateHash& hash, float value);

// After a frame, in this order: every body of the scene (the posts 0 to 49, the plate, the ball, the
// table's top, flap and legs 0 to 3, then each car's nine parts in ListCarParts' order), each by its
// position, orientation quaternion, linear and angular velocity and enabled flag; per car its speed
// and steering targets and its held controls (steer left and right, faster, slower, lift), car 0's
// stop and spin and its front hub motors, the autopilot switch, and the autopilot's cars and
// generator.
// Left out as derived or spent each step: rotation matrices (made from the quaternions), forces and
// contact joints, the rear drive and steering motors (set from the targets); ODE's sleep counters
// have no public reader. Camera, pause and frame figures are the viewer's, not the world's.
uint64_t HashWorldState();
