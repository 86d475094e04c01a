// kelvaron-relay: rooms for people playing one world together, and the page they play it in.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "net/Protocol.h"
#include "relay/Server.h"

static void PrintUsage(std::FILE* to)
{
    std::fprintf(to,
                 "usage: kelvaron-relay [--bind ADDR] [--port N] [--page DIR] [--log-dir DIR] [--max-per-address N]\n"
                 "                      [--tick-hz N [--fast-ticks N]] [--redis URL [--public HOST:PORT]]\n"
                 "  --bind ADDR    the address to listen on (default: every interface)\n"
                 "  --port N       the port for the page and the rooms (default: %d; 0: any free one)\n"
                 "  --page DIR     the page's files, as the web build makes them (default: %s)\n"
                 "  --log-dir DIR  keep each ended room's recording there as ROOM.keys (default: none)\n"
                 "  --max-per-address N  open connections from one address (default: %d)\n"
                 "  --redis URL    one of a fleet of relays sharing their rooms in Redis, at redis://HOST:PORT: a\n"
                 "                 room's link through any of them reaches it, and its rooms go on through\n"
                 "                 another when it dies\n"
                 "  --public HOST:PORT  where the fleet's clients reach this relay (default: --bind's address and\n"
                 "                 the port)\n"
                 "  --tick-hz N    for tests and benchmarks: ticks a second (default: %d); everything else a\n"
                 "                 room times (silent seats, pings, its end) runs that much faster too\n"
                 "  --fast-ticks N for benchmarks: --tick-hz only for N ticks' time from the first room's opening,\n"
                 "                 then the real rate: a long room's history made quickly, joined at people's pace\n",
                 kDefaultRelayPort, KELVARON_PAGE_DIR, kDefaultMaxPerAddress, kTickRate);
}

static int RefuseOptions(const char* why, const char* arg)
{
    std::fprintf(stderr, "kelvaron-relay: %s%s\n", why, arg);
    PrintUsage(stderr);
    return 2;
}

int main(int argc, char** argv)
{
    RelayOptions options = {"", kDefaultRelayPort, KELVARON_PAGE_DIR, "", kDefaultMaxPerAddress, kTickRate, 0, "", ""};
    int fastTicks = 0;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (!std::strcmp(arg, "--help") || !std::strcmp(arg, "-h")) {
            PrintUsage(stdout);
            return 0;
        }
        std::string* value = !std::strcmp(arg, "--bind") ? &options.bind
                             : !std::strcmp(arg, "--page") ? &options.page
                             : !std::strcmp(arg, "--log-dir") ? &options.logDir
                             : !std::strcmp(arg, "--redis") ? &options.redis
                             : !std::strcmp(arg, "--public") ? &options.publicAddress
                                                              : nullptr;
        int* number = !std::strcmp(arg, "--port") ? &options.port
                      : !std::strcmp(arg, "--max-per-address") ? &options.maxPerAddress
                      : !std::strcmp(arg, "--tick-hz")         ? &options.tickHz
                      : !std::strcmp(arg, "--fast-ticks")      ? &fastTicks
                                                               : nullptr;
        if (!value && !number)
            return RefuseOptions("unknown option ", arg);
        if (i + 1 >= argc || !*argv[i + 1])
            return RefuseOptions("a value must follow ", arg);
        const char* given = argv[++i];
        if (value) {
            *value = given;
            continue;
        }
        char* end;
        const long n = std::strtol(given, &end, 10);
        const long least = number == &options.port ? 0 : 1;
        const long most = number == &options.port ? 65535 : number == &options.tickHz ? kMaxTickHz
                          : number == &fastTicks                                   ? 100000000
                                                                                   : 1000000;
        if (*end || n < least || n > most)
            return RefuseOptions((std::string(arg) + " takes a number from " + std::to_string(least) + " to " +
                                  std::to_string(most) + ", not ").c_str(), given);
        *number = int(n);
    }
    options.fastTicks = fastTicks;
    return RunRelay(options);
}
