// The programs that come with Kelvaron, where the build tree and the package put them: the relay beside
// this program, the Wayland program beside it in the build tree and in libexec/kelvaron once installed.
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#include "platform/linux/LinuxBackend.h"

std::string FindBesideThisProgram(const char* path)
{
    char self[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return "";
    self[n] = '\0';
    const std::string found = std::string(self, std::strrchr(self, '/') + 1) + path;
    return access(found.c_str(), X_OK) == 0 ? found : "";
}

int RunWaylandProgram(char** argv)
{
    std::string program = FindBesideThisProgram("kelvaron-wayland");
    if (program.empty())
        program = FindBesideThisProgram("../libexec/kelvaron/kelvaron-wayland");
    if (program.empty()) {
        std::fprintf(stderr, "kelvaron: %s needs kelvaron-wayland, which is not where Kelvaron installs it\n",
                     argv[1]);
        return 1;
    }
    execv(program.c_str(), argv);
    std::fprintf(stderr, "kelvaron: cannot start %s: %s\n", program.c_str(), std::strerror(errno));
    return 1;
}
