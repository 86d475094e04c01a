// The relay's one port: the page's files over HTTP and the rooms over WebSockets (Protocol.h).
#pragma once
#include <string>

constexpr int kMaxTickHz = 3000;

struct RelayOptions {
    std::string bind;    // an address, or empty for every interface
    int port;            // 0: one the system picks
    std::string page;    // the web build's files
    std::string logDir;  // where ended rooms' recordings go, or empty
    int maxPerAddress;   // open WebSockets from one address; those beyond are refused
    int tickHz;          // ticks a second: kTickRate, or faster for tests and benchmarks
    long fastTicks;      // with tickHz: that fast only for this many ticks' time from the first room's
                         // opening, then kTickRate; 0: always
    std::string redis;          // the fleet's room map, redis://HOST:PORT, or empty for a relay on its own
    std::string publicAddress;  // HOST:PORT, where the fleet's clients reach this relay: --bind's and
                                // --port's when empty
};

// Serves until SIGINT or SIGTERM, which end every room as if it were empty and print how late the
// ticks went out; SIGUSR1 prints that and counts afresh. The process's exit status: 1 when the port
// cannot be had or the log folder cannot be made, 2 for options that cannot go together.
int RunRelay(const RelayOptions& options);
