// The relay's WebSocket on Windows: WinHTTP's WebSocket calls, so that no network code of our own or
// anyone else's goes into the program. A reader thread blocks in the receive call and queues whole
// messages; the caller's thread sends, and takes the queue when it pumps, so that a frame never waits
// on the network. WinHTTP allows one send and one receive outstanding at once, from different threads.
#include <deque>
#include <string>
#include <vector>

#include <windows.h>
#include <winhttp.h>

#include "platform/Platform.h"

constexpr size_t kLargestMessageBytes = size_t(64) << 20;  // the room's log comes as one message
constexpr DWORD kReadBytes = 64 << 10;                     // a receive's buffer; longer messages come in parts
constexpr int kResolveMs = 10000, kConnectMs = 10000, kSendMs = 10000;
// The relay pings every second, so this long without a word means it has gone. (Wine's receive
// sends a pong instead and goes on waiting.)
constexpr int kReceiveMs = 30000;
// A run without a window steps as soon as a message arrives, and at least this often.
constexpr double kStepWaitSeconds = 0.05;
// The relay answers our close at once; one that does not is left to end the connection by itself.
constexpr DWORD kCloseWaitMs = 1000;

// WinHTTP's WebSocket calls exist from Windows 8 on: looked up when a connection is first opened, so
// that the program still starts on older systems. Written by OpenRelaySocket only.
struct WebSocketCalls {
    decltype(&WinHttpWebSocketCompleteUpgrade) completeUpgrade;
    decltype(&WinHttpWebSocketSend) send;
    decltype(&WinHttpWebSocketReceive) receive;
    decltype(&WinHttpWebSocketShutdown) shutdown;
    decltype(&WinHttpWebSocketQueryCloseStatus) queryCloseStatus;
};
static WebSocketCalls gCalls;

// One connection, held by the caller's side (until CloseRelaySocket) and by its reader thread (until
// its receive returns for the last time); the last to let go frees it. A reader that the relay never
// answers outlives the close that way, with nothing of it freed under it.
struct RelayConnection {
    HINTERNET session, connection, socket;
    HANDLE reader;
    HANDLE arrived;  // set whenever a message or the end has been queued
    LONG holders;
    CRITICAL_SECTION lock;  // guards the three below
    std::deque<std::string> messages;
    bool ended;          // the reader has stopped; why is in reason
    std::string reason;
    bool endHandedOn;  // the caller's thread only: HandleRelayClosed has been called
};
// The open connection, else null: written by OpenRelaySocket and CloseRelaySocket, on the caller's thread.
static RelayConnection* gRelay;

template <typename Function>
static bool LookUp(HMODULE module, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return function != nullptr;
}

static bool LoadWebSocketCalls()
{
    if (gCalls.completeUpgrade)
        return true;
    const HMODULE winhttp = GetModuleHandleA("winhttp.dll");
    WebSocketCalls calls;
    if (!winhttp || !LookUp(winhttp, "WinHttpWebSocketCompleteUpgrade", calls.completeUpgrade) ||
        !LookUp(winhttp, "WinHttpWebSocketSend", calls.send) ||
        !LookUp(winhttp, "WinHttpWebSocketReceive", calls.receive) ||
        !LookUp(winhttp, "WinHttpWebSocketShutdown", calls.shutdown) ||
        !LookUp(winhttp, "WinHttpWebSocketQueryCloseStatus", calls.queryCloseStatus))
        return false;
    gCalls = calls;
    return true;
}

static std::string DescribeError(DWORD error)
{
    switch (error) {
    case ERROR_WINHTTP_CANNOT_CONNECT: return "connection refused, or no way to the host";
    case ERROR_WINHTTP_NAME_NOT_RESOLVED: return "no host of that name";
    case ERROR_WINHTTP_TIMEOUT: return "no answer in time";
    case ERROR_WINHTTP_CONNECTION_ERROR: return "the connection was reset";
    case ERROR_WINHTTP_INVALID_SERVER_RESPONSE: return "the connection broke off";
    case ERROR_WINHTTP_INVALID_URL:
    case ERROR_INVALID_PARAMETER: return "not an address WinHTTP takes";
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return "out of memory";
    }
    char text[256];
    const HMODULE winhttp = GetModuleHandleA("winhttp.dll");
    const DWORD from = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS;
    DWORD length = FormatMessageA(from, winhttp, error, 0, text, sizeof text, nullptr);
    while (length && (text[length - 1] == '\n' || text[length - 1] == '\r' || text[length - 1] == '.'))
        --length;
    return length ? std::string(text, length) : "Windows error " + std::to_string(error);
}

static std::wstring Widen(const std::string& text)
{
    std::wstring wide(MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], int(wide.size()));
    wide.resize(wide.empty() ? 0 : wide.size() - 1);
    return wide;
}

static void LetGo(RelayConnection* c)
{
    if (InterlockedDecrement(&c->holders) != 0)
        return;
    for (HINTERNET handle : {c->socket, c->connection, c->session})
        if (handle)
            WinHttpCloseHandle(handle);
    for (HANDLE handle : {c->reader, c->arrived})
        if (handle)
            CloseHandle(handle);
    DeleteCriticalSection(&c->lock);
    delete c;
}

// The relay's close frame in words.
static std::string ReadCloseReason(HINTERNET socket)
{
    USHORT status = 0;
    char reason[WINHTTP_WEB_SOCKET_MAX_CLOSE_REASON_LENGTH];
    DWORD length = 0;
    if (gCalls.queryCloseStatus(socket, &status, reason, sizeof reason, &length) != ERROR_SUCCESS)
        length = 0;
    return DescribeRelayClose(status, std::string(reason, length));
}

// Receives until the connection ends, a message's parts put together, and queues each whole message.
static DWORD WINAPI ReadRelayMessages(LPVOID parameter)
{
    RelayConnection* c = static_cast<RelayConnection*>(parameter);
    std::vector<char> buffer(kReadBytes);
    std::string message, reason;
    for (;;) {
        DWORD length = 0;
        WINHTTP_WEB_SOCKET_BUFFER_TYPE type;
        if (DWORD error = gCalls.receive(c->socket, buffer.data(), kReadBytes, &length, &type)) {
            reason = DescribeError(error);
            break;
        }
        if (type == WINHTTP_WEB_SOCKET_CLOSE_BUFFER_TYPE) {
            reason = ReadCloseReason(c->socket);
            break;
        }
        const bool part = type == WINHTTP_WEB_SOCKET_UTF8_FRAGMENT_BUFFER_TYPE;
        if (!part && type != WINHTTP_WEB_SOCKET_UTF8_MESSAGE_BUFFER_TYPE) {
            reason = "the relay sent a binary message";
            break;
        }
        if (message.size() + length > kLargestMessageBytes) {
            reason = "a message from the relay over " + std::to_string(kLargestMessageBytes >> 20) + " MiB";
            break;
        }
        message.append(buffer.data(), length);
        if (part)
            continue;
        EnterCriticalSection(&c->lock);
        c->messages.push_back(std::move(message));
        LeaveCriticalSection(&c->lock);
        message.clear();
        SetEvent(c->arrived);
    }
    EnterCriticalSection(&c->lock);
    c->ended = true;
    c->reason = reason;
    LeaveCriticalSection(&c->lock);
    SetEvent(c->arrived);
    LetGo(c);
    return 0;
}

// The HTTP request that becomes the WebSocket; its handle is done with once the socket has its own.
static DWORD UpgradeToWebSocket(HINTERNET connection, const RelayAddress& address, HINTERNET& socket, std::string& why)
{
    HINTERNET request = WinHttpOpenRequest(connection, L"GET", Widen(address.target).c_str(), nullptr,
                                           WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, 0);
    if (!request)
        return GetLastError();
    DWORD error = ERROR_SUCCESS;
    DWORD status = 0, size = sizeof status;
    if (!WinHttpSetOption(request, WINHTTP_OPTION_UPGRADE_TO_WEB_SOCKET, nullptr, 0) ||
        !WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
        !WinHttpReceiveResponse(request, nullptr) ||
        !WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX))
        error = GetLastError();
    else if (status != HTTP_STATUS_SWITCH_PROTOCOLS) {
        error = ERROR_WINHTTP_INVALID_SERVER_RESPONSE;
        why = address.host + " port " + std::to_string(address.port) + " would not open a WebSocket at " +
              address.target + " (HTTP " + std::to_string(status) + ")";
    } else if (!(socket = gCalls.completeUpgrade(request, 0)))
        error = GetLastError();
    WinHttpCloseHandle(request);
    return error;
}

// The session, the connection to the relay's host and the upgraded socket, into c.
static DWORD ConnectToRelay(RelayConnection* c, const RelayAddress& address, std::string& why)
{
    if (!(c->session = WinHttpOpen(L"Kelvaron", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                   WINHTTP_NO_PROXY_BYPASS, 0)) ||
        !WinHttpSetTimeouts(c->session, kResolveMs, kConnectMs, kSendMs, kReceiveMs) ||
        !(c->connection = WinHttpConnect(c->session, Widen(address.host).c_str(), INTERNET_PORT(address.port), 0)))
        return GetLastError();
    return UpgradeToWebSocket(c->connection, address, c->socket, why);
}

bool OpenRelaySocket(const RelayAddress& address, std::string& error)
{
    CloseRelaySocket();
    if (!LoadWebSocketCalls()) {
        error = "network play needs Windows 8 or later";
        return false;
    }
    if (address.port < 1 || address.port > 65535) {
        error = "cannot reach " + address.host + ": " + std::to_string(address.port) + " is not a port";
        return false;
    }
    RelayConnection* c = new RelayConnection{};
    c->holders = 2;  // this side and the reader
    InitializeCriticalSection(&c->lock);
    std::string why;
    DWORD failure = ERROR_SUCCESS;
    if (!(c->arrived = CreateEventA(nullptr, FALSE, FALSE, nullptr)))
        failure = GetLastError();
    else if ((failure = ConnectToRelay(c, address, why)) == ERROR_SUCCESS &&
             !(c->reader = CreateThread(nullptr, 0, ReadRelayMessages, c, 0, nullptr)))
        failure = GetLastError();
    if (failure != ERROR_SUCCESS) {
        error = why.empty() ? "cannot reach " + address.host + " port " + std::to_string(address.port) + ": " +
                                  DescribeError(failure)
                            : why;
        c->holders = 1;
        LetGo(c);
        return false;
    }
    gRelay = c;
    return true;
}

void SendRelayText(const std::string& text)
{
    RelayConnection* c = gRelay;
    if (!c)
        return;
    EnterCriticalSection(&c->lock);
    const bool ended = c->ended;
    LeaveCriticalSection(&c->lock);
    // A failed send needs no word here: the reader sees the same end and reports it.
    if (!ended)
        gCalls.send(c->socket, WINHTTP_WEB_SOCKET_UTF8_MESSAGE_BUFFER_TYPE, const_cast<char*>(text.data()),
                    DWORD(text.size()));
}

void PumpRelaySocket(double seconds)
{
    bool handed = false, waited = false;
    // The connection is looked at afresh each time: a handler may close it, or open another.
    while (RelayConnection* c = gRelay) {
        std::string text;
        bool gotText = false, endNow = false;
        EnterCriticalSection(&c->lock);
        if (!c->messages.empty()) {
            text = std::move(c->messages.front());
            c->messages.pop_front();
            gotText = true;
        } else if (c->ended && !c->endHandedOn) {
            c->endHandedOn = endNow = true;
            text = c->reason;
        }
        LeaveCriticalSection(&c->lock);
        if (gotText) {
            handed = true;
            HandleRelayText(text);
        } else if (endNow) {
            HandleRelayClosed(text);
            return;
        } else if (handed || waited || seconds <= 0) {
            return;
        } else {
            waited = true;
            WaitForSingleObject(c->arrived, DWORD(seconds * 1000));
        }
    }
    if (!handed && !waited && seconds > 0)
        Sleep(DWORD(seconds * 1000));
}

void RunRelayLoop(bool (*step)())
{
    while (step())
        PumpRelaySocket(kStepWaitSeconds);
}

void CloseRelaySocket()
{
    RelayConnection* c = gRelay;
    if (!c)
        return;
    gRelay = nullptr;
    // The closing handshake: the relay answers with its own close frame, which ends the reader, or has
    // already sent one, which this answers.
    gCalls.shutdown(c->socket, WINHTTP_WEB_SOCKET_SUCCESS_CLOSE_STATUS, nullptr, 0);
    WaitForSingleObject(c->reader, kCloseWaitMs);
    LetGo(c);
}
