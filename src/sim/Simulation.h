// The world's one record: everything that decides the next frame, written by this room alone. The
// physics scene (the ODE world, its space, bodies and joints) is held here and changed through
// physics/; the rest is plain data: the frame count, each car's held controls and driving targets,
// the autopilot, the pause, the settings that shape the world, and the commands waiting for their
// frame. Commands change it (Commands.h), DriveWorldFrame and StepWorld advance it, and it is hashed (StateHash.h)
// and saved and restored (Snapshot.h) whole.
#pragma once
#include <vector>

#include "physics/Driving.h"
#include "physics/Scene.h"
#include "sim/Autopilot.h"
#include "sim/Commands.h"
#include "sim/World.h"

struct Simulation {
    Scene scene;
    long frame;  // frames run since the world was built; what arrives now acts on the next
    CarControls controls[kCarCount];
    DrivingTargets targets;
    Autopilot autopilot;
    bool paused;         // the world stands still
    bool stepRequested;  // while paused, the next frame steps
    SimSettings settings;
    std::vector<Command> queue;     // waiting for their frame, in frame order
    std::vector<Command> recorded;  // applied, as a recording keeps them
};

extern Simulation gSim;

// Everything but the scene as a new process has it: no frame run, nothing queued or held, targets
// at rest, running, the autopilot off and seeded 1.
void ResetSimulation();
// Builds the physics scene, with the settings that shape the world; it falls at kWorldGravity.
void BuildSimWorld(float boxMass, bool autopilot);
void DestroySimWorld();
// The world's half of a frame, in two parts, as the shell's frame has its statistics between them:
// the frame's commands (and any that came late), in order, and the frame counted; then, unless
// paused, the autopilot's controls and each car's controls to its targets. Whether the world steps
// this frame.
bool DriveWorldFrame();
// One simulation step, when DriveWorldFrame said so.
void StepWorld();
