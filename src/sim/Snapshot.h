// The world's record saved to bytes and restored from them exactly: the same bytes from every build
// for the same world, and a restored world runs on bit for bit as one never interrupted, in this
// process or another that built the same scene. What decides the next frame goes in: the frame
// count, the held controls, the pause, the driving targets, the autopilot switch and the autopilot,
// and the physics scene with what ODE keeps privately (physics/SceneState.h). What is queued for
// later frames stays queued, if for a frame after the snapshot's.
//
// The bytes: "KELVSNAP", then little-endian the format (uint32), the whole length with the checksum
// (uint32), the physics as a recording's header names it (24 bytes, zero-padded), the frame (int64)
// and the world's state hash (uint64); then the world; last the checksum of everything before it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

struct ByteWriter;  // physics/Bytes.h: only the tools that save snapshots need it, not the rooms above

constexpr uint32_t kSnapshotFormat = 1;

// The checksum a snapshot of size bytes ends with: of every byte before its last eight.
uint64_t ChecksumSnapshot(const uint8_t* bytes, size_t size);
// Saves the world as it is after the frame last run into out, from its start.
void SaveSnapshot(ByteWriter& out);
// Whether bytes are a whole snapshot of this build's format and physics, its checksum matching, and of
// which frame's world; what only the world can tell (its scene's fit) is left to RestoreSnapshot.
bool CheckSnapshotBytes(const uint8_t* bytes, size_t size, long& frame, std::string& why);
// The state hash the world of a snapshot CheckSnapshotBytes took was saved with.
uint64_t ReadSnapshotHash(const uint8_t* bytes);
// For tests of those who take snapshots from others: car 0's held left steer turned over and the
// checksum made to fit, a snapshot whose every byte reads well and whose world is not the one its
// header says.
void SpoilSnapshot(uint8_t* bytes, size_t size);
// Restores the world from a snapshot. One of another format, of other physics, damaged or cut short
// is refused, with the reason in why, before anything changes. False too, after the change, when the
// restored world's state hash is not the one saved.
bool RestoreSnapshot(const uint8_t* bytes, size_t size, std::string& why);
