// kelvaron-relay: rooms for people playing one world together, and the page they play it in.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "relay/Protocol.h"
#include "relay/Server.h"

static void PrintUsage(std::FILE* to)
{
    std::fprintf(to,
                 "usage: kelvaron-relay [--bind ADDR] [--port N] [--page DIR] [--log-dir DIR]\n"
                 "  --bind ADDR    the address to listen on (default: every interface)\n"
                 "  --port N       the port for the page and the rooms (default: %d; 0: any free one)\n"
                 "  --page DIR     the web build's files (default: %s; the package does not\n"
                 "                 install the page yet, so give the web build's folder)\n"
                 "  --log-dir DIR  keep each ended room's recording there as ROOM.keys (default: none)\n",
                 kDefaultRelayPort, KELVARON_PAGE_DIR);
}

static int RefuseOptions(const char* why, const char* arg)
{
    std::fprintf(stderr, "kelvaron-relay: %s%s\n", why, arg);
    PrintUsage(stderr);
    return 2;
}

int main(int argc, char** argv)
{
    RelayOptions options = {"", kDefaultRelayPort, KELVARON_PAGE_DIR, ""};
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (!std::strcmp(arg, "--help") || !std::strcmp(arg, "-h")) {
            PrintUsage(stdout);
            return 0;
        }
        std::string* value = !std::strcmp(arg, "--bind") ? &options.bind
                             : !std::strcmp(arg, "--page") ? &options.page
                             : !std::strcmp(arg, "--log-dir") ? &options.logDir
                                                              : nullptr;
        const bool isPort = !std::strcmp(arg, "--port");
        if (!value && !isPort)
            return RefuseOptions("unknown option ", arg);
        if (i + 1 >= argc || !*argv[i + 1])
            return RefuseOptions("a value must follow ", arg);
        const char* given = argv[++i];
        if (value) {
            *value = given;
            continue;
        }
        char* end;
        const long port = std::strtol(given, &end, 10);
        if (*end || port < 0 || port > 65535)
            return RefuseOptions("--port takes a number from 0 to 65535, not ", given);
        options.port = int(port);
    }
    return RunRelay(options);
}
