// The relay socket in the page and under node: emscripten's WebSocket API. The socket's events come
// between the program's turns, and each is handed on as it comes, so pumping only waits for them; a
// program without a window has its steps called from timeouts, between which the events come.
#include <emscripten.h>
#include <emscripten/eventloop.h>
#include <emscripten/websocket.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/web/WebBackend.h"

// RelaySocket.js: emscripten_websocket_new, with what the WebSocket's constructor throws (an address
// it cannot parse) written into error instead; 0 then.
extern "C" EMSCRIPTEN_WEBSOCKET_T kelvaron_websocket_new(EmscriptenWebSocketCreateAttributes* attributes, char* error,
                                                         int errorSize);

// RunRelayLoop's next step comes as soon as something arrives, or after this long without.
constexpr int kRelayWaitMs = 50;
constexpr unsigned short kNormalClosure = 1000;

struct RelaySocket {
    EMSCRIPTEN_WEBSOCKET_T socket = 0;  // 0: none
    std::string where;                  // "HOST port N", as the reasons say it
    bool open = false;                  // the handshake is done
    bool ended = false;                 // its end has been handed on, and nothing more will be
    std::vector<std::string> unsent;    // sent before the handshake was done: sent once it is
    bool (*step)() = nullptr;           // RunRelayLoop's, while it goes on
    // Each step scheduled has its round; an arrival schedules one at once, and the round it overtook
    // does nothing when its time comes. A timeout cannot be taken back without the runtime losing
    // count of what keeps it alive.
    uintptr_t stepRound = 0;
    bool stepSoon = false;              // a step is due at once
};
static RelaySocket gRelay;  // written by this file alone

static void RunRelayStep(void* round);

static void ScheduleRelayStep(int milliseconds)
{
    gRelay.stepSoon = milliseconds == 0;
    emscripten_set_timeout(RunRelayStep, milliseconds, reinterpret_cast<void*>(++gRelay.stepRound));
}

static void RunRelayStep(void* round)
{
    if (reinterpret_cast<uintptr_t>(round) != gRelay.stepRound)
        return;
    gRelay.stepSoon = false;
    if (gRelay.step())
        ScheduleRelayStep(kRelayWaitMs);
    else
        gRelay.step = nullptr;
}

// Something arrived: the step or the pump that waits for it goes on now.
static void HurryRelayStep()
{
    if (gRelay.step && !gRelay.stepSoon)
        ScheduleRelayStep(0);
    WakeWaiter();
}

// A socket let go of (CloseRelaySocket) has no callbacks left: every event here is the connection's.
static EM_BOOL OnRelayOpen(int, const EmscriptenWebSocketOpenEvent*, void*)
{
    gRelay.open = true;
    for (const std::string& text : gRelay.unsent)
        emscripten_websocket_send_utf8_text(gRelay.socket, text.c_str());
    gRelay.unsent.clear();
    return EM_TRUE;
}

static EM_BOOL OnRelayMessage(int, const EmscriptenWebSocketMessageEvent* e, void*)
{
    // A text message's bytes end with the terminator the API adds.
    size_t size = e->isText ? e->numBytes - 1 : e->numBytes;
    HandleRelayText(std::string(reinterpret_cast<const char*>(e->data), size));
    HurryRelayStep();
    return EM_TRUE;
}

// A connection that fails ends with an error and then a close; the close alone says it all.
static EM_BOOL OnRelayClose(int, const EmscriptenWebSocketCloseEvent* e, void*)
{
    gRelay.ended = true;
    gRelay.unsent.clear();
    if (!gRelay.open && !e->reason[0])
        HandleRelayClosed("cannot reach " + gRelay.where);
    else if (!e->wasClean && !e->reason[0])
        HandleRelayClosed("the connection to the relay at " + gRelay.where + " broke");
    else
        HandleRelayClosed(DescribeRelayClose(e->code, e->reason));
    HurryRelayStep();
    return EM_TRUE;
}

bool OpenRelaySocket(const RelayAddress& address, std::string& error)
{
    CloseRelaySocket();
    gRelay.where = address.host + " port " + std::to_string(address.port);
    gRelay.open = gRelay.ended = false;
    if (!emscripten_websocket_is_supported()) {
        error = "this browser has no WebSocket (under node: install node-ws)";
        return false;
    }
    std::string url = "ws://" + WriteRelayHost(address.host) + ":" + std::to_string(address.port) + address.target;
    EmscriptenWebSocketCreateAttributes attributes;
    emscripten_websocket_init_create_attributes(&attributes);
    attributes.url = url.c_str();
    char thrown[256] = "";
    EMSCRIPTEN_WEBSOCKET_T socket = kelvaron_websocket_new(&attributes, thrown, sizeof thrown);
    if (socket <= 0) {
        error = "cannot open " + url + (thrown[0] ? std::string(": ") + thrown : std::string());
        return false;
    }
    gRelay.socket = socket;
    emscripten_websocket_set_onopen_callback(socket, nullptr, OnRelayOpen);
    emscripten_websocket_set_onmessage_callback(socket, nullptr, OnRelayMessage);
    emscripten_websocket_set_onclose_callback(socket, nullptr, OnRelayClose);
    return true;
}

// The page puts the state hashes it reports on the console's verbose level, so that its world can be
// held to another build's tick for tick; node's programs print their own.
EM_JS(void, LogReportedHash, (const char* text), {
    if (Module.kelvaronPage) console.debug(UTF8ToString(text));
});

void SendRelayText(const std::string& text)
{
    if (!gRelay.socket || gRelay.ended)
        return;
    if (text.compare(0, 5, "hash ") == 0)
        LogReportedHash(text.c_str());
    if (gRelay.open)
        emscripten_websocket_send_utf8_text(gRelay.socket, text.c_str());
    else
        gRelay.unsent.push_back(text);
}

void PumpRelaySocket(double seconds)
{
    if (seconds > 0 && gRelay.socket && !gRelay.ended)
        AwaitEvent(uint32_t(seconds * 1000));
}

// Each step waiting keeps the runtime alive past main's end; once step says false none is, and a
// program that node runs ends.
void RunRelayLoop(bool (*step)())
{
    bool running = gRelay.step != nullptr;
    gRelay.step = step;
    if (!running)
        ScheduleRelayStep(0);
}

void CloseRelaySocket()
{
    if (!gRelay.socket)
        return;
    emscripten_websocket_close(gRelay.socket, kNormalClosure, nullptr);
    emscripten_websocket_delete(gRelay.socket);
    gRelay.socket = 0;
    gRelay.unsent.clear();
}
