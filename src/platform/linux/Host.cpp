// kelvaron --host: the relay, kelvaron-relay, as a process beside the program (the one installed with
// it, else the first on PATH), serving every interface on its usual port and ending with the program.
#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/prctl.h>
#include <unistd.h>
#include <vector>

#include "platform/linux/LinuxBackend.h"

constexpr int kHostWaitMs = 5000;

// Beside this program's own file, where the package puts both, else the first on PATH.
static std::string FindRelayProgram()
{
    const std::string beside = FindBesideThisProgram("kelvaron-relay");
    return beside.empty() ? "kelvaron-relay" : beside;
}

// Every address of this machine but the loopback, as others on its networks would reach it.
static std::vector<std::string> FindOwnAddresses()
{
    std::vector<std::string> found;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return found;
    for (ifaddrs* i = list; i; i = i->ifa_next) {
        if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET)
            continue;
        char text[INET_ADDRSTRLEN];
        const in_addr address = reinterpret_cast<const sockaddr_in*>(i->ifa_addr)->sin_addr;
        if ((ntohl(address.s_addr) >> 24) != 127 && inet_ntop(AF_INET, &address, text, sizeof text))
            found.push_back(text);
    }
    freeifaddrs(list);
    return found;
}

bool StartHostedRelay(RunSwitches& switches, std::string& error)
{
    const std::string program = FindRelayProgram();
    int out[2];
    if (pipe(out) != 0) {
        error = std::strerror(errno);
        return false;
    }
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child < 0) {
        error = std::strerror(errno);
        return false;
    }
    if (child == 0) {
        // The relay ends with the program, however the program ends.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent)
            _exit(1);
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        execlp(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        std::fprintf(stderr, "kelvaron: cannot start %s: %s\n", program.c_str(), std::strerror(errno));
        _exit(127);
    }
    close(out[1]);
    std::string line;
    char c;
    pollfd wait = {out[0], POLLIN, 0};
    while (poll(&wait, 1, kHostWaitMs) == 1 && read(out[0], &c, 1) == 1 && c != '\n')
        line += c;
    close(out[0]);
    const size_t colon = line.rfind(':');
    const int port = colon == std::string::npos ? 0 : std::atoi(line.c_str() + colon + 1);
    if (line.find("serving") == std::string::npos || port <= 0) {
        kill(child, SIGTERM);
        error = program + " did not start (it says why above)";
        return false;
    }
    switches.join = "http://127.0.0.1:" + std::to_string(port) + "/";
    switches.linkHosts = FindOwnAddresses();
    if (switches.linkHosts.empty())
        switches.linkHosts.push_back("127.0.0.1");
    return true;
}

bool StartLaunchSwitches(RunSwitches& switches, bool host)
{
    std::string error;
    if (host && !StartHostedRelay(switches, error)) {
        std::fprintf(stderr, "kelvaron: cannot host a room: %s\n", error.c_str());
        return false;
    }
    if (!StartRunSwitches(switches, error)) {
        std::fprintf(stderr, "kelvaron: %s\n", error.c_str());
        return false;
    }
    return true;
}
