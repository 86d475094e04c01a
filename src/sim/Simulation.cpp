#include "sim/Simulation.h"

#include "physics/Step.h"
#include "sim/PhysicsName.h"

static_assert(kWorldCarCount == kCarCount && kWorldFall == kWorldGravity, "the world's facts are the scene's");

static constexpr bool IsSameText(const char* a, const char* b)
{
    return *a == *b && (!*a || IsSameText(a + 1, b + 1));
}
static_assert(IsSameText(kOdeVersion, dODE_VERSION), "recordings and snapshots name the ODE this is built with");

Simulation gSim;

void ResetSimulation()
{
    gSim.frame = 0;
    for (CarControls& held : gSim.controls)
        held = CarControls{};
    gSim.targets = DrivingTargets{};
    gSim.paused = gSim.stepRequested = false;
    gSim.settings = {kWorldGravity, 0, false, true};
    gSim.queue.clear();
    gSim.recorded.clear();
    StartAutopilot(1);
}

void BuildSimWorld(float boxMass, bool autopilot)
{
    BuildWorld(gSim.scene);
    gSim.settings.gravity = kWorldGravity;
    gSim.settings.boxMass = boxMass;
    gSim.settings.autopilot = autopilot;
}

void DestroySimWorld()
{
    DestroyWorld(gSim.scene);
}

long ReadWorldFrame()
{
    return gSim.frame;
}

const SimSettings& ReadWorldSettings()
{
    return gSim.settings;
}

void ReadCarMotion(int c, float position[3], float velocity[3])
{
    const dBodyID chassis = gSim.scene.cars[c].chassis.body;
    for (int i = 0; i < 3; ++i) {
        position[i] = dBodyGetPosition(chassis)[i];
        velocity[i] = dBodyGetLinearVel(chassis)[i];
    }
}

void SwitchAutopilot(bool on)
{
    gSim.settings.autopilot = on;
}

void KeepHeldControls(bool stay)
{
    gSim.settings.heldControlsStay = stay;
}

// The frame's due commands, in the order they came; one that came late acts now.
static void ApplyDueCommands(long frame)
{
    std::vector<Command>& queue = gSim.queue;
    size_t due = 0;
    while (due < queue.size() && queue[due].frame <= frame)
        ++due;
    for (size_t i = 0; i < due; ++i) {
        Command c = queue[i];
        c.frame = frame;
        ApplyCommand(c);
        if (IsRecorded(c))
            gSim.recorded.push_back(c);
    }
    queue.erase(queue.begin(), queue.begin() + long(due));
}

bool DriveWorldFrame()
{
    ApplyDueCommands(gSim.frame + 1);
    ++gSim.frame;
    // Paused, the world stands still; a step lets exactly one frame through.
    const bool advance = !gSim.paused || gSim.stepRequested;
    gSim.stepRequested = false;
    if (!advance)
        return false;
    static std::vector<Command> autopilotHeld;  // scratch, kept for its room: no allocation a frame
    autopilotHeld.clear();
    UpdateAutopilot(gSim.settings.autopilot, gSim.settings.heldControlsStay, autopilotHeld);
    for (const Command& c : autopilotHeld)
        ApplyCommand(c);
    DriveCars(gSim.scene, gSim.controls, gSim.targets);
    return true;
}

void StepWorld()
{
    StepSimulation(gSim.scene, gSim.targets);
}
