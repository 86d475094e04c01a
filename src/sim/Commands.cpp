#include "sim/Commands.h"

#include <algorithm>

#include "physics/Upright.h"
#include "sim/Autopilot.h"
#include "sim/Simulation.h"

void QueueWorldCommand(const Command& command)
{
    std::vector<Command>& queue = gSim.queue;
    auto after = std::upper_bound(queue.begin(), queue.end(), command.frame,
                                  [](long frame, const Command& c) { return frame < c.frame; });
    queue.insert(after, command);
}

long NextCommandFrame()
{
    return gSim.frame + 1;
}

static void SetOverturnedUpright(int car)
{
    for (int c = 0; c < kCarCount; ++c)
        if ((car == kEveryCar || car == c) && IsCarOverturned(gSim.scene, c))
            SetCarUpright(gSim.scene, c);
}

// What a person took from the autopilot was held by it: nothing is held any more.
static void LetGoOfControls(int c)
{
    const bool stopAndSpin = gSim.controls[c].stopAndSpin;
    gSim.controls[c] = CarControls{};
    gSim.controls[c].stopAndSpin = stopAndSpin;  // never the autopilot's
}

static void HoldControl(const Command& command)
{
    CarControls& held = gSim.controls[command.car];
    switch (command.kind) {
    case CommandKind::kCarKey: {
        bool* keys[] = {&held.steerLeft, &held.steerRight, &held.faster, &held.slower};
        *keys[int(command.key)] = command.down;
        break;
    }
    case CommandKind::kLift: held.lift = command.down; break;
    default:
        held.stopAndSpin = command.down;
        SetFrontHubMotors(gSim.scene.cars[command.car], command.down ? 5.0f : 0.0f);
        break;
    }
}

void ApplyCommand(const Command& command)
{
    switch (command.kind) {
    case CommandKind::kCarKey:
    case CommandKind::kLift:
    case CommandKind::kStopAndSpin:
        if (command.source == CommandSource::kPerson && TakeCarFromAutopilot(command.car))
            LetGoOfControls(command.car);
        HoldControl(command);
        break;
    case CommandKind::kUpright: SetOverturnedUpright(command.car); break;
    case CommandKind::kAutopilot:
        if (command.down)
            HandCarToAutopilot(command.car);
        else if (TakeCarFromAutopilot(command.car))
            LetGoOfControls(command.car);
        break;
    case CommandKind::kPause:
        gSim.paused = !gSim.paused;
        gSim.stepRequested = false;
        break;
    case CommandKind::kStep: gSim.stepRequested = gSim.paused; break;
    default: break;  // this machine's alone: the shell's
    }
}

void RestartCommandsAt(long frame)
{
    gSim.frame = frame;
    const auto isAfter = [frame](const Command& c) { return c.frame > frame; };
    gSim.queue.erase(gSim.queue.begin(), std::find_if(gSim.queue.begin(), gSim.queue.end(), isAfter));
    gSim.recorded.erase(std::find_if(gSim.recorded.begin(), gSim.recorded.end(), isAfter), gSim.recorded.end());
}

const std::vector<Command>& ReadRecordedCommands()
{
    return gSim.recorded;
}
