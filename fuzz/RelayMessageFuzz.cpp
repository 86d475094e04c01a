// The client's reader of what a relay sends, on any run of messages (each ending at a 0 byte): each is
// read or refused with why, and what is read is within the protocol, whatever came.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/MessageWords.h"
#include "net/Protocol.h"
#include "net/RelayMessage.h"

// Every line of a tick's text is stamped with its tick.
static bool AreStamped(const std::string& lines, long tick)
{
    for (size_t from = 0; from < lines.size();) {
        size_t end = lines.find('\n', from);
        end = end == std::string::npos ? lines.size() : end;
        char* after;
        if (std::strtol(lines.c_str() + from, &after, 10) != tick || *after != ' ' || after > lines.c_str() + end)
            return false;
        from = end + 1;
    }
    return true;
}

// Relays named as HOST:PORT, a port from 1 to 65535.
static bool AreRelays(const std::vector<std::string>& relays)
{
    std::string host;
    int port;
    for (const std::string& r : relays)
        if (!ReadRelayWord(r, host, port) || port < 1 || port > 65535 || !IsPrintableLine(host))
            return false;
    return true;
}

static bool IsWithinProtocol(const RelayMessage& m)
{
    switch (m.kind) {
    case RelayMessageKind::kWelcome:
        return IsRoomCode(m.room) && m.seat >= kSpectator && m.seat < kSeatCount && m.tick >= 0 &&
               m.relays.size() <= size_t(kMaxFleetNamed) && AreRelays(m.relays);
    case RelayMessageKind::kMoved:
        return m.relays.size() == 1 && AreRelays(m.relays);
    case RelayMessageKind::kDelay:
        return m.delay == kRollback || (m.delay >= kMinDelay && m.delay <= kMaxDelay);
    case RelayMessageKind::kAhead:
        return m.delay >= 1 && m.delay <= kMaxPrediction;
    case RelayMessageKind::kTick:
        return m.tick >= 1 && AreStamped(m.text, m.tick);
    case RelayMessageKind::kDesync:
        for (int seat : m.seats)
            if (seat < 0 || seat >= kSeatCount)
                return false;
        return m.tick >= 0 && !m.seats.empty() && m.seats.size() <= size_t(kSeatCount);
    case RelayMessageKind::kPing:
    case RelayMessageKind::kPong:
        return m.number >= 0;
    case RelayMessageKind::kRefused:
        return IsPrintableLine(m.text);
    case RelayMessageKind::kLog:
    case RelayMessageKind::kOffer:
        return true;
    case RelayMessageKind::kSnapshot:  // none (tick 0), or a tick's world with the seats' hash
        return m.tick == 0 ? m.hash.empty() && m.text.empty()
                           : m.tick >= 1 && !m.hash.empty() && m.hash.find_first_not_of("0123456789abcdefABCDEF") ==
                                                                   std::string::npos && !m.text.empty();
    }
    return false;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    for (size_t i = 0; i < size;) {
        size_t end = i;
        while (end < size && data[end])
            ++end;
        const std::string text(reinterpret_cast<const char*>(data) + i, end - i);
        i = end + 1;
        RelayMessage m;
        std::string why;
        const bool read = ReadRelayMessage(text, m, why);
        if ((!read && why.empty()) || (read && !IsWithinProtocol(m)))
            std::abort();
    }
    return 0;
}
