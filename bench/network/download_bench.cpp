// A 64 MiB download from the local sample server: through URLDownloadToFileA
// with a progress callback, and through the curl tool writing the same file,
// in the same run, so that their throughputs compare directly.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/network/urlmon.h"
#include "site/sample_server.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kFileBytes = 64 * 1024 * 1024;

// The served file and its server, made once for the whole run.
class BenchSite {
public:
    BenchSite() {
        std::string pattern = (fs::temp_directory_path() / "zem-bench-XXXXXX").string();
        folder_ = mkdtemp(pattern.data()) ? pattern : "";
        std::vector<char> bytes(kFileBytes);
        for (std::size_t index = 0; index < bytes.size(); ++index)
            bytes[index] = zem::site::PatternByte(index);
        std::ofstream(folder_ / "big.bin", std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        fs::create_directory(folder_ / "out");
        server_ = std::make_unique<zem::site::SampleServer>(
            zem::site::ServerOptions{folder_.string(), false});
        server_->Start();
    }
    ~BenchSite() {
        server_.reset();
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    std::string Url() const { return server_->Address() + "/big.bin"; }
    std::string Target(const char* name) const { return (folder_ / "out" / name).string(); }

private:
    fs::path folder_;
    std::unique_ptr<zem::site::SampleServer> server_;
};

BenchSite& Site() {
    static BenchSite site;
    return site;
}

// Stands where the updater will pump its window messages after each report.
__attribute__((noinline)) void AfterProgress(ULONG progress) {
    benchmark::DoNotOptimize(progress);
}

class PumpingCallback : public zem::platform::BindStatusCallback {
public:
    HRESULT OnProgress(ULONG progress, ULONG, ULONG, LPCWSTR) override {
        ++reports;
        AfterProgress(progress);
        return S_OK;
    }
    long reports = 0;
};

void BM_URLDownloadToFileA(benchmark::State& state) {
    const std::string url = Site().Url();
    const std::string target = Site().Target("platform.bin");
    auto callback = zem::platform::MakeCom<PumpingCallback>();
    for (auto _ : state) {
        if (URLDownloadToFileA(nullptr, url.c_str(), target.c_str(), 0, callback.Get()) != S_OK) {
            state.SkipWithError("download failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(kFileBytes));
    state.counters["reports"] = benchmark::Counter(static_cast<double>(callback->reports),
                                                   benchmark::Counter::kAvgIterations);
}

void BM_CurlTool(benchmark::State& state) {
    const std::string url = Site().Url();
    const std::string target = Site().Target("tool.bin");
    for (auto _ : state) {
        std::vector<std::string> arguments = {"curl", "--silent", "--fail", "--noproxy",
                                              "*",    "-o",       target,   url};
        std::vector<char*> argv;
        for (auto& argument : arguments) argv.push_back(argument.data());
        argv.push_back(nullptr);
        pid_t child = 0;
        int status = 0;
        if (posix_spawnp(&child, "curl", nullptr, nullptr, argv.data(), environ) != 0 ||
            waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("curl failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(kFileBytes));
}

BENCHMARK(BM_URLDownloadToFileA)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_CurlTool)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace
