// The sample content server: serves a content folder over HTTP on a loopback
// address, fills the server's own address into its text files, and, when
// asked, offers extra routes that misbehave on purpose for download tests.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zem::site {

// Written into the text files (the version text, the ticker file) in place of
// this mark when they are served: the server's own address, such as
// http://127.0.0.1:8080, so that the published base address points back here.
inline constexpr const char* kAddressMark = "@BASE@";

// The content folder of the source tree.
std::string DefaultContentFolder();

// Byte `index` of every body the test routes generate.
constexpr char PatternByte(std::size_t index) {
    return static_cast<char>(index % 251);
}

struct ServerOptions {
    std::string contentFolder = DefaultContentFolder();
    // Adds, under /_test/:
    //   /_test/bytes?count=N[&length=0][&cut=M][&chunk=K]  N pattern bytes, sent
    //     K at a time; length=0 sends no length (chunked); cut=M sends the
    //     length N but drops the connection after M bytes.
    //   /_test/status?code=N  an empty answer with that HTTP status.
    bool testRoutes = false;
};

class SampleServer {
public:
    explicit SampleServer(ServerOptions options = {});
    ~SampleServer();
    SampleServer(const SampleServer&) = delete;
    SampleServer& operator=(const SampleServer&) = delete;

    // Listens on 127.0.0.1:port (0 picks a free port) and serves on a thread
    // of its own until Stop. False when the port cannot be had.
    bool Start(int port = 0);
    // Listens on 127.0.0.1:port, then calls `listening` and serves on the
    // calling thread until Stop from elsewhere (the program). False at once
    // when the port cannot be had.
    bool Run(int port, const std::function<void()>& listening = {});
    void Stop();

    int Port() const;
    // http://127.0.0.1:PORT
    std::string Address() const;
    // The target (path and query, as sent) of every request received so far,
    // in the order they arrived.
    std::vector<std::string> RequestedTargets() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Text with every kAddressMark replaced by `address`, reading `text` as GBK:
// a double-byte character's second byte is never taken for part of a mark.
std::string FillAddressMark(const std::string& text, const std::string& address);

}  // namespace zem::site
