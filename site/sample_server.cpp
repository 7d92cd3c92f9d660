#include "site/sample_server.h"

#include "site/guest_book.h"

#include <httplib.h>
#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <sstream>
#include <thread>
#include <vector>

namespace zem::site {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kWholeFileLimit = 1024 * 1024;
constexpr std::size_t kFileChunkBytes = 1024 * 1024;
constexpr std::size_t kGeneratedLimit = std::size_t{1} << 30;

std::string ContentType(const fs::path& file) {
    const std::string extension = file.extension().string();
    if (extension == ".html" || extension == ".htm" || extension == ".asp")
        return "text/html; charset=utf-8";
    if (extension == ".txt") return "text/plain; charset=gbk";
    if (extension == ".css") return "text/css; charset=utf-8";
    if (extension == ".js") return "application/javascript; charset=utf-8";
    if (extension == ".jpg" || extension == ".jpeg") return "image/jpeg";
    if (extension == ".png") return "image/png";
    if (extension == ".gif") return "image/gif";
    return "application/octet-stream";
}

// The file under `root` that a decoded request path names, or nothing when
// the path tries to leave the folder.
std::optional<fs::path> ResolveInside(const fs::path& root, const std::string& requestPath) {
    fs::path resolved = root;
    std::stringstream segments(requestPath);
    std::string segment;
    while (std::getline(segments, segment, '/')) {
        if (segment.empty() || segment == ".") continue;
        if (segment == ".." || segment.find('\0') != std::string::npos) return std::nullopt;
        resolved /= segment;
    }
    return resolved;
}

std::optional<std::string> ReadWholeFile(const fs::path& file) {
    std::ifstream stream(file, std::ios::binary);
    if (!stream) return std::nullopt;
    std::ostringstream bytes;
    bytes << stream.rdbuf();
    return bytes.str();
}

std::size_t NumberParameter(const httplib::Request& request, const char* name,
                            std::size_t fallback) {
    if (!request.has_param(name)) return fallback;
    try {
        return static_cast<std::size_t>(std::stoull(request.get_param_value(name)));
    } catch (...) {
        return fallback;
    }
}

void FillPattern(std::vector<char>& buffer, std::size_t offset, std::size_t count) {
    buffer.resize(count);
    for (std::size_t index = 0; index < count; ++index) buffer[index] = PatternByte(offset + index);
}

}  // namespace

std::string DefaultContentFolder() {
    return ZEM_SITE_CONTENT_FOLDER;
}

std::string FillAddressMark(const std::string& text, const std::string& address) {
    const std::string mark = kAddressMark;
    std::string result;
    result.reserve(text.size());
    std::size_t index = 0;
    while (index < text.size()) {
        const auto byte = static_cast<unsigned char>(text[index]);
        if (byte >= 0x81 && byte <= 0xFE && index + 1 < text.size()) {
            result.append(text, index, 2);  // a double-byte character, kept whole
            index += 2;
        } else if (text.compare(index, mark.size(), mark) == 0) {
            result += address;
            index += mark.size();
        } else {
            result += text[index++];
        }
    }
    return result;
}

struct SampleServer::State {
    ServerOptions options;
    httplib::Server server;
    std::thread thread;
    int port = 0;
    mutable std::mutex logMutex;
    std::vector<std::string> requestLog;
    GuestBook guestBook;

    void ServeFile(const httplib::Request& request, httplib::Response& response) {
        const auto resolved = ResolveInside(options.contentFolder, request.path);
        if (!resolved) {
            response.status = 403;
            return;
        }
        fs::path file = *resolved;
        std::error_code error;
        if (fs::is_directory(file, error)) {
            if (request.path.empty() || request.path.back() != '/') {
                response.set_redirect(request.path + "/", 301);
                return;
            }
            file /= "index.html";
        }
        if (!fs::is_regular_file(file, error)) {
            response.status = 404;
            response.set_content("not found", "text/plain");
            return;
        }
        const std::uintmax_t size = fs::file_size(file, error);
        if (error) {
            response.status = 500;
            return;
        }
        const std::string type = ContentType(file);
        if (file.extension() == ".txt" || size <= kWholeFileLimit) {
            auto bytes = ReadWholeFile(file);
            if (!bytes) {
                response.status = 500;
                return;
            }
            if (file.extension() == ".txt") *bytes = FillAddressMark(*bytes, Address());
            if (const std::size_t mark = bytes->find(kMessagesMark); mark != std::string::npos)
                bytes->replace(mark, std::string_view(kMessagesMark).size(), guestBook.Render());
            response.set_content(std::move(*bytes), type.c_str());
            return;
        }
        auto stream = std::make_shared<std::ifstream>(file, std::ios::binary);
        auto buffer = std::make_shared<std::vector<char>>(kFileChunkBytes);
        response.set_content_provider(
            static_cast<std::size_t>(size), type,
            [stream, buffer](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                stream->seekg(static_cast<std::streamoff>(offset));
                const std::size_t wanted = std::min(length, buffer->size());
                stream->read(buffer->data(), static_cast<std::streamsize>(wanted));
                const auto got = static_cast<std::size_t>(stream->gcount());
                return got > 0 && sink.write(buffer->data(), got);
            });
    }

    static void ServeBytes(const httplib::Request& request, httplib::Response& response) {
        const std::size_t count = std::min(NumberParameter(request, "count", 0), kGeneratedLimit);
        const std::size_t chunk =
            std::clamp<std::size_t>(NumberParameter(request, "chunk", 65536), 1, 1 << 20);
        const std::size_t cut = NumberParameter(request, "cut", count + 1);
        const bool withLength = NumberParameter(request, "length", 1) != 0;
        auto buffer = std::make_shared<std::vector<char>>();
        // Sends from `offset` on; false drops the connection at the cut.
        auto send = [count, chunk, cut, buffer](std::size_t offset, std::size_t room,
                                                httplib::DataSink& sink) {
            if (offset >= cut) return false;
            const std::size_t n = std::min({room, chunk, count - offset, cut - offset});
            FillPattern(*buffer, offset, n);
            return sink.write(buffer->data(), n);
        };
        if (withLength && count == 0) {
            response.set_content("", "application/octet-stream");
        } else if (withLength) {
            response.set_content_provider(
                count, "application/octet-stream",
                [send](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                    return send(offset, length, sink);
                });
        } else {
            response.set_chunked_content_provider(
                "application/octet-stream",
                [send, count](std::size_t offset, httplib::DataSink& sink) {
                    if (offset >= count) {
                        sink.done();
                        return true;
                    }
                    return send(offset, count - offset, sink);
                });
        }
    }

    std::string Address() const { return "http://127.0.0.1:" + std::to_string(port); }

    void AddRoutes() {
        server.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response&) {
            const std::lock_guard<std::mutex> lock(logMutex);
            requestLog.push_back(request.target);
            return httplib::Server::HandlerResponse::Unhandled;
        });
        if (options.testRoutes) {
            server.Get("/_test/bytes",
                       [](const httplib::Request& request, httplib::Response& response) {
                           ServeBytes(request, response);
                       });
            server.Get(
                "/_test/status", [](const httplib::Request& request, httplib::Response& response) {
                    response.status = static_cast<int>(NumberParameter(request, "code", 500));
                });
        }
        // A message left on a guest-book page goes into the book, and the
        // browser is sent back to the page, which now shows it.
        server.Post(".*", [this](const httplib::Request& request, httplib::Response& response) {
            const auto page = ResolveInside(options.contentFolder, request.path);
            std::error_code error;
            if (!page || !fs::is_regular_file(*page, error)) {
                response.status = 404;
                return;
            }
            const auto bytes = ReadWholeFile(*page);
            if (!bytes || bytes->find(kMessagesMark) == std::string::npos) {
                response.status = 405;
                return;
            }
            guestBook.Add(request.get_param_value("name"), request.get_param_value("text"));
            response.set_redirect(request.path, 303);
        });
        server.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
            ServeFile(request, response);
        });
    }
};

SampleServer::SampleServer(ServerOptions options) : state_(std::make_unique<State>()) {
    state_->options = std::move(options);
    // The library's default shares the port (SO_REUSEPORT) with any other
    // socket that asks the same: a second server would then take half of the
    // first one's connections. Only a port left in TIME_WAIT may be had again.
    state_->server.set_socket_options([](socket_t socket) {
        int yes = 1;
        setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    state_->AddRoutes();
}

SampleServer::~SampleServer() {
    Stop();
}

bool SampleServer::Start(int port) {
    if (state_->thread.joinable()) return false;
    if (port == 0) {
        port = state_->server.bind_to_any_port("127.0.0.1");
        if (port <= 0) return false;
    } else if (!state_->server.bind_to_port("127.0.0.1", port)) {
        return false;
    }
    state_->port = port;
    state_->thread = std::thread([this] { state_->server.listen_after_bind(); });
    return true;
}

bool SampleServer::Run(int port, const std::function<void()>& listening) {
    if (!state_->server.bind_to_port("127.0.0.1", port)) return false;
    state_->port = port;
    if (listening) listening();
    return state_->server.listen_after_bind();
}

void SampleServer::Stop() {
    if (!state_->thread.joinable()) return;
    // A stop that came before the listening loop began would be lost.
    while (!state_->server.is_running()) std::this_thread::yield();
    state_->server.stop();
    state_->thread.join();
}

int SampleServer::Port() const {
    return state_->port;
}

std::string SampleServer::Address() const {
    return state_->Address();
}

std::vector<std::string> SampleServer::RequestedTargets() const {
    const std::lock_guard<std::mutex> lock(state_->logMutex);
    return state_->requestLog;
}

}  // namespace zem::site
