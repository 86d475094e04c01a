// The signals that end a run on Linux: noted here, and the run ends through its ordinary teardown at
// the next look.
#include <csignal>
#include <initializer_list>

#include "platform/linux/LinuxBackend.h"

static volatile std::sig_atomic_t gSignalled;

static void NoteSignal(int)
{
    gSignalled = 1;
}

void CatchEndingSignals()
{
    struct sigaction action = {};
    action.sa_handler = NoteSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
}

bool IsEndingSignalled()
{
    return gSignalled != 0;
}
