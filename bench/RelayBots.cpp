// Protocol-level players for the relay's load figures: ROOMS rooms of three seats each, for SECONDS.
// Each bot reads every tick, presses and lets go of its car's key every half second and sends a hash
// every 30 ticks, as a client would, but runs no world: what is measured is the relay.
//   relay-bots PORT ROOMS SECONDS
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "RelayClient.h"
#include "relay/Protocol.h"

using Clock = std::chrono::steady_clock;

struct BotCount {
    std::atomic<long> bytes{0};
    std::atomic<long> ticks{0};
    std::atomic<int> failed{0};
};

static void RunBot(int port, const std::string& target, int seat, double seconds, std::promise<std::string>* room,
                   BotCount& count)
{
    RelayClient* client = ConnectClient(port, target);
    std::string text;
    if (!client || !ReadMessageStarting(client, "welcome ", text, 5)) {
        ++count.failed;
        if (room)
            room->set_value("");
        return;
    }
    if (room)
        room->set_value(text.substr(8, text.find(' ', 8) - 8));
    static const int kKeys[] = {38, 87, 73};  // each seat's car's faster key
    const auto end = Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    int delay = kMinDelay;
    bool down = false;
    while (Clock::now() < end && ReadMessage(client, text, 1)) {
        count.bytes += long(text.size());
        if (text.compare(0, 6, "delay ") == 0)
            delay = std::atoi(text.c_str() + 6);
        if (text.compare(0, 5, "tick ") != 0)
            continue;
        ++count.ticks;
        const long tick = std::atol(text.c_str() + 5);
        if (tick % 15 == seat * 5) {
            down = !down;
            SendText(client, "cmd " + std::to_string(tick + delay) + (down ? " down " : " up ") + std::to_string(kKeys[seat]));
        }
        if (tick % 30 == seat)
            SendText(client, "hash " + std::to_string(tick) + " 0123456789abcdef");
    }
    std::string reason;
    if (IsClosed(client, reason))
        ++count.failed;
    CloseClient(client);
}

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: relay-bots PORT ROOMS SECONDS\n");
        return 2;
    }
    const int port = std::atoi(argv[1]), rooms = std::atoi(argv[2]);
    const double seconds = std::atof(argv[3]);
    BotCount count;
    std::vector<std::thread> bots;
    for (int r = 0; r < rooms; ++r) {
        std::promise<std::string> room;
        std::future<std::string> code = room.get_future();
        bots.emplace_back(RunBot, port, "/ws", 0, seconds, &room, std::ref(count));
        const std::string joined = "/ws?room=" + code.get();
        for (int seat = 1; seat < 3; ++seat)
            bots.emplace_back(RunBot, port, joined, seat, seconds, nullptr, std::ref(count));
    }
    for (std::thread& b : bots)
        b.join();
    std::printf("%d rooms, %d clients: %.0f bytes a second a room received by its clients, %ld ticks read, %d clients "
                "dropped or refused\n",
                rooms, rooms * 3, double(count.bytes) / seconds / rooms, long(count.ticks), int(count.failed));
    return 0;
}
