// The relay's WebSocket on a POSIX socket: the handshake and the frames a client needs (text, its
// fragments, ping, close), written here so that the program and its cross builds need no network
// library. Pairs with the relay's server in src/relay and the contract in platform/Platform.h.
#include <cerrno>
#include <chrono>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <random>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/Platform.h"

constexpr size_t kMaxRelayMessage = 64u << 20;  // a long room's log comes as one message
constexpr int kConnectTimeoutMs = 5000;

struct RelaySocketState {
    int fd = -1;
    std::string received;  // bytes read and not yet made into messages
    std::string message;   // a fragmented message so far
    bool ended = false;    // HandleRelayClosed has been called
    std::string reason;    // why it ended, before the pump hands it on
};
static RelaySocketState gRelaySocket;

static std::string DescribeError(const std::string& what, int error)
{
    return what + ": " + std::strerror(error);
}

// Connects within the timeout to any of the host's addresses.
static int ConnectTo(const RelayAddress& a, std::string& error)
{
    addrinfo hints = {};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string where = a.host + " port " + std::to_string(a.port);
    const int looked = getaddrinfo(a.host.c_str(), std::to_string(a.port).c_str(), &hints, &found);
    if (looked != 0) {
        error = "cannot find " + a.host + ": " + gai_strerror(looked);
        return -1;
    }
    int fd = -1;
    int why = ECONNREFUSED;
    for (addrinfo* i = found; i && fd < 0; i = i->ai_next) {
        fd = socket(i->ai_family, i->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, i->ai_protocol);
        if (fd < 0) {
            why = errno;
            continue;
        }
        if (connect(fd, i->ai_addr, i->ai_addrlen) == 0)
            break;
        if (errno == EINPROGRESS) {
            pollfd p = {fd, POLLOUT, 0};
            socklen_t size = sizeof why;
            if (poll(&p, 1, kConnectTimeoutMs) != 1)
                why = ETIMEDOUT;
            else if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &why, &size) != 0)
                why = errno;
            else if (why == 0)
                break;
        } else {
            why = errno;
        }
        close(fd);
        fd = -1;
    }
    freeaddrinfo(found);
    if (fd < 0)
        error = DescribeError("cannot reach " + where, why);
    const int on = 1;
    if (fd >= 0)
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);  // a command is a few bytes: no waiting
    return fd;
}

// Writes all of it, waiting when the socket is full; false when the connection has gone.
static bool WriteAll(const std::string& bytes)
{
    for (size_t done = 0; done < bytes.size();) {
        const ssize_t n = send(gRelaySocket.fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n > 0) {
            done += size_t(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p = {gRelaySocket.fd, POLLOUT, 0};
            if (poll(&p, 1, kConnectTimeoutMs) != 1)
                return false;
        } else {
            return false;
        }
    }
    return true;
}

static std::string EncodeBase64(const unsigned char* bytes, size_t size)
{
    static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < size; i += 3) {
        const unsigned v = unsigned(bytes[i]) << 16 | unsigned(i + 1 < size ? bytes[i + 1] : 0) << 8 |
                           unsigned(i + 2 < size ? bytes[i + 2] : 0);
        out += kDigits[v >> 18 & 63];
        out += kDigits[v >> 12 & 63];
        out += i + 1 < size ? kDigits[v >> 6 & 63] : '=';
        out += i + 2 < size ? kDigits[v & 63] : '=';
    }
    return out;
}

// A client's frames are masked, as the protocol asks of every client.
static bool SendFrame(int opcode, const std::string& payload)
{
    static std::mt19937 random{std::random_device{}()};
    std::string frame(1, char(0x80 | opcode));
    const size_t n = payload.size();
    if (n < 126) {
        frame += char(0x80 | n);
    } else if (n < 65536) {
        frame += char(0x80 | 126);
        frame += char(n >> 8);
        frame += char(n & 255);
    } else {
        frame += char(0x80 | 127);
        for (int shift = 56; shift >= 0; shift -= 8)
            frame += char((uint64_t(n) >> shift) & 255);
    }
    const uint32_t mask = random();
    const char key[4] = {char(mask >> 24), char(mask >> 16), char(mask >> 8), char(mask)};
    frame.append(key, 4);
    for (size_t i = 0; i < n; ++i)
        frame += char(payload[i] ^ key[i % 4]);
    return WriteAll(frame);
}

static void EndConnection(const std::string& reason)
{
    if (gRelaySocket.fd >= 0)
        close(gRelaySocket.fd);
    gRelaySocket.fd = -1;
    if (gRelaySocket.reason.empty())
        gRelaySocket.reason = reason;
}

// Reads the upgrade's answer; the frames after it stay in received.
static bool FinishHandshake(std::string& error)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kConnectTimeoutMs);
    size_t end;
    while ((end = gRelaySocket.received.find("\r\n\r\n")) == std::string::npos) {
        const int left = int(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count());
        pollfd p = {gRelaySocket.fd, POLLIN, 0};
        char buffer[4096];
        ssize_t n = 0;
        if (left <= 0 || poll(&p, 1, left) != 1 || (n = recv(gRelaySocket.fd, buffer, sizeof buffer, 0)) <= 0 ||
            gRelaySocket.received.size() > 16384) {
            error = "the relay did not answer as a relay does";
            return false;
        }
        gRelaySocket.received.append(buffer, size_t(n));
    }
    const std::string status = gRelaySocket.received.substr(0, gRelaySocket.received.find("\r\n"));
    if (status.compare(0, 12, "HTTP/1.1 101") != 0) {
        error = "the relay would not open a room's connection (" + status + ")";
        return false;
    }
    gRelaySocket.received.erase(0, end + 4);
    return true;
}

bool OpenRelaySocket(const RelayAddress& address, std::string& error)
{
    CloseRelaySocket();
    gRelaySocket = RelaySocketState{};
    gRelaySocket.fd = ConnectTo(address, error);
    if (gRelaySocket.fd < 0)
        return false;
    std::random_device random;
    unsigned char nonce[16];
    for (unsigned char& b : nonce)
        b = static_cast<unsigned char>(random());
    const std::string request = "GET " + address.target + " HTTP/1.1\r\nHost: " + WriteRelayHost(address.host) + ":" +
                                std::to_string(address.port) +
                                "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Key: " +
                                EncodeBase64(nonce, sizeof nonce) + "\r\nSec-WebSocket-Version: 13\r\n\r\n";
    if (!WriteAll(request) || !FinishHandshake(error)) {
        if (error.empty())
            error = "the relay at " + address.host + " port " + std::to_string(address.port) + " closed the connection";
        close(gRelaySocket.fd);
        gRelaySocket.fd = -1;
        return false;
    }
    return true;
}

void SendRelayText(const std::string& text)
{
    if (gRelaySocket.fd >= 0 && !SendFrame(0x1, text))
        EndConnection(DescribeError("the connection to the relay broke", errno ? errno : EPIPE));
}

// Takes whole frames out of what was read: messages to the shell, pings answered, a close noted.
// False when nothing whole is left.
static bool TakeFrame()
{
    std::string& in = gRelaySocket.received;
    if (in.size() < 2)
        return false;
    const int opcode = in[0] & 0x0F;
    const bool final = in[0] & 0x80;
    uint64_t length = in[1] & 0x7F;
    size_t at = 2;
    if (length >= 126) {
        const size_t bytes = length == 126 ? 2 : 8;
        if (in.size() < at + bytes)
            return false;
        length = 0;
        for (size_t i = 0; i < bytes; ++i)
            length = length << 8 | static_cast<unsigned char>(in[at + i]);
        at += bytes;
    }
    if (in[1] & 0x80 || length > kMaxRelayMessage || gRelaySocket.message.size() + length > kMaxRelayMessage) {
        EndConnection("the relay sent a frame no relay sends");
        return false;
    }
    if (in.size() < at + length)
        return false;
    const std::string payload = in.substr(at, size_t(length));
    in.erase(0, at + size_t(length));
    if (opcode == 0x8) {
        const int code = payload.size() >= 2 ? static_cast<unsigned char>(payload[0]) << 8 | static_cast<unsigned char>(payload[1]) : 0;
        SendFrame(0x8, payload.substr(0, 2));
        EndConnection(DescribeRelayClose(code, payload.size() > 2 ? payload.substr(2) : ""));
    } else if (opcode == 0x9) {
        SendFrame(0xA, payload);
    } else if (opcode == 0x1 || opcode == 0x0) {
        gRelaySocket.message += payload;
        if (final) {
            const std::string whole = std::move(gRelaySocket.message);
            gRelaySocket.message.clear();
            HandleRelayText(whole);
        }
    }
    return gRelaySocket.fd >= 0;
}

void PumpRelaySocket(double seconds)
{
    int waitMs = int(seconds * 1000);
    while (gRelaySocket.fd >= 0) {
        bool took = false;
        while (TakeFrame())
            took = true;
        if (gRelaySocket.fd < 0)
            break;
        pollfd p = {gRelaySocket.fd, POLLIN, 0};
        if (poll(&p, 1, took ? 0 : waitMs) != 1)
            break;
        waitMs = 0;
        char buffer[65536];
        const ssize_t n = recv(gRelaySocket.fd, buffer, sizeof buffer, 0);
        if (n > 0)
            gRelaySocket.received.append(buffer, size_t(n));
        else if (n == 0 || (errno != EAGAIN && errno != EINTR))
            EndConnection(n == 0 ? "the relay closed the connection"
                                 : DescribeError("the connection to the relay broke", errno));
    }
    if (gRelaySocket.fd < 0 && !gRelaySocket.reason.empty() && !gRelaySocket.ended) {
        gRelaySocket.ended = true;
        HandleRelayClosed(gRelaySocket.reason);
    } else if (gRelaySocket.fd < 0) {
        poll(nullptr, 0, waitMs);  // nothing can arrive: between a fleet's relays, say
    }
}

void RunRelayLoop(bool (*step)())
{
    while (step())
        PumpRelaySocket(0.05);
}

void CloseRelaySocket()
{
    if (gRelaySocket.fd >= 0) {
        SendFrame(0x8, std::string("\x03\xe8", 2));  // 1000: a normal close
        close(gRelaySocket.fd);
    }
    gRelaySocket.fd = -1;
    gRelaySocket.ended = true;
}
