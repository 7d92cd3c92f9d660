// What the download benchmarks share: a large file of pattern bytes served by
// the sample server on 127.0.0.1 from a temporary folder, and the curl tool's
// downloads of it, whose throughput theirs compare with.
#pragma once

#include <benchmark/benchmark.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "site/sample_server.h"

extern char** environ;

namespace zem::bench {

// `bytes` pattern bytes at `path` below a temporary folder, served from there;
// `folders` are made below it for the benchmark's own files. The folder goes
// with the object.
class ServedFile {
public:
    ServedFile(std::string path, std::size_t bytes, std::initializer_list<std::string_view> folders = {})
        : path_(std::move(path)), bytes_(bytes) {
        std::string pattern = (std::filesystem::temp_directory_path() / "zem-bench-XXXXXX").string();
        folder_ = mkdtemp(pattern.data()) ? pattern : "";
        for (std::string_view folder : folders) std::filesystem::create_directories(folder_ / folder);
        std::filesystem::create_directories((folder_ / path_).parent_path());
        std::vector<char> content(bytes);
        for (std::size_t index = 0; index < content.size(); ++index) content[index] = site::PatternByte(index);
        std::ofstream(folder_ / path_, std::ios::binary)
            .write(content.data(), static_cast<std::streamsize>(content.size()));
        server_ = std::make_unique<site::SampleServer>(site::ServerOptions{folder_.string(), false});
        server_->Start();
    }
    ~ServedFile() {
        server_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    ServedFile(const ServedFile&) = delete;
    ServedFile& operator=(const ServedFile&) = delete;

    std::string Url() const { return server_->Address() + "/" + path_; }
    std::size_t Bytes() const { return bytes_; }
    // A path below the folder.
    std::string Path(std::string_view relative) const { return (folder_ / relative).string(); }

private:
    std::string path_;
    std::size_t bytes_;
    std::filesystem::path folder_;
    std::unique_ptr<site::SampleServer> server_;
};

// Fetches `url` into `target` with the curl tool; false when it fails.
inline bool CurlDownload(const std::string& url, const std::string& target) {
    std::vector<std::string> arguments = {"curl", "--silent", "--fail", "--noproxy", "*", "-o", target, url};
    std::vector<char*> argv;
    for (auto& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    int status = 0;
    return posix_spawnp(&child, "curl", nullptr, nullptr, argv.data(), environ) == 0 &&
           waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The curl tool's downloads of `file` into `target`, one an iteration: the
// throughput the benchmarks compare theirs with.
inline void MeasureCurlDownloads(benchmark::State& state, const ServedFile& file, const std::string& target) {
    const std::string url = file.Url();
    for (auto _ : state) {
        if (!CurlDownload(url, target)) {
            state.SkipWithError("curl failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(file.Bytes()));
}

}  // namespace zem::bench
