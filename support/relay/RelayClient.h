// A relay of its own for a test, and clients that speak its protocol over a real socket on
// 127.0.0.1: what the relay's tests drive it with.
#pragma once
#include <string>
#include <vector>

struct RelayProcess {
    int pid;
    int port;
};

// Starts program on 127.0.0.1 and a port the system picks, with args after; its errors go to
// errorsPath. False when it does not say where it serves within 5 s. It ends with the thread that
// started it, if not before.
bool StartRelay(const std::string& program, const std::vector<std::string>& args, const std::string& errorsPath,
                RelayProcess& relay);
// SIGTERM, and its exit status (-1 when it had to be killed).
int StopRelay(RelayProcess& relay);

struct PageAnswer {
    int status;
    std::string type;
    std::string body;
};
PageAnswer GetPage(int port, const std::string& target);

struct RelayClient;  // a WebSocket to the relay, with what it has received
// Null when the connection or the handshake fails.
RelayClient* ConnectClient(int port, const std::string& target);
void SendText(RelayClient* client, const std::string& text);
void SendBinary(RelayClient* client, const std::string& bytes);
// Whether the client answers the relay's pings as it reads (it does unless told).
void AnswerPings(RelayClient* client, bool answer);
// The next message, within seconds; false once the relay has closed the connection, or on timeout.
bool ReadMessage(RelayClient* client, std::string& text, double seconds);
// The next message that begins with prefix, skipping others; false as ReadMessage.
bool ReadMessageStarting(RelayClient* client, const std::string& prefix, std::string& text, double seconds);
// Whether the relay has closed the connection, and its reason.
bool IsClosed(RelayClient* client, std::string& reason);
void CloseClient(RelayClient* client);
