#include "RelayClient.h"

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <deque>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace net = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
namespace websocket = beast::websocket;
using tcp = net::ip::tcp;
using Clock = std::chrono::steady_clock;

bool StartRelay(const std::string& program, const std::vector<std::string>& args, const std::string& errorsPath,
                RelayProcess& relay)
{
    int out[2];
    if (pipe(out))
        return false;
    const pid_t test = getpid();
    relay.pid = fork();
    if (relay.pid == 0) {
        // A test that stops short (a failed REQUIRE) never reaches StopRelay: the relay goes with it.
        if (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || getppid() != test)
            _exit(127);
        dup2(out[1], 1);
        const int errors = open(errorsPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(errors, 2);
        close(out[0]);
        std::vector<std::string> all = {program, "--bind", "127.0.0.1", "--port", "0"};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : all)
            argv.push_back(&a[0]);
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(out[1]);
    std::string line;
    char c;
    pollfd wait = {out[0], POLLIN, 0};
    while (poll(&wait, 1, 5000) == 1 && read(out[0], &c, 1) == 1 && c != '\n')
        line += c;
    close(out[0]);
    const size_t colon = line.rfind(':');
    relay.port = colon == std::string::npos ? 0 : std::atoi(line.c_str() + colon + 1);
    return relay.port > 0;
}

int StopRelay(RelayProcess& relay)
{
    kill(relay.pid, SIGTERM);
    int status = 0;
    for (int i = 0; i < 100; ++i) {
        if (waitpid(relay.pid, &status, WNOHANG) == relay.pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        usleep(50000);
    }
    kill(relay.pid, SIGKILL);
    waitpid(relay.pid, &status, 0);
    return -1;
}

PageAnswer GetPage(int port, const std::string& target)
{
    net::io_context io;
    beast::tcp_stream stream(io);
    stream.connect(tcp::endpoint(net::ip::make_address("127.0.0.1"), static_cast<unsigned short>(port)));
    http::request<http::empty_body> request(http::verb::get, target, 11);
    request.set(http::field::host, "127.0.0.1");
    http::write(stream, request);
    beast::flat_buffer buffer;
    http::response<http::string_body> response;
    http::read(stream, buffer, response);
    return {int(response.result_int()), std::string(response[http::field::content_type]), response.body()};
}

struct RelayClient {
    net::io_context io;
    websocket::stream<beast::tcp_stream> ws{io};
    beast::flat_buffer buffer;
    std::deque<std::string> inbox;
    bool closed = false;
    std::string reason;
    bool answerPings = true;
};

static void ReadNext(RelayClient* c)
{
    c->ws.async_read(c->buffer, [c](beast::error_code ec, size_t) {
        if (ec) {
            c->closed = true;
            c->reason = std::string(c->ws.reason().reason.c_str());
            return;
        }
        c->inbox.push_back(beast::buffers_to_string(c->buffer.data()));
        c->buffer.consume(c->buffer.size());
        ReadNext(c);
    });
}

RelayClient* ConnectClient(int port, const std::string& target)
{
    RelayClient* c = new RelayClient;
    beast::error_code ec;
    beast::get_lowest_layer(c->ws).connect(tcp::endpoint(net::ip::make_address("127.0.0.1"), static_cast<unsigned short>(port)), ec);
    if (!ec)
        c->ws.handshake("127.0.0.1:" + std::to_string(port), target, ec);
    if (ec) {
        delete c;
        return nullptr;
    }
    c->ws.read_message_max(64 << 20);
    ReadNext(c);
    return c;
}

static void Write(RelayClient* c, const std::string& bytes, bool text)
{
    if (c->closed)
        return;
    c->ws.text(text);
    bool done = false;
    c->ws.async_write(net::buffer(bytes), [&](beast::error_code, size_t) { done = true; });
    while (!done && c->io.run_one_for(std::chrono::seconds(5)))
        ;
}

void SendText(RelayClient* c, const std::string& text) { Write(c, text, true); }
void SendBinary(RelayClient* c, const std::string& bytes) { Write(c, bytes, false); }
void AnswerPings(RelayClient* c, bool answer) { c->answerPings = answer; }

bool ReadMessage(RelayClient* c, std::string& text, double seconds)
{
    const auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    for (;;) {
        while (c->inbox.empty() && !c->closed && Clock::now() < deadline)
            c->io.run_one_until(deadline);
        if (c->inbox.empty())
            return false;
        text = std::move(c->inbox.front());
        c->inbox.pop_front();
        if (text.compare(0, 5, "ping ") != 0)
            return true;
        if (c->answerPings)
            SendText(c, "pong " + text.substr(5));
    }
}

bool ReadMessageStarting(RelayClient* c, const std::string& prefix, std::string& text, double seconds)
{
    const auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    while (ReadMessage(c, text, std::chrono::duration<double>(deadline - Clock::now()).count()))
        if (text.compare(0, prefix.size(), prefix) == 0)
            return true;
    return false;
}

bool IsClosed(RelayClient* c, std::string& reason)
{
    reason = c->reason;
    return c->closed;
}

void CloseClient(RelayClient* c)
{
    beast::error_code ec;
    beast::get_lowest_layer(c->ws).socket().close(ec);
    c->io.poll();
    delete c;
}
