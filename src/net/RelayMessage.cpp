#include "net/RelayMessage.h"

#include <cstdlib>

#include "net/MessageWords.h"
#include "net/Protocol.h"

static bool ReadSeat(const std::string& word, int& seat)
{
    long value;
    if (word == std::to_string(kSpectator))
        seat = kSpectator;
    else if (ReadCount(word, value) && value < kSeatCount)
        seat = int(value);
    else
        return false;
    return true;
}

// A seed is any 32-bit number, more than a 32-bit long holds.
static bool ReadSeed(const std::string& word, uint32_t& seed)
{
    if (word.empty() || word.size() > 10 || word.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const unsigned long long value = std::strtoull(word.c_str(), nullptr, 10);
    seed = uint32_t(value);
    return value <= UINT32_MAX;
}

// Relays as the protocol names them, HOST:PORT each.
static bool ReadRelays(const std::vector<std::string>& words, size_t from, RelayMessage& m)
{
    for (size_t i = from; i < words.size(); ++i) {
        std::string host;
        int port;
        if (!ReadRelayWord(words[i], host, port))
            return false;
        m.relays.push_back(words[i]);
    }
    return true;
}

static bool ReadWelcome(const std::vector<std::string>& words, RelayMessage& m, std::string& why)
{
    why = "a welcome is welcome ROOM SEAT TICK SEED, and up to " + std::to_string(kMaxFleetNamed) + " relays HOST:PORT";
    if (words.size() < 5 || words.size() > size_t(5 + kMaxFleetNamed) || !IsRoomCode(words[1]) ||
        !ReadSeat(words[2], m.seat) || !ReadCount(words[3], m.tick) || !ReadSeed(words[4], m.seed) ||
        !ReadRelays(words, 5, m))
        return false;
    m.room = words[1];
    return true;
}

static bool ReadDelay(const std::vector<std::string>& words, RelayMessage& m, std::string& why)
{
    long delay;
    why = "a delay is " + std::to_string(kRollback) + " (the room rolls back), or " + std::to_string(kMinDelay) +
          " to " + std::to_string(kMaxDelay) + " ticks";
    if (words.size() != 2 || !ReadCount(words[1], delay) || (delay != kRollback && (delay < kMinDelay || delay > kMaxDelay)))
        return false;
    m.delay = int(delay);
    return true;
}

static bool ReadAhead(const std::vector<std::string>& words, RelayMessage& m, std::string& why)
{
    long ahead;
    why = "ahead is 1 to " + std::to_string(kMaxPrediction) + " ticks";
    if (words.size() != 2 || !ReadCount(words[1], ahead) || ahead < 1 || ahead > kMaxPrediction)
        return false;
    m.delay = int(ahead);
    return true;
}

// Every line after the first is one of the tick's commands, stamped with it.
static bool ReadTick(const std::vector<std::string>& words, const std::string& lines, RelayMessage& m, std::string& why)
{
    why = "a tick is tick T, counted from 1, and its commands' lines stamped T";
    if (words.size() != 2 || !ReadCount(words[1], m.tick) || m.tick < 1)
        return false;
    const std::string stamp = words[1] + " ";
    for (size_t from = 0; from < lines.size();) {
        size_t end = lines.find('\n', from);
        end = end == std::string::npos ? lines.size() : end;
        const std::string line = lines.substr(from, end - from);
        if (line.compare(0, stamp.size(), stamp) != 0 || !IsPrintableLine(line))
            return false;
        from = end + 1;
    }
    m.text = lines;
    return true;
}

static bool ReadDesync(const std::vector<std::string>& words, RelayMessage& m, std::string& why)
{
    why = "a desync is desync TICK SEAT..., naming one to " + std::to_string(kSeatCount) + " seats";
    if (words.size() < 3 || words.size() > size_t(kSeatCount) + 2 || !ReadCount(words[1], m.tick))
        return false;
    for (size_t i = 2; i < words.size(); ++i) {
        int seat;
        if (!ReadSeat(words[i], seat) || seat == kSpectator)
            return false;
        m.seats.push_back(seat);
    }
    return true;
}

// snapshot TICK HEX BASE64, or snapshot 0; the base64 is read as the world is restored.
static bool ReadSnapshot(const std::vector<std::string>& words, RelayMessage& m, std::string& why)
{
    why = "a snapshot is snapshot TICK HASH BASE64, or snapshot 0";
    if (words.size() == 2 && words[1] == "0")
        return true;
    if (words.size() != 4 || !ReadCount(words[1], m.tick) || m.tick < 1 || words[2].size() > 64 ||
        words[2].find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return false;
    m.hash = words[2];
    m.text = words[3];
    return true;
}

bool ReadRelayMessage(const std::string& text, RelayMessage& m, std::string& why)
{
    m = RelayMessage{};
    const size_t firstEnd = text.find('\n');
    const std::string first = text.substr(0, firstEnd);
    const std::string rest = firstEnd == std::string::npos ? "" : text.substr(firstEnd + 1);
    const std::vector<std::string> words = SplitMessageWords(first, 5 + kMaxFleetNamed);
    if (!IsPrintableLine(first) || words.empty()) {
        why = "not a message: a message's first line is words of printable characters";
        return false;
    }
    const std::string& verb = words[0];
    const bool oneLine = firstEnd == std::string::npos;
    if (verb == kTickWord) {
        m.kind = RelayMessageKind::kTick;
        return ReadTick(words, rest, m, why);
    }
    if (verb == kLogWord) {
        m.kind = RelayMessageKind::kLog;
        m.text = rest;
        why = "a log is the line log and the room's recording after it";
        return words.size() == 1 && !oneLine;
    }
    if (verb == kRefusedWord) {
        m.kind = RelayMessageKind::kRefused;
        const size_t blank = first.find(' ');
        m.text = blank == std::string::npos ? "" : first.substr(blank + 1);
        why = "a refusal is one line";
        return oneLine;
    }
    if (!oneLine) {
        why = "a " + verb + " is one line";
        return false;
    }
    if (verb == kWelcomeWord) {
        m.kind = RelayMessageKind::kWelcome;
        return ReadWelcome(words, m, why);
    }
    if (verb == kDelayWord) {
        m.kind = RelayMessageKind::kDelay;
        return ReadDelay(words, m, why);
    }
    if (verb == kAheadWord) {
        m.kind = RelayMessageKind::kAhead;
        return ReadAhead(words, m, why);
    }
    if (verb == kPingWord || verb == kPongWord) {
        m.kind = verb == kPingWord ? RelayMessageKind::kPing : RelayMessageKind::kPong;
        why = "a " + verb + " is " + verb + " N";
        return words.size() == 2 && ReadCount(words[1], m.number);
    }
    if (verb == kDesyncWord) {
        m.kind = RelayMessageKind::kDesync;
        return ReadDesync(words, m, why);
    }
    if (verb == kSnapshotWord) {
        m.kind = RelayMessageKind::kSnapshot;
        return ReadSnapshot(words, m, why);
    }
    if (verb == kOfferWord) {
        m.kind = RelayMessageKind::kOffer;
        why = "an offer is the word offer alone";
        return words.size() == 1;
    }
    if (verb == kMovedWord) {
        m.kind = RelayMessageKind::kMoved;
        why = "a move is moved HOST:PORT";
        return words.size() == 2 && ReadRelays(words, 1, m);
    }
    why = "no message of protocol " + std::to_string(kRelayProtocol);
    return false;
}
