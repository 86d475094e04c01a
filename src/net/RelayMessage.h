// What a relay sends a client, read into a record: the client's counterpart of the relay's reader of
// what clients send (relay/Room.cpp). It is text from the network, so anything may come; what is not
// a message of the protocol is refused with the reason.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

enum class RelayMessageKind { kWelcome, kDelay, kAhead, kTick, kPing, kPong, kDesync, kLog, kRefused, kSnapshot, kOffer, kMoved };

struct RelayMessage {
    RelayMessageKind kind;
    std::string room;        // welcome: the room's code
    int seat;                // welcome: 0 to kSeatCount - 1, or kSpectator
    long tick;               // welcome: the room's last tick; tick, desync and snapshot: theirs (snapshot: 0 for none)
    std::string hash;        // snapshot: the state hash most seats sent for its tick, in hexadecimal
    uint32_t seed;           // welcome: the autopilot's seed
    int delay;               // delay: kMinDelay to kMaxDelay, or kRollback; ahead: 1 to kMaxPrediction
    long number;             // ping and pong
    std::vector<int> seats;  // desync: the seats that differ, one or more
    std::vector<std::string> relays;  // welcome: the fleet's, HOST:PORT each, if any; moved: the one
    std::string text;        // tick: its lines, each stamped with the tick; log: the recording;
                             // refused: the reason; snapshot: the world, in base64
};

// One message; false with why it is not one, in words that read after "the relay sent 'MESSAGE': ".
bool ReadRelayMessage(const std::string& text, RelayMessage& message, std::string& why);
