// One build's relay socket against a real relay: a new room's welcome, a ping answered, the room's log
// (one message larger than any frame the socket reads at once), a room that does not exist refused,
// the relay's reason when it ends a connection, and a port where nothing listens.
//   relay-socket-test HOST PORT
// Prints "ok: ..." or "FAILED: ..." a line; exits 0 when all passed. Built for every platform: what is
// tested is the backend's socket, the same steps each time.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/Platform.h"

static RelayAddress gAddress;
static int gStage = 0;
static int gFailed = 0;
static std::string gReceived;  // every message of this stage, one after another
static std::string gClosed;    // the reason, once the connection has ended
static bool gEnded = false;
static std::chrono::steady_clock::time_point gStageStart;

void HandleRelayText(const std::string& text)
{
    gReceived += text;
    gReceived += '\x1f';
}

void HandleRelayClosed(const std::string& reason)
{
    gClosed = reason;
    gEnded = true;
}

static void Say(bool ok, const std::string& what)
{
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what.c_str());
    std::fflush(stdout);
    gFailed += !ok;
}

static bool Open(const std::string& target)
{
    gReceived.clear();
    gClosed.clear();
    gEnded = false;
    gAddress.target = target;
    std::string error;
    if (!OpenRelaySocket(gAddress, error)) {
        Say(false, "open " + target + ": " + error);
        return false;
    }
    return true;
}

static bool Has(const std::string& text)
{
    return gReceived.find(text) != std::string::npos;
}

static void NextStage()
{
    ++gStage;
    gStageStart = std::chrono::steady_clock::now();
}

// Each stage waits for what it needs, and fails after ten seconds without it.
static bool Step()
{
    const bool late = std::chrono::steady_clock::now() - gStageStart > std::chrono::seconds(10);
    switch (gStage) {
    case 0:
        if (!Open("/ws"))
            std::exit(1);
        NextStage();
        return true;
    case 1:
        if (Has("welcome ") && Has("delay ")) {
            Say(gReceived.compare(0, 8, "welcome ") == 0, "a new room's first message is its welcome");
            SendRelayText("ping 7");
            NextStage();
        } else if (late || gEnded) {
            Say(false, "no welcome; received '" + gReceived + "', closed '" + gClosed + "'");
            std::exit(1);
        }
        return true;
    case 2:
        if (Has("pong 7\x1f")) {
            Say(true, "the relay answers a ping");
            gReceived = "\x1f";  // each message after a separator
            SendRelayText("log");
            NextStage();
        } else if (late || gEnded) {
            Say(false, "no pong 7; received '" + gReceived + "'");
            std::exit(1);
        }
        return true;
    case 3:
        if (gReceived.find("\x1flog\n") != std::string::npos && Has("\nkelvaron-recording 2\n")) {
            Say(true, "the room's log arrives whole, as a recording");
            SendRelayText(std::string(600, 'x'));  // over the relay's size limit
            NextStage();
        } else if (late || gEnded) {
            Say(false, "no log; received '" + gReceived + "'");
            std::exit(1);
        }
        return true;
    case 4:
        if (gEnded || late) {
            Say(gEnded && gClosed.find("larger") != std::string::npos, "an oversized message ends the connection with the relay's reason: '" +
                                                gClosed + "'");
            CloseRelaySocket();
            Open("/ws?room=00000000000000000000");
            NextStage();
        }
        return true;
    case 5:
        if (gEnded || late) {
            Say(Has("refused ") && gEnded, "a room that does not exist is refused, and the connection ends: '" +
                                                gReceived + "', '" + gClosed + "'");
            CloseRelaySocket();
            RelayAddress nowhere = gAddress;
            nowhere.port = 1;  // nothing listens there
            std::string error;
            gEnded = false;
            gClosed.clear();
            if (OpenRelaySocket(nowhere, error)) {
                NextStage();  // the page's socket says so as an event
                return true;
            }
            Say(!error.empty(), "a port where nothing listens is an error: '" + error + "'");
            std::exit(gFailed ? 1 : 0);
        }
        return true;
    default:
        if (gEnded || late) {
            Say(gEnded && !gClosed.empty(), "a port where nothing listens ends the connection: '" + gClosed + "'");
            std::exit(gFailed ? 1 : 0);
        }
        return true;
    }
}

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: relay-socket-test HOST PORT\n");
        return 2;
    }
    gAddress.host = argv[1];
    gAddress.port = std::atoi(argv[2]);
    gStageStart = std::chrono::steady_clock::now();
    RunRelayLoop(Step);
    return gFailed ? 1 : 0;
}
