#include "record/KeyScript.h"

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "record/Base64.h"
#include "record/KeyTable.h"

static const char kMagic[] = "kelvaron-recording";
constexpr long kMaxFrame = 1000000000L;
constexpr size_t kMaxSnapshotText = 1 << 20;  // some forty times a snapshot's, in base64
constexpr size_t kSnapshotLineBytes = 288;    // of the snapshot a line holds: 384 characters

template <typename Whole>
static bool ParseWhole(const char* word, long long min, long long max, Whole& value)
{
    char* end;
    errno = 0;
    long long read = std::strtoll(word, &end, 10);
    value = Whole(read);
    return *word && !*end && errno == 0 && read >= min && read <= max;
}

static bool ParseReal(const char* word, float& value)
{
    char* end;
    errno = 0;
    value = std::strtof(word, &end);
    return *word && !*end && errno == 0 && std::isfinite(value);
}

static bool ParseHeaderLine(KeyScriptReader& r, const char* const* words, int count, std::string& why)
{
    static const char* const kNames[] = {"physics", "gravity", "box-mass", "autopilot", "frames", kMagic, "from",
                                         "snapshot"};
    const char* const* name = std::find_if(std::begin(kNames), std::end(kNames),
                                           [&](const char* n) { return !std::strcmp(n, words[0]); });
    if (name == std::end(kNames)) {
        why = std::string("expected FRAME and a command, not '") + words[0] + "'";
        return false;
    }
    const int which = int(name - kNames);
    if (r.commandsBegun || (which != 5 && !r.seen[5])) {
        why = std::string("'") + words[0] + "' belongs in a recording's header, before its first command";
        return false;
    }
    if (r.seen[which] && which != 7) {
        why = std::string("a second '") + words[0] + "' line";
        return false;
    }
    if (which >= 6 && r.script.header.format < kClipFormat) {
        why = std::string("'") + words[0] + "' belongs to a clip, a recording of format " + std::to_string(kClipFormat);
        return false;
    }
    if (which == 7 && !r.seen[6]) {
        why = "a clip's snapshot lines follow its 'from' line";
        return false;
    }
    r.seen[which] = true;
    RecordingHeader& h = r.script.header;
    long long number;
    switch (which) {
    case 5:
        if (count != 2 || !ParseWhole(words[1], 1, 1000, number)) {
            why = "expected kelvaron-recording FORMAT";
            return false;
        }
        if (number > kClipFormat) {
            why = "the recording's format " + std::to_string(number) + " is newer than this build reads (" +
                  std::to_string(kClipFormat) + "); a newer Kelvaron plays it";
            return false;
        }
        r.script.recorded = true;
        h.format = int(number);
        return true;
    case 0:
        h.physics = count == 3 ? std::string(words[1]) + " " + words[2] : "";
        if (h.physics != DescribePhysics()) {
            why = "recorded with physics '" + (count == 3 ? h.physics : std::string("?")) + "', and this build's is '" +
                  DescribePhysics() + "': its world would not be the same run";
            return false;
        }
        return true;
    case 1:
    case 2:
        if (count != 2 || !ParseReal(words[1], which == 1 ? h.gravity : h.boxMass)) {
            why = std::string("expected ") + words[0] + " and a number";
            return false;
        }
        return true;
    case 3:
        if (count != 3 || (std::strcmp(words[1], "on") && std::strcmp(words[1], "off")) ||
            !ParseWhole(words[2], 1, 0xFFFFFFFFLL, number)) {
            why = "expected autopilot on|off SEED (a whole number from 1)";
            return false;
        }
        h.autopilot = words[1][1] == 'n';
        h.seed = uint32_t(number);
        return true;
    case 4:
        if (count != 2 || !ParseWhole(words[1], 0, kMaxFrame, h.frames)) {
            why = "expected frames and a whole number";
            return false;
        }
        return true;
    case 6:
        if (count != 2 || !ParseWhole(words[1], 1, kMaxFrame, h.from)) {
            why = "expected from and a frame, a whole number from 1";
            return false;
        }
        return true;
    default:
        if (count != 2 || r.snapshotText.size() + std::strlen(words[1]) > kMaxSnapshotText) {
            why = count != 2 ? "expected snapshot and its next base64 characters" : "far too long for a clip's snapshot";
            return false;
        }
        r.snapshotText += words[1];
        return true;
    }
}

// A command by name: "upright CAR|all", "pause", "step", "autopilot CAR on|off".
static bool ParseNamedCommand(const char* const* words, int count, Command& c, std::string& why)
{
    static const struct { const char* name; CommandKind kind; } kNamed[] = {
        {"upright", CommandKind::kUpright}, {"pause", CommandKind::kPause}, {"step", CommandKind::kStep},
        {"autopilot", CommandKind::kAutopilot}};
    for (const auto& n : kNamed) {
        if (std::strcmp(words[1], n.name))
            continue;
        c.kind = n.kind;
        c.car = kEveryCar;
        c.down = true;
        long car;
        if ((n.kind == CommandKind::kPause || n.kind == CommandKind::kStep) && count == 2)
            return true;
        if (n.kind == CommandKind::kUpright && count == 3 &&
            (!std::strcmp(words[2], "all") || ParseWhole(words[2], 0, kWorldCarCount - 1, car))) {
            c.car = std::strcmp(words[2], "all") ? int(car) : kEveryCar;
            return true;
        }
        if (n.kind == CommandKind::kAutopilot && count == 4 && ParseWhole(words[2], 0, kWorldCarCount - 1, car) &&
            (!std::strcmp(words[3], "on") || !std::strcmp(words[3], "off"))) {
            c.car = int(car);
            c.down = words[3][1] == 'n';
            return true;
        }
        why = n.kind == CommandKind::kUpright     ? "expected upright and a car, 0 to 2, or all"
              : n.kind == CommandKind::kAutopilot ? "expected autopilot, a car, 0 to 2, and on or off"
                                                  : std::string("nothing follows ") + n.name;
        return false;
    }
    why = std::string("expected down, up, upright, pause, step or autopilot, not '") + words[1] + "'";
    return false;
}

static bool ParseCommandLine(KeyScriptReader& r, const char* const* words, int count, std::string& why)
{
    long frame;
    if (!ParseWhole(words[0], 1, kMaxFrame, frame)) {
        why = std::string("bad frame number '") + words[0] + "' (a whole number from 1)";
        return false;
    }
    if (count < 2) {
        why = "expected a command after the frame";
        return false;
    }
    if (r.seen[5] && !(r.seen[0] && r.seen[1] && r.seen[2] && r.seen[3] && r.seen[4])) {
        why = "the recording's header lacks a line: it needs physics, gravity, box-mass, autopilot and frames";
        return false;
    }
    r.commandsBegun = true;
    Command c = {frame, CommandKind::kCamera, kEveryCar, CarKey::kSteerLeft, true, CommandSource::kPerson};
    const bool down = !std::strcmp(words[1], "down");
    if (down || !std::strcmp(words[1], "up")) {
        long vk;
        if (count != 3 || !ParseWhole(words[2], 0, 255, vk)) {
            why = count != 3 ? "expected FRAME down|up VK" : std::string("bad key code '") + words[2] +
                                                                 "' (a whole number from 0 to 255)";
            return false;
        }
        // Keys that end the run or save files mean nothing in a script: it drives and shows, and its
        // end is its last frame.
        if (TranslateKey(r.keyboard, unsigned(vk), down, frame, &c) && (IsRecorded(c) || c.kind == CommandKind::kCamera))
            r.script.commands.push_back(c);
        return true;
    }
    if (!ParseNamedCommand(words, count, c, why))
        return false;
    r.script.commands.push_back(c);
    return true;
}

static bool ParseLine(KeyScriptReader& r, char* line, std::string& why)
{
    if (char* hash = std::strchr(line, '#'))
        *hash = '\0';
    const char* words[4] = {};
    int count = 0;
    for (char* w = std::strtok(line, " \t\r\n"); w; w = std::strtok(nullptr, " \t\r\n"))
        if (count < 4)
            words[count++] = w;
        else
            count = 5;
    if (count == 0)
        return true;
    if (count > 4 || (count == 4 && std::strcmp(words[1], "autopilot"))) {
        why = "too many words";
        return false;
    }
    if (*words[0] >= '0' && *words[0] <= '9')
        return ParseCommandLine(r, words, count, why);
    return ParseHeaderLine(r, words, count, why);
}

void StartKeyScriptReader(KeyScriptReader& r)
{
    r = KeyScriptReader{};
}

constexpr size_t kMaxLineBytes = 511;

bool ReadKeyScriptLine(KeyScriptReader& r, const char* line, std::string& error)
{
    char copy[kMaxLineBytes + 2];
    const size_t length = std::strlen(line);
    ++r.line;
    std::string why = "too long";
    if (length <= kMaxLineBytes + (length && line[length - 1] == '\n')) {
        std::memcpy(copy, line, length + 1);
        if (ParseLine(r, copy, why))
            return true;
    }
    error = "line " + std::to_string(r.line) + ": " + why;
    return false;
}

// A clip's header: its snapshot's bytes, and where it starts among its frames and commands.
static bool FinishClip(KeyScriptReader& r, std::string& error)
{
    RecordingHeader& h = r.script.header;
    if (!r.seen[6])
        return true;
    const long from = h.from;
    if (!r.seen[7])
        error = "the clip's header lacks its snapshot lines, the world it starts from";
    else if (!DecodeBase64(r.snapshotText, h.snapshot))
        error = "the clip's snapshot lines are not base64: it is damaged";
    else if (from > h.frames)
        error = "the clip starts after frame " + std::to_string(from) + ", past its " + std::to_string(h.frames) + " frames";
    else if (!r.script.commands.empty() && r.script.commands.front().frame <= from)
        error = "a command at frame " + std::to_string(r.script.commands.front().frame) +
                ", before the clip's start after frame " + std::to_string(from);
    else
        return true;
    return false;
}

bool FinishKeyScript(KeyScriptReader& r, std::string& error)
{
    KeyScript& script = r.script;
    if (script.recorded && !(r.seen[0] && r.seen[1] && r.seen[2] && r.seen[3] && r.seen[4])) {
        error = "the recording's header lacks a line: it needs physics, gravity, box-mass, autopilot and frames";
        return false;
    }
    std::stable_sort(script.commands.begin(), script.commands.end(),
                     [](const Command& a, const Command& b) { return a.frame < b.frame; });
    if (script.recorded && !script.commands.empty() && script.commands.back().frame > script.header.frames) {
        error = "a command at frame " + std::to_string(script.commands.back().frame) + ", after the recording's " +
                std::to_string(script.header.frames) + " frames";
        return false;
    }
    return FinishClip(r, error);
}

bool ReadKeyScript(std::FILE* file, KeyScript& script, std::string& error)
{
    KeyScriptReader r;
    StartKeyScriptReader(r);
    char line[kMaxLineBytes + 1];
    while (std::fgets(line, sizeof line, file)) {
        if (!std::strchr(line, '\n') && !std::feof(file)) {
            error = "line " + std::to_string(r.line + 1) + ": too long";
            return false;
        }
        if (!ReadKeyScriptLine(r, line, error))
            return false;
    }
    if (std::ferror(file)) {
        error = "line " + std::to_string(r.line + 1) + ": " + std::strerror(errno);
        return false;
    }
    if (!FinishKeyScript(r, error))
        return false;
    script = std::move(r.script);
    return true;
}

bool ReadKeyScriptText(const std::string& text, KeyScript& script, std::string& error)
{
    KeyScriptReader r;
    StartKeyScriptReader(r);
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        if (!ReadKeyScriptLine(r, text.substr(start, end - start).c_str(), error))
            return false;
        start = end;
    }
    if (!FinishKeyScript(r, error))
        return false;
    script = std::move(r.script);
    return true;
}

bool ReadCommandWords(const std::string& words, Command& command)
{
    KeyScript script;
    std::string error;
    if (!ReadKeyScriptText("1 " + words + "\n", script, error) || script.recorded || script.commands.size() != 1)
        return false;
    command = script.commands[0];
    return true;
}

static void WriteCommand(std::FILE* file, const Command& c)
{
    const int vk = FindCommandKey(c);
    if (vk >= 0)
        std::fprintf(file, "%ld %s %d\n", c.frame, c.down ? "down" : "up", vk);
    else if (c.kind == CommandKind::kUpright && c.car == kEveryCar)
        std::fprintf(file, "%ld upright all\n", c.frame);
    else if (c.kind == CommandKind::kUpright)
        std::fprintf(file, "%ld upright %d\n", c.frame, c.car);
    else if (c.kind == CommandKind::kAutopilot)
        std::fprintf(file, "%ld autopilot %d %s\n", c.frame, c.car, c.down ? "on" : "off");
    else
        std::fprintf(file, "%ld %s\n", c.frame, kCommandTable[int(c.kind)].name);
}

bool WriteRecording(std::FILE* file, const RecordingHeader& header, const std::vector<Command>& commands)
{
    std::fprintf(file,
                 "# Kelvaron's recording of a run: kelvaron --play FILE shows it again,\n"
                 "# kelvaron-replay --script FILE --hash prints its state hashes.\n"
                 "%s %d\nphysics %s\ngravity %.9g\nbox-mass %.9g\nautopilot %s %" PRIu32 "\nframes %ld\n",
                 kMagic, header.format, header.physics.c_str(), header.gravity, header.boxMass,
                 header.autopilot ? "on" : "off", header.seed, header.frames);
    if (!header.snapshot.empty())
        std::fprintf(file, "from %ld\n", header.from);
    for (size_t at = 0; at < header.snapshot.size(); at += kSnapshotLineBytes) {
        const size_t size = std::min(kSnapshotLineBytes, header.snapshot.size() - at);
        std::fprintf(file, "snapshot %s\n", EncodeBase64(header.snapshot.data() + at, size).c_str());
    }
    for (const Command& c : commands)
        WriteCommand(file, c);
    return std::fflush(file) == 0 && !std::ferror(file);
}
