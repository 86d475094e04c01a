// Every input as data: a command stamped with the frame it acts on. The keyboard, the pads, key
// scripts, recordings and a shared run's peers all make commands; the world's frame applies those
// due, in the order they came, before its step, and nothing else changes the world. The table says
// which change the world and which touch only this machine (the shell keeps those, app/).
#pragma once
#include <cstdint>
#include <vector>

enum class CommandKind : uint8_t {
    kCarKey,       // one of a car's four driving keys goes down or up
    kLift,         // a car's cabin lift, held or let go
    kStopAndSpin,  // car 0's stop: held, it stops the car and spins its front wheels
    kUpright,      // a car on its side or roof back on its wheels; car kEveryCar: every such car
    kAutopilot,    // a shared run's car handed to the autopilot (down) or back to its person (up)
    kPause,        // the simulation stands still, or goes on
    kStep,         // while paused: one frame of simulation
    kCamera,       // the next of the five cameras
    kPicture,      // the next frame drawn is saved as a picture
    kKeepRecording,  // the run so far is saved as a recording
    kQuit,         // the run ends before this frame
};
constexpr int kCommandKindCount = 11;

// A car's driving keys, in the key table's order.
enum class CarKey : uint8_t { kSteerLeft, kSteerRight, kFaster, kSlower };

enum class CommandSource : uint8_t {
    kPerson,     // a key, a pad, a script or a recording: the car is a person's again
    kAutopilot,  // the autopilot's own keys, which leave its car its own
};

constexpr int kWorldCarCount = 3;  // the cars commands name, 0 to 2 (sim/Simulation.cpp holds it to the scene's)
constexpr int kEveryCar = -1;

struct Command {
    long frame;  // applied before this frame's step; frames count from 1 as the world is built
    CommandKind kind;
    int car;     // kCarKey, kLift, kStopAndSpin, kUpright, kAutopilot
    CarKey key;  // kCarKey
    bool down;   // kCarKey, kLift, kStopAndSpin: held from down to up; kAutopilot: on
    CommandSource source;
};

// The command table. A command that changes the shared world goes to every machine of a shared run;
// one that changes only this machine's simulation (pause, step) is kept in recordings and is off in a
// shared run; the rest touch only what this machine shows or saves.
enum class CommandReach : uint8_t { kSharedWorld, kThisSimulation, kThisMachine };
struct CommandInfo {
    CommandKind kind;
    const char* name;
    CommandReach reach;
};
inline constexpr CommandInfo kCommandTable[kCommandKindCount] = {
    {CommandKind::kCarKey, "car key", CommandReach::kSharedWorld},
    {CommandKind::kLift, "lift", CommandReach::kSharedWorld},
    {CommandKind::kStopAndSpin, "stop and spin", CommandReach::kSharedWorld},
    {CommandKind::kUpright, "upright", CommandReach::kSharedWorld},
    {CommandKind::kAutopilot, "autopilot", CommandReach::kSharedWorld},
    {CommandKind::kPause, "pause", CommandReach::kThisSimulation},
    {CommandKind::kStep, "step", CommandReach::kThisSimulation},
    {CommandKind::kCamera, "camera", CommandReach::kThisMachine},
    {CommandKind::kPicture, "picture", CommandReach::kThisMachine},
    {CommandKind::kKeepRecording, "keep recording", CommandReach::kThisMachine},
    {CommandKind::kQuit, "quit", CommandReach::kThisMachine},
};
// Whether a recording keeps the command: what changes the simulation, as a person gave it.
inline bool IsRecorded(const Command& command)
{
    return command.source == CommandSource::kPerson &&
           kCommandTable[int(command.kind)].reach != CommandReach::kThisMachine;
}

// Into the world's queue, after every command already there for its frame or an earlier one. Only
// commands that change the world go here.
void QueueWorldCommand(const Command& command);
// The frame that a command arriving now acts on.
long NextCommandFrame();
// Does what the command says to the world, now: the frame applies queued commands through this.
void ApplyCommand(const Command& command);
// The world goes on after frame, as a restored one does: what was queued for that frame or before is
// dropped, and what was applied after it is no longer counted as applied.
void RestartCommandsAt(long frame);
// What the world has applied that a recording keeps, in order.
const std::vector<Command>& ReadRecordedCommands();
