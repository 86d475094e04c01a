#include "relay/Room.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "net/MessageWords.h"
#include "record/KeyScript.h"
#include "record/KeyTable.h"

using std::chrono::duration;
using std::chrono::nanoseconds;
using std::chrono::seconds;

constexpr size_t kRoundTripsKept = 5;
constexpr long kHashTicksKept = 3000;

std::string MakeRoomCode()
{
    std::random_device random;
    std::string code;
    static const char kHex[] = "0123456789abcdef";
    for (int bits = 0; bits < kCodeBits; bits += 4)
        code += kHex[random() & 15];
    return code;
}

uint32_t MakeRoomSeed()
{
    std::random_device random;
    uint32_t seed = 0;
    while (seed == 0)
        seed = uint32_t(random());
    return seed;
}

Room OpenRoom(const std::string& code, uint32_t seed, RelayTime now, int leastDelay)
{
    Room room{};
    room.code = code;
    room.seed = seed;
    room.start = now;
    room.delay = room.leastDelay = leastDelay;
    room.emptySince = now;
    return room;
}

Room ResumeRoom(const std::string& code, uint32_t seed, RelayTime now, int leastDelay, long tick, const std::string& log)
{
    Room room = OpenRoom(code, seed, now - nanoseconds(tick * 1000000000LL / kTickRate), leastDelay);
    room.tick = tick;
    room.log = log;
    room.emptySince = now;
    for (size_t from = 0; from < log.size();) {
        size_t end = log.find('\n', from);
        end = end == std::string::npos ? log.size() : end;
        const size_t blank = log.find(' ', from);
        Command c;
        if (blank < end && ReadCommandWords(log.substr(blank + 1, end - blank - 1), c) && c.car >= 0 && c.car < kSeatCount) {
            room.seats[c.car].held = true;
            if (c.kind == CommandKind::kAutopilot)
                room.seats[c.car].autopilot = c.down;
        }
        from = end + 1;
    }
    for (Seat& s : room.seats)
        s.lastHeard = now;
    return room;
}

RelayTime FindTickTime(const Room& room, long n)
{
    return room.start + nanoseconds(n * 1000000000LL / kTickRate);
}

static RoomClient* FindClient(Room& room, long client)
{
    auto found = std::find_if(room.clients.begin(), room.clients.end(), [&](const RoomClient& c) { return c.id == client; });
    return found == room.clients.end() ? nullptr : &*found;
}

static void AddTickLine(Room& room, long tick, const std::string& text)
{
    room.pending[tick].push_back(std::to_string(tick) + " " + text);
}

static void HandSeat(Room& room, int seat, bool toAutopilot)
{
    room.seats[seat].autopilot = toAutopilot;
    AddTickLine(room, room.tick + 1, "autopilot " + std::to_string(seat) + (toAutopilot ? " on" : " off"));
}

// The person at a seat is heard: their car is theirs again.
static void HearSeat(Room& room, int seat, RelayTime now)
{
    if (seat == kSpectator)
        return;
    room.seats[seat].lastHeard = now;
    if (room.seats[seat].autopilot)
        HandSeat(room, seat, false);
}

// Seats a spectator in wantedSeat if it is free (or -1 for any), else in the first seat no one has
// held; its seat, or kSpectator when there is none.
static int SeatClient(Room& room, RoomClient& client, int wantedSeat, RelayTime now)
{
    int seat = kSpectator;
    if (wantedSeat >= 0 && wantedSeat < kSeatCount && room.seats[wantedSeat].client == 0)
        seat = wantedSeat;
    for (int s = 0; s < kSeatCount && seat == kSpectator; ++s)
        if (!room.seats[s].held)
            seat = s;
    if (seat != kSpectator) {
        client.seat = seat;
        room.seats[seat].client = client.id;
        room.seats[seat].held = true;
        HearSeat(room, seat, now);
    }
    return seat;
}

static void Welcome(const Room& room, long client, int seat, std::vector<Outgoing>& out)
{
    out.push_back({client, std::string(kWelcomeWord) + " " + room.code + " " + std::to_string(seat) + " " + std::to_string(room.tick) + " " +
                               std::to_string(room.seed) + room.relays, false});
}

int JoinRoom(Room& room, long client, int wantedSeat, bool watching, RelayTime now, std::vector<Outgoing>& out)
{
    room.clients.push_back({client, kSpectator, now, 0, 0, now, true, {}, 0, false, 0, false});
    const int seat = watching ? kSpectator : SeatClient(room, room.clients.back(), wantedSeat, now);
    Welcome(room, client, seat, out);
    out.push_back({client, std::string(kDelayWord) + " " + std::to_string(room.delay), false});
    return seat;
}

void LeaveRoom(Room& room, long client, RelayTime now)
{
    for (Seat& s : room.seats)
        if (s.client == client)
            s.client = 0;
    room.clients.erase(std::remove_if(room.clients.begin(), room.clients.end(), [&](const RoomClient& c) { return c.id == client; }),
                       room.clients.end());
    if (room.clients.empty())
        room.emptySince = now;
}

// A seat's own car's command that changes the shared world, as the line the relay broadcasts. The
// autopilot's hand-overs are the relay's alone.
static bool TakeSeatCommand(const std::vector<std::string>& words, int seat, std::string& line)
{
    std::string joined;
    for (size_t i = 2; i < words.size(); ++i)
        joined += (i > 2 ? " " : "") + words[i];
    Command c;
    if (words.size() < 3 || !ReadCommandWords(joined, c) || kCommandTable[int(c.kind)].reach != CommandReach::kSharedWorld ||
        c.kind == CommandKind::kAutopilot || c.car != seat)
        return false;
    const int key = FindCommandKey(c);
    line = key >= 0 ? std::string(c.down ? "down " : "up ") + std::to_string(key) : "upright " + std::to_string(c.car);
    return true;
}

// The seats whose hash differs from the one most seats have; every seat that sent one when no hash
// has most.
static std::string FindDifferingSeats(const SeatHashes& h)
{
    int best = -1, bestCount = 0;
    bool tie = false;
    for (int s = 0; s < kSeatCount; ++s) {
        if (h.hex[s].empty())
            continue;
        const int count = int(std::count(h.hex.begin(), h.hex.end(), h.hex[s]));
        if (count > bestCount) {
            best = s, bestCount = count, tie = false;
        } else if (count == bestCount && h.hex[s] != h.hex[best]) {
            tie = true;
        }
    }
    std::string seats;
    for (int s = 0; s < kSeatCount; ++s)
        if (!h.hex[s].empty() && (tie || h.hex[s] != h.hex[best]))
            seats += " " + std::to_string(s);
    return seats;
}

// What a message asks, taken; or not: ignored when it may come from a well-behaved client (a hash for
// a tick no longer compared, a command once the log is full, a pong that was overtaken), or refused,
// with the reason the connection is closed for.
enum class Taking { kTaken, kIgnored, kRefused };

static Taking TakeHash(Room& room, int seat, const std::vector<std::string>& words, std::vector<Outgoing>& out,
                       std::string& why)
{
    long tick;
    if (words.size() != 3 || !ReadCount(words[1], tick) || tick < 1 || words[2].size() > 64 ||
        !std::all_of(words[2].begin(), words[2].end(), [](char c) { return std::isxdigit((unsigned char)c); })) {
        why = "expected hash TICK HEX";
        return Taking::kRefused;
    }
    if (tick > room.tick) {
        why = "a hash for tick " + words[1] + ", which has not been";
        return Taking::kRefused;
    }
    if (seat == kSpectator || tick <= room.tick - kHashTicksKept)
        return Taking::kIgnored;
    SeatHashes& h = room.hashes[tick];
    h.hex[seat] = words[2];
    const std::string seats = FindDifferingSeats(h);
    if (!seats.empty() && seats != h.reported) {
        h.reported = seats;
        std::fprintf(stderr, "kelvaron-relay: room %s: desync at tick %ld: seat%s differs\n", room.code.c_str(), tick,
                     seats.c_str());
        out.push_back({kEveryClient, std::string(kDesyncWord) + " " + std::to_string(tick) + seats, false});
    }
    while (!room.hashes.empty() && room.hashes.begin()->first <= room.tick - kHashTicksKept)
        room.hashes.erase(room.hashes.begin());
    return Taking::kTaken;
}

static double FindMedian(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// The delay that lets a command stamped on receiving a tick arrive before its tick is broadcast:
// the round trip in ticks, and two to spare.
static int FitDelay(const Room& room, double roundTrip)
{
    return std::clamp(int(std::ceil(roundTrip * kTickRate)) + 2, room.leastDelay, kMaxDelay);
}

// The delay follows the seats' median round trip, with half a tick of hysteresis going down, so
// that it holds steady rather than chasing every measurement. A room that rolls back has none.
static void SetDelay(Room& room, std::vector<Outgoing>& out)
{
    if (room.leastDelay == kRollback)
        return;
    std::vector<double> trips;
    for (const RoomClient& c : room.clients)
        if (c.seat != kSpectator)
            trips.insert(trips.end(), c.roundTrips.begin(), c.roundTrips.end());
    if (trips.empty())
        return;
    const double median = FindMedian(trips);
    int delay = room.delay;
    if (FitDelay(room, median) > delay)
        delay = FitDelay(room, median);
    else if (FitDelay(room, median + 0.5 / kTickRate) < delay)
        delay = FitDelay(room, median + 0.5 / kTickRate);
    if (delay != room.delay) {
        room.delay = delay;
        out.push_back({kEveryClient, std::string(kDelayWord) + " " + std::to_string(delay), false});
    }
}

// In a rollback room, how far past the last tick a client runs: its median round trip in ticks, and
// one to spare, with the delay's half tick of hysteresis going down.
static void SetAhead(RoomClient& client, std::vector<Outgoing>& out)
{
    const auto fit = [](double roundTrip) {
        return std::clamp(int(std::ceil(roundTrip * kTickRate)) + 1, 1, int(kMaxPrediction));
    };
    const double median = FindMedian(client.roundTrips);
    int ahead = client.ahead ? client.ahead : kDefaultAhead;
    if (fit(median) > ahead)
        ahead = fit(median);
    else if (fit(median + 0.5 / kTickRate) < ahead)
        ahead = fit(median + 0.5 / kTickRate);
    if (ahead != client.ahead) {
        client.ahead = ahead;
        out.push_back({client.id, std::string(kAheadWord) + " " + std::to_string(ahead), false});
    }
}

static Taking TakeCommand(Room& room, const RoomClient& client, const std::vector<std::string>& words, std::string& why)
{
    long number;
    std::string line;
    if (words.size() < 3 || !ReadCount(words[1], number)) {
        why = "expected cmd TICK COMMAND";
        return Taking::kRefused;
    }
    if (client.seat == kSpectator) {
        why = "a spectator's commands are not taken";
        return Taking::kRefused;
    }
    if (number > room.tick + kMaxTicksAhead || number < room.tick - kMaxTicksAhead) {
        why = "a command for tick " + words[1] + ", " + std::to_string(kMaxTicksAhead) + " ticks or more from the room's " +
              std::to_string(room.tick);
        return Taking::kRefused;
    }
    if (!TakeSeatCommand(words, client.seat, line)) {
        why = "not a command of seat " + std::to_string(client.seat) + "'s own car";
        return Taking::kRefused;
    }
    if (long(room.log.size()) > kMaxLogBytes)
        return Taking::kIgnored;
    // Late: the next tick not broadcast yet, after what is there, so that no one waits and the seat's
    // keys keep their order. The relay's order stands; in a rollback room the sender's world, which
    // ran it at its own tick, winds back when the tick comes without it.
    room.moved += number <= room.tick;
    AddTickLine(room, std::max(number, room.tick + 1), line);
    return Taking::kTaken;
}

// The hash most seats sent for tick; empty when none did, or as many sent another.
static std::string FindAgreedHash(const Room& room, long tick)
{
    auto found = room.hashes.find(tick);
    if (found == room.hashes.end())
        return "";
    const SeatHashes& h = found->second;
    const std::string differing = FindDifferingSeats(h) + " ";
    for (int s = 0; s < kSeatCount; ++s)
        if (!h.hex[s].empty() && differing.find(" " + std::to_string(s) + " ") == std::string::npos)
            return h.hex[s];
    return "";
}

// Each client waiting for a snapshot gets the kept world, if it is fresh, vouched for by the seats'
// hashes and from a seat it has not had one from; else a seat it has not tried is asked for its
// world, one seat at a time, and answers them all; with no seat left to ask, it gets none and takes
// the whole log.
static void ServeSnapshots(Room& room, RelayTime now, std::vector<Outgoing>& out)
{
    const RoomClient* asked = room.offerAsked ? FindClient(room, room.offerAsked) : nullptr;
    if (room.offerAsked && (!asked || now - room.offerAskedAt >= seconds(kSilentSeconds))) {
        for (RoomClient& c : room.clients)  // gone or silent: as if it had none
            if (c.wantsSnapshot)
                c.seatsTried |= 1u << room.offerSeat;
        room.offerAsked = 0;
    }
    KeptSnapshot& kept = room.snapshot;
    const std::string hash = kept.tick ? FindAgreedHash(room, kept.tick) : "";
    if (kept.tick && (hash.empty() || kept.tick + kFreshSnapshotTicks < room.tick))
        kept = KeptSnapshot{};
    for (RoomClient& c : room.clients) {
        if (!c.wantsSnapshot)
            continue;
        if (kept.tick && !(c.seatsTried & 1u << kept.seat)) {
            out.push_back({c.id, std::string(kSnapshotWord) + " " + std::to_string(kept.tick) + " " + hash + " " + kept.base64,
                           false});
            c.seatsTried |= 1u << kept.seat;
            c.wantsSnapshot = false;
            continue;
        }
        if (room.offerAsked)
            continue;  // its offer answers this client too
        int seat = 0;
        while (seat < kSeatCount && (room.seats[seat].client == 0 || room.seats[seat].client == c.id || c.seatsTried & 1u << seat))
            ++seat;
        if (seat == kSeatCount) {
            out.push_back({c.id, std::string(kSnapshotWord) + " 0", false});
            c.wantsSnapshot = false;
            continue;
        }
        RoomClient* offering = FindClient(room, room.seats[seat].client);
        offering->mayOffer = true;
        room.offerAsked = offering->id;
        room.offerSeat = seat;
        room.offerAskedAt = now;
        out.push_back({offering->id, kOfferWord, false});
    }
}

static bool IsBase64(const std::string& text)
{
    return !text.empty() && text.size() % 4 == 0 &&
           std::all_of(text.begin(), text.end(), [](char c) { return std::isalnum((unsigned char)c) || c == '+' || c == '/' || c == '='; });
}

// A seat's world, asked for: kept, for those waiting and those to come. What it holds is the joining
// client's to check; the relay only sees that it is of a tick the seats have hashed, in base64.
static Taking TakeOffer(Room& room, RoomClient& client, const std::vector<std::string>& words, RelayTime now,
                        std::vector<Outgoing>& out, std::string& why)
{
    long tick = -1;
    if (!client.mayOffer || client.seat == kSpectator) {
        why = "an offer the relay did not ask for";
        return Taking::kRefused;
    }
    if (!(words.size() == 2 && words[1] == "0") &&
        !(words.size() == 3 && ReadCount(words[1], tick) && tick >= 1 && tick <= room.tick && IsBase64(words[2]))) {
        why = "expected offer TICK BASE64, or offer 0";
        return Taking::kRefused;
    }
    client.mayOffer = false;
    if (room.offerAsked == client.id)
        room.offerAsked = 0;
    if (tick > 0)
        room.snapshot = {tick, client.seat, words[2]};
    else
        for (RoomClient& c : room.clients)
            if (c.wantsSnapshot)
                c.seatsTried |= 1u << client.seat;
    ServeSnapshots(room, now, out);
    return Taking::kTaken;
}

// What the client's message asks.
static Taking TakeWords(Room& room, RoomClient& client, const std::vector<std::string>& words, RelayTime now,
                        std::vector<Outgoing>& out, std::string& why)
{
    const std::string& verb = words[0];
    long number;
    if (verb == kCommandWord)
        return TakeCommand(room, client, words, why);
    if (verb == kPingWord && words.size() == 2 && ReadCount(words[1], number)) {
        out.push_back({client.id, std::string(kPongWord) + " " + words[1], false});
        return Taking::kTaken;
    }
    if (verb == kPongWord && words.size() == 2 && ReadCount(words[1], number)) {
        if (number != client.pingNumber || client.pingAnswered)
            return Taking::kIgnored;
        client.pingAnswered = true;
        client.roundTrips.push_back(duration<double>(now - client.pingSent).count());
        if (client.roundTrips.size() > kRoundTripsKept)
            client.roundTrips.erase(client.roundTrips.begin());
        SetDelay(room, out);
        if (room.leastDelay == kRollback)
            SetAhead(client, out);
        return Taking::kTaken;
    }
    if (verb == kHashWord)
        return TakeHash(room, client.seat, words, out, why);
    if (verb == kSitWord && words.size() == 2) {
        const int wanted = words[1] == "-1" ? kSpectator : words[1].size() == 1 ? words[1][0] - '0' : kSeatCount;
        if (wanted < kSpectator || wanted >= kSeatCount) {
            why = "expected sit SEAT, -1 to " + std::to_string(kSeatCount - 1);
            return Taking::kRefused;
        }
        Welcome(room, client.id, client.seat == kSpectator ? SeatClient(room, client, wanted, now) : client.seat, out);
        return Taking::kTaken;
    }
    if (verb == kLogWord && (words.size() == 1 || (words.size() == 2 && ReadCount(words[1], number) && number <= room.tick))) {
        out.push_back({client.id, std::string(kLogWord) + "\n" + WriteRoomRecording(room, words.size() == 2 ? number : 0), false});
        return Taking::kTaken;
    }
    if (verb == kSnapshotWord && words.size() == 1) {
        client.wantsSnapshot = true;
        ServeSnapshots(room, now, out);
        return Taking::kTaken;
    }
    if (verb == kOfferWord)
        return TakeOffer(room, client, words, now, out, why);
    if (verb == kWrongWord && words.size() == 2 && ReadCount(words[1], number)) {
        const KeptSnapshot& kept = room.snapshot;
        if (kept.tick == 0 || kept.tick != number || !(client.seatsTried & 1u << kept.seat))
            return Taking::kIgnored;
        std::fprintf(stderr, "kelvaron-relay: room %s: seat %d's world of tick %ld is not the room's, a client found\n",
                     room.code.c_str(), kept.seat, kept.tick);
        room.snapshot = KeptSnapshot{};
        return Taking::kTaken;
    }
    why = "a message the relay does not know";
    return Taking::kRefused;
}

void TakeClientMessage(Room& room, long id, const std::string& text, RelayTime now, std::vector<Outgoing>& out)
{
    RoomClient* client = FindClient(room, id);
    if (!client)
        return;
    if (now - client->windowStart >= seconds(1)) {
        client->windowStart = now;
        client->messagesInWindow = 0;
    }
    if (++client->messagesInWindow > kMaxMessagesPerSecond) {
        out.push_back({id, "more than " + std::to_string(kMaxMessagesPerSecond) + " messages a second", true});
        return;
    }
    HearSeat(room, client->seat, now);
    const bool offer = text.compare(0, sizeof kOfferWord, std::string(kOfferWord) + " ") == 0;
    if (text.size() > size_t(kMaxMessageBytes) && !(offer && client->mayOffer)) {
        out.push_back({id, "a message over " + std::to_string(kMaxMessageBytes) + " bytes", true});
        return;
    }
    // One line of printable words: a message that would smuggle a second line into a tick is not one.
    const std::vector<std::string> words = IsPrintableLine(text) ? SplitMessageWords(text, 4) : std::vector<std::string>{};
    std::string why = "a message the relay does not know";
    const Taking taken = words.empty() || words.size() > 4 ? Taking::kRefused : TakeWords(room, *client, words, now, out, why);
    if (taken == Taking::kIgnored)
        ++room.ignored;
    if (taken == Taking::kRefused)
        out.push_back({id, why + ": '" + QuoteMessage(text) + "'", true});
}

static void BroadcastTick(Room& room, std::vector<Outgoing>& out)
{
    const long tick = ++room.tick;
    std::string message = std::string(kTickWord) + " " + std::to_string(tick);
    auto lines = room.pending.find(tick);
    if (lines != room.pending.end()) {
        for (const std::string& line : lines->second) {
            message += "\n" + line;
            room.log += line + "\n";
        }
        room.pending.erase(lines);
    }
    out.push_back({kEveryClient, std::move(message), false});
}

void RunRoom(Room& room, RelayTime now, std::vector<Outgoing>& out, TickLateness& lateness)
{
    for (int s = 0; s < kSeatCount; ++s)
        if (room.seats[s].held && !room.seats[s].autopilot && now - room.seats[s].lastHeard >= seconds(kSilentSeconds))
            HandSeat(room, s, true);
    for (RoomClient& c : room.clients)
        if (now - c.pingSent >= seconds(1)) {
            c.pingSent = now;
            c.pingAnswered = false;
            out.push_back({c.id, "ping " + std::to_string(++c.pingNumber), false});
        }
    while (FindTickTime(room, room.tick + 1) <= now) {
        CountLateness(lateness, duration<double>(now - FindTickTime(room, room.tick + 1)).count());
        BroadcastTick(room, out);
    }
    if (room.offerAsked)
        ServeSnapshots(room, now, out);
}

bool IsRoomOver(const Room& room, RelayTime now)
{
    return room.clients.empty() && now - room.emptySince >= seconds(kEmptyRoomSeconds);
}

// Where the log's lines after tick begin: its lines go in the order of their ticks.
static size_t FindLogLinesAfter(const std::string& log, long tick)
{
    size_t low = 0, high = log.size();  // each a line's start, or the end
    while (low < high) {
        const size_t middle = low + (high - low) / 2;
        const size_t start = middle == 0 ? 0 : log.rfind('\n', middle - 1) + 1;  // npos + 1 is 0
        const size_t end = log.find('\n', start);
        if (std::atol(log.c_str() + start) <= tick)
            low = end == std::string::npos ? log.size() : end + 1;
        else
            high = start;
    }
    return low;
}

std::string WriteRoomRecording(const Room& room, long afterTick)
{
    const RecordingHeader header = {DescribePhysics(), kWorldFall, kDefaultBoxMass, false, room.seed,
                                    room.tick};
    char* data = nullptr;
    size_t size = 0;
    std::FILE* file = open_memstream(&data, &size);
    if (!file)
        return "";
    WriteRecording(file, header, {});
    std::fclose(file);
    std::string text(data, size);
    std::free(data);
    return text + room.log.substr(afterTick ? FindLogLinesAfter(room.log, afterTick) : 0);
}
