// Every input as data: a command stamped with the frame it acts on. The keyboard, the pads, the
// autopilot, key scripts and recordings all make commands; each frame applies its own, in the order
// they came, before its step, and nothing else changes the simulation. Commands.cpp owns the queue,
// the frame count and the quit flag; Input.cpp says what each command does.
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

// Written in Commands.cpp alone.
extern long gFramesRun;      // frames run since the world was built; what arrives now acts on the next
extern bool gQuitRequested;  // the run ends before its next frame

// A new run: nothing queued, no frame run, nothing recorded, no quit.
void StartCommands();
// The run goes on after frame, as a restored world does: what was queued for it or before is
// dropped, and what was recorded after it too.
void RestartCommandsAt(long frame);
// Into the queue, after every command already there for its frame or an earlier one.
void QueueCommand(const Command& command);
// From a person at this machine, for the next frame. While a playback drives the run, only what
// touches this machine alone is taken: the rest would make another run than the one played. In a
// shared run what changes the shared world goes to the relay, and pause and step are off.
void QueueLiveCommand(Command command);
// The frame that a command arriving now acts on.
long NextCommandFrame();
// Applies the starting frame's commands (and any that came late), in order, and counts the frame;
// false, with the frame not counted, when they end the run.
bool ApplyFrameCommands();
// While no frame may run (a shared run waiting for the relay's next tick, or left by it), applies
// the commands due that touch only this machine, the camera, a picture, Escape, and takes them out
// of the queue: the window stays in the person's hands. False when they end the run.
bool ApplyThisMachineCommands();
// Ends the run before its next frame: a closed window, a mouse moved, Escape.
void RequestQuit();
// What this run has applied that a recording keeps, in order.
const std::vector<Command>& ReadRecordedCommands();
