// The physics scene's whole state as bytes, for a snapshot of the world: what ODE keeps privately and
// the future depends on as well as what it shows. Every body's pose, velocities, force accumulators,
// flags and auto-disable counters with their averaging buffers; every joint's settings (the hub
// motors among them); every geom's flags and cached bounds and the order of each space's list, which
// dGeomMoved changes and the order of contacts follows; the world's gravity and ODE's random seed.
// Values go in and out raw: ODE's setters would normalise a quaternion or reset a counter. Objects
// go in a fixed order from the scene's records, so another process's scene, built the same way,
// takes them.
#pragma once
#include <string>

#include "physics/Bytes.h"
#include "physics/Scene.h"

// Appends the scene's state; the world must be between steps (no contact joints).
void WriteSceneState(const Scene& scene, ByteWriter& out);
// Whether in (at the scene's state) fits this scene: the same bodies, joints and spaces with the same
// members, to the last byte. Changes nothing; false with the reason.
bool CheckSceneState(const Scene& scene, ByteReader in, std::string& why);
// Sets the scene to the state in, which CheckSceneState accepted.
void ReadSceneState(Scene& scene, ByteReader& in);
