// The relay's room under any messages from three seats and a spectator, at any moments, with a
// seat's person leaving and coming back: it never fails, and its log always reads back as a
// recording. An input is a run of messages: a byte naming the client (4: the spectator leaves and
// takes seat 1 back if it can), a byte of 4 ms steps since the last message, the text to a 0 byte.
// An input of odd length opens a room with an input delay, of even length one that rolls back.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "record/KeyScript.h"
#include "relay/Room.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const RelayTime start{};
    // Rooms that roll back, and those that wait out a delay, by the input's length.
    Room room = OpenRoom("fuzz", 1, start, size % 2 ? kMinDelay : kRollback);
    std::vector<Outgoing> out;
    TickLateness lateness;
    for (long client = 1; client <= 4; ++client)
        JoinRoom(room, client, -1, false, start, out);
    RelayTime now = start;
    for (size_t i = 0; i + 2 <= size;) {
        const int who = data[i] % 5;
        now += std::chrono::milliseconds(4 * data[i + 1]);
        size_t end = i + 2;
        while (end < size && data[end])
            ++end;
        const std::string text(reinterpret_cast<const char*>(data) + i + 2, end - i - 2);
        i = end + 1;
        if (who == 4) {
            LeaveRoom(room, 2, now);
            LeaveRoom(room, 4, now);
            JoinRoom(room, 4, 1, false, now, out);
        } else {
            TakeClientMessage(room, who + 1, text, now, out);
        }
        RunRoom(room, now, out, lateness);
        out.clear();
    }
    std::string recording = WriteRoomRecording(room);
    std::FILE* file = fmemopen(&recording[0], recording.size(), "r");
    KeyScript script;
    std::string error;
    if (!ReadKeyScript(file, script, error)) {
        std::fprintf(stderr, "the room's log does not read back: %s\n%s", error.c_str(), recording.c_str());
        std::abort();
    }
    std::fclose(file);
    return 0;
}
