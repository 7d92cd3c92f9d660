// A hostile HTTP peer on 127.0.0.1 for download tests: it reads each request's
// head and answers with a script of raw bytes, pauses and closes, one
// connection at a time, so a test can send what no sound server would.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>

namespace zem::testing {

class ScriptedConnection {
public:
    ScriptedConnection(int socket, const std::atomic<bool>& stopping) : socket_(socket), stopping_(stopping) {}

    // False once the client has gone or the server stops.
    bool Send(std::string_view bytes) {
        while (!bytes.empty()) {
            if (stopping_) return false;
            const ssize_t sent = send(socket_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (sent <= 0) return false;
            bytes.remove_prefix(static_cast<std::size_t>(sent));
            sentBytes_ += static_cast<std::size_t>(sent);
        }
        return true;
    }

    // Waits up to `milliseconds` (the peer's own pace, not a test's timer)
    // and answers whether the client has closed its end or the server stops.
    bool WaitForClose(int milliseconds) {
        pollfd entry{socket_, POLLIN | POLLRDHUP, 0};
        for (int waited = 0; waited < milliseconds && !stopping_; waited += 20) {
            if (poll(&entry, 1, 20) > 0) {
                char byte;
                if (recv(socket_, &byte, 1, MSG_DONTWAIT) <= 0) return true;
            }
        }
        return stopping_;
    }

    std::size_t SentBytes() const { return sentBytes_; }

private:
    int socket_;
    const std::atomic<bool>& stopping_;
    std::size_t sentBytes_ = 0;
};

class ScriptedServer {
public:
    using Script = std::function<void(ScriptedConnection&)>;

    explicit ScriptedServer(Script script) : script_(std::move(script)) {
        listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            listen(listener_, 4) != 0 ||
            getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            throw std::runtime_error("cannot listen on 127.0.0.1");
        }
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~ScriptedServer() {
        stopping_ = true;
        thread_.join();
        close(listener_);
    }
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    std::string Address() const { return "http://127.0.0.1:" + std::to_string(port_); }
    // The body bytes and heads the last connection was sent.
    std::size_t LastSentBytes() const { return lastSent_; }

private:
    void Serve() {
        pollfd entry{listener_, POLLIN, 0};
        while (!stopping_) {
            if (poll(&entry, 1, 20) <= 0) continue;
            const int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0) continue;
            if (ReadRequestHead(client)) {
                ScriptedConnection connection(client, stopping_);
                script_(connection);
                lastSent_ = connection.SentBytes();
            }
            close(client);
        }
    }

    bool ReadRequestHead(int client) {
        std::string head;
        pollfd entry{client, POLLIN, 0};
        while (head.find("\r\n\r\n") == std::string::npos && !stopping_) {
            if (poll(&entry, 1, 20) <= 0) continue;
            char buffer[1024];
            const ssize_t count = recv(client, buffer, sizeof buffer, 0);
            if (count <= 0) return false;
            head.append(buffer, static_cast<std::size_t>(count));
        }
        return !stopping_;
    }

    Script script_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<std::size_t> lastSent_{0};
    std::thread thread_;
};

}  // namespace zem::testing
