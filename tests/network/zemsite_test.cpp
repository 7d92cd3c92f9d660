// The zemsite program as the start script runs it: it says it serves only once
// it listens, and a port another server holds ends it with a failure, whether
// or not that server offers to share the port.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <string>

#include "tests/support/event_wait.h"
#include "tests/support/process_namespace.h"

namespace {

using zem::testing::kEventWait;
using zem::testing::kEventWaitMilliseconds;

// A listening socket of the test's own on 127.0.0.1, on a port the system picks.
class HeldPort {
public:
    explicit HeldPort(bool shared) : socket_(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        int yes = 1;
        if (shared) setsockopt(socket_, SOL_SOCKET, SO_REUSEPORT, &yes, sizeof yes);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (bind(socket_, reinterpret_cast<sockaddr*>(&address), length) == 0 && listen(socket_, 8) == 0 &&
            getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            port_ = ntohs(address.sin_port);
    }
    ~HeldPort() { Release(); }
    HeldPort(const HeldPort&) = delete;
    HeldPort& operator=(const HeldPort&) = delete;

    int Port() const { return port_; }
    void Release() {
        if (socket_ >= 0) close(socket_);
        socket_ = -1;
    }

private:
    int socket_;
    int port_ = 0;
};

bool Connects(int port) {
    const int client = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    const bool connected = connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(client);
    return connected;
}

// zemsite on a port, its output and errors read through a pipe; ended with
// the object.
class Zemsite {
public:
    explicit Zemsite(int port) {
        int ends[2];
        if (pipe2(ends, O_CLOEXEC) != 0) return;
        output_ = ends[0];
        id_ = zem::testing::SpawnProgram({ZEM_SITE_PROGRAM, "--port", std::to_string(port)}, {}, ends[1]);
        close(ends[1]);
    }
    ~Zemsite() {
        if (id_ > 0 && !zem::testing::WaitForExit(id_, 0)) {
            kill(id_, SIGTERM);
            zem::testing::WaitForExit(id_, kEventWaitMilliseconds);
        }
        if (output_ >= 0) close(output_);
    }
    Zemsite(const Zemsite&) = delete;
    Zemsite& operator=(const Zemsite&) = delete;

    bool Started() const { return id_ > 0; }
    // Reads the output until a line holds `text` (true) or the program's
    // output ends; the output so far in `read`.
    bool ReadUntil(const std::string& text) {
        const auto deadline = std::chrono::steady_clock::now() + kEventWait;
        for (;;) {
            const std::size_t line = read_.rfind('\n');
            if (line != std::string::npos && read_.substr(0, line).find(text) != std::string::npos) return true;
            pollfd readable{output_, POLLIN, 0};
            if (poll(&readable, 1, zem::testing::MillisecondsUntil(deadline)) != 1) return false;
            char buffer[512];
            const ssize_t count = ::read(output_, buffer, sizeof buffer);
            if (count <= 0) return false;
            read_.append(buffer, static_cast<std::size_t>(count));
        }
    }
    const std::string& Output() const { return read_; }
    std::optional<int> Exit() { return zem::testing::WaitForExit(id_, kEventWaitMilliseconds); }

private:
    pid_t id_ = -1;
    int output_ = -1;
    std::string read_;
};

TEST(Zemsite, APortAnotherServerHoldsEndsItWithAFailureBeforeItSaysItServes) {
    for (const bool shared : {false, true}) {
        SCOPED_TRACE(shared ? "the other server shares its port" : "the other server keeps its port");
        HeldPort other(shared);
        ASSERT_NE(other.Port(), 0);
        Zemsite site(other.Port());
        ASSERT_TRUE(site.Started());
        EXPECT_FALSE(site.ReadUntil("serving")) << site.Output();
        EXPECT_NE(site.Output().find("cannot listen on 127.0.0.1:" + std::to_string(other.Port())), std::string::npos)
            << site.Output();
        const std::optional<int> status = site.Exit();
        ASSERT_TRUE(status.has_value()) << "zemsite went on";
        EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) != 0) << *status;
    }
}

TEST(Zemsite, SaysItServesOnceItListens) {
    HeldPort free(false);
    const int port = free.Port();
    ASSERT_NE(port, 0);
    free.Release();
    Zemsite site(port);
    ASSERT_TRUE(site.Started());
    ASSERT_TRUE(site.ReadUntil("zemsite: serving")) << site.Output();
    EXPECT_NE(site.Output().find("on http://127.0.0.1:" + std::to_string(port)), std::string::npos) << site.Output();
    EXPECT_TRUE(Connects(port)) << "the line came before the port listened";
}

}  // namespace
