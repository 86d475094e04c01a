// Key scripts and recordings: a run's commands as text, one a line.
//   FRAME down|up VK         a key, as the keyboard's keys become commands (Keyboard.h)
//   FRAME upright CAR|all    FRAME pause    FRAME step
//   FRAME autopilot CAR on|off   a shared run's car handed to the autopilot, or back
// '#' starts a comment; blank lines are allowed. A recording is a key script with a header before
// its first command: "kelvaron-recording FORMAT", then "physics", "gravity", "box-mass", "autopilot"
// and "frames" lines, which make the same run again wherever it is played. A clip, a recording of a
// run's last part, adds "from FRAME" and then "snapshot BASE64" lines: the world after that frame
// (sim/Snapshot.h), whose bytes the snapshot lines hold in turn; its commands come after that frame.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "record/KeyTable.h"
#include "sim/Commands.h"
#include "sim/PhysicsName.h"

// 2: a held key is one command, not the keyboard's repeats, and keeps its car from the autopilot.
constexpr int kRecordingFormat = 2;
// 3: a clip, with the world it starts from; its rules are format 2's. Older builds refuse it by number.
constexpr int kClipFormat = 3;
constexpr float kDefaultBoxMass = 0.02f;  // the settings' unless changed (app/Settings.h holds it to this)

struct RecordingHeader {
    std::string physics;  // ODE's version and the physics revision the run was made with
    float gravity = 0;    // the settings' gravity and box mass, as the run had them
    float boxMass = 0;
    bool autopilot = false;  // the autopilot drove cars left alone
    uint32_t seed = 1;       // the autopilot's seed, which the run started its generator with
    long frames = 0;         // frames the run lasted
    int format = kRecordingFormat;  // the rules the run was made under
    long from = 0;                  // a clip's first frame is the one after this
    std::vector<uint8_t> snapshot = {};  // a clip's world after frame `from`, as saved; empty: the run from its start
};

struct KeyScript {
    bool recorded = false;  // it has a header
    RecordingHeader header;
    std::vector<Command> commands;  // in frame order
};

// A script read a line at a time: a file's, or a shared run's as its ticks arrive. Commands gather
// in script.commands, which the reader's owner may empty as it takes them.
struct KeyScriptReader {
    KeyScript script;
    KeyboardState keyboard;  // the keys the script holds, as the live keyboard's are kept
    bool seen[8];            // header lines seen: physics, gravity, box-mass, autopilot, frames, the magic,
                             // from and snapshot
    std::string snapshotText;  // a clip's snapshot lines, joined
    bool commandsBegun;
    long line;               // lines read
};

// Reads the whole script. On a malformed line, or a recording this build cannot play the same, false
// with "line N: " and the reason in error.
bool ReadKeyScript(std::FILE* file, KeyScript& script, std::string& error);
// A fresh reader, at the script's first line.
void StartKeyScriptReader(KeyScriptReader& reader);
// One line, with or without its newline; false with "line N: " and the reason in error.
bool ReadKeyScriptLine(KeyScriptReader& reader, const char* line, std::string& error);
// Once every line is in: the header complete, the commands in frame order, none after a recording's
// last frame. False with the reason in error.
bool FinishKeyScript(KeyScriptReader& reader, std::string& error);
// A whole script from text, as ReadKeyScript reads a file.
bool ReadKeyScriptText(const std::string& text, KeyScript& script, std::string& error);
// The one command a key script's line makes from the words after its frame ("down 38", "upright 1"),
// as a tick's line or a relay's cmd says it; false unless it makes exactly one.
bool ReadCommandWords(const std::string& words, Command& command);
// Writes a recording; false when the file would not take it all.
bool WriteRecording(std::FILE* file, const RecordingHeader& header, const std::vector<Command>& commands);
