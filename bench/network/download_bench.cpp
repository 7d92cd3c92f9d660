// A 64 MiB download from the local sample server: through URLDownloadToFileA
// with a progress callback, and through the curl tool writing the same file,
// in the same run, so that their throughputs compare directly.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/support/served_file.h"
#include "platform/network/urlmon.h"

namespace {

constexpr std::size_t kFileBytes = 64 * 1024 * 1024;

// The served file and its server, made once for the whole run.
const zem::bench::ServedFile& Site() {
    static const zem::bench::ServedFile site("big.bin", kFileBytes, {"out"});
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
    const std::string target = Site().Path("out/platform.bin");
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
    zem::bench::MeasureCurlDownloads(state, Site(), Site().Path("out/tool.bin"));
}

BENCHMARK(BM_URLDownloadToFileA)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_CurlTool)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace
