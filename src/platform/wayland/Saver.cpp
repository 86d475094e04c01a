// kelvaron --saver: the idle watcher, for desktops without swayidle or hypridle. The compositor is
// asked to say when its seat has had no input for the given time (ext-idle-notify-v1, or
// org_kde_kwin_idle where that is all it offers, as Debian 12's sway); then the layer run starts as a
// process of its own, and once it has ended the question is asked again. A compositor says nothing
// while an idle inhibitor (a playing video) is active, so that nothing here need know of one.
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ext-idle-notify-v1-client-protocol.h"
#include "kde-idle-client-protocol.h"
#include "platform/Platform.h"
#include "platform/linux/LinuxBackend.h"
#include "platform/wayland/WaylandBackend.h"

constexpr int kLookMs = 100;          // how often it looks for an ending signal and the run's end
constexpr int kRunEndingMs = 5000;    // for the run to end after the signal handed on, before SIGKILL

static void NoteIdle()
{
    gWayland.idle = true;
}

static void HandleIdled(void*, ext_idle_notification_v1*)
{
    NoteIdle();
}

static void HandleResumed(void*, ext_idle_notification_v1*) {}

static const ext_idle_notification_v1_listener kNotificationListener = {HandleIdled, HandleResumed};

static void HandleKdeIdle(void*, org_kde_kwin_idle_timeout*)
{
    NoteIdle();
}

static void HandleKdeResumed(void*, org_kde_kwin_idle_timeout*) {}

static const org_kde_kwin_idle_timeout_listener kKdeTimeoutListener = {HandleKdeIdle, HandleKdeResumed};

static void AskForIdle(int seconds)
{
    WaylandState& w = gWayland;
    w.idle = false;
    const uint32_t ms = uint32_t(seconds) * 1000;
    if (w.idleNotifier) {
        w.idleNotification = ext_idle_notifier_v1_get_idle_notification(w.idleNotifier, ms, w.seat);
        ext_idle_notification_v1_add_listener(w.idleNotification, &kNotificationListener, nullptr);
    } else {
        w.kdeIdleTimeout = org_kde_kwin_idle_get_idle_timeout(w.kdeIdle, w.seat, ms);
        org_kde_kwin_idle_timeout_add_listener(w.kdeIdleTimeout, &kKdeTimeoutListener, nullptr);
    }
}

static void StopAskingForIdle()
{
    WaylandState& w = gWayland;
    if (w.idleNotification)
        ext_idle_notification_v1_destroy(w.idleNotification);
    if (w.kdeIdleTimeout)
        org_kde_kwin_idle_timeout_release(w.kdeIdleTimeout);
    w.idleNotification = nullptr;
    w.kdeIdleTimeout = nullptr;
}

// This program again with -layer, ending with the watcher however it ends. With KELVARON_STARTUP_TIMES
// set, its start-up figures count from the moment the seat went idle.
static pid_t StartLayerRunProcess(double idleMs)
{
    const pid_t watcher = getpid();
    const pid_t run = fork();
    if (run != 0)
        return run;
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != watcher)
        _exit(1);
    if (std::getenv("KELVARON_STARTUP_TIMES")) {
        char launch[32];
        std::snprintf(launch, sizeof launch, "%.6f", idleMs / 1000);
        setenv("KELVARON_STARTUP_TIMES", launch, 1);
    }
    execl("/proc/self/exe", "kelvaron", "-layer", static_cast<char*>(nullptr));
    std::fprintf(stderr, "kelvaron: cannot start the layer run: %s\n", std::strerror(errno));
    _exit(127);
}

// Waits for the run to end, keeping the connection read; an ending signal is handed on to it. Its
// status, or -1 when the connection was lost.
static int WaitForLayerRun(pid_t run)
{
    int waitedMs = 0, signalledMs = -1;
    for (;;) {
        int status;
        if (waitpid(run, &status, WNOHANG) == run)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (IsEndingSignalled() && signalledMs < 0) {
            kill(run, SIGTERM);
            signalledMs = waitedMs;
        }
        if (signalledMs >= 0 && waitedMs - signalledMs > kRunEndingMs)
            kill(run, SIGKILL);
        if (DispatchWaylandEvents(kLookMs) < 0) {
            kill(run, SIGTERM);
            waitpid(run, &status, 0);
            return -1;
        }
        waitedMs += kLookMs;
    }
}

int RunIdleWatcher(int seconds)
{
    WaylandState& w = gWayland;
    if (!w.seat || (!w.idleNotifier && !w.kdeIdle)) {
        std::fprintf(stderr, "kelvaron: the compositor offers neither ext-idle-notify-v1 nor org_kde_kwin_idle, so "
                             "--saver cannot tell when the desktop is idle\n");
        return 1;
    }
    if (!w.layerShell) {
        std::fprintf(stderr, "kelvaron: the compositor offers no wlr-layer-shell, which the layer run --saver "
                             "starts needs\n");
        return 1;
    }
    std::fprintf(stderr, "kelvaron: the layer run starts after %d s without input (%s)\n", seconds,
                 w.idleNotifier ? "ext-idle-notify-v1" : "org_kde_kwin_idle");
    while (!IsEndingSignalled()) {
        AskForIdle(seconds);
        int handled = 0;
        while (!w.idle && !IsEndingSignalled() && handled >= 0)
            handled = DispatchWaylandEvents(kLookMs);
        StopAskingForIdle();
        if (handled < 0) {
            std::fprintf(stderr, "kelvaron: the compositor ended the connection\n");
            return 1;
        }
        if (!w.idle)
            break;
        const pid_t run = StartLayerRunProcess(ReadWallClockMs());
        if (run < 0) {
            std::fprintf(stderr, "kelvaron: cannot start the layer run: %s\n", std::strerror(errno));
            return 1;
        }
        const int status = WaitForLayerRun(run);
        if (status < 0) {
            std::fprintf(stderr, "kelvaron: the compositor ended the connection\n");
            return 1;
        }
        if (status != 0 && !IsEndingSignalled())
            std::fprintf(stderr, "kelvaron: the layer run ended with status %d; watching again\n", status);
    }
    return 0;
}
