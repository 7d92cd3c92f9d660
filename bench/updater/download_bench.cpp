// A 64 MiB package from the local sample server: through CFileDownload with
// the updater's window shown and pumping its messages after each report (its
// bar and percentage repainted), and through the curl tool writing the same
// file, in the same run, so that the throughputs compare directly. The
// counter "progress_us_per_MiB" is the time spent in the progress reports
// (the window's handler and the pending messages) per MiB. The desktop runs
// on the steady clock, as the program does: the window paints its progress
// once per display frame of real time.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

#include "bench/support/served_file.h"
#include "platform/forms/form.h"
#include "platform/forms/program.h"
#include "platform/system/files.h"
#include "platform/window/window_system.h"
#include "updater/form1.h"
#include "updater/updater_windows.h"

namespace {

constexpr std::size_t kPackageBytes = 64 * 1024 * 1024;

// The served package and its server, made once for the whole run, with the
// program folder the updater runs from beside it.
const zem::bench::ServedFile& Site() {
    static const zem::bench::ServedFile site("vant/app/zemdate.exe", kPackageBytes, {"program/zemskin"});
    return site;
}

// A fresh headless desktop on the steady clock for the life of the object.
struct RealTimeDesktop {
    RealTimeDesktop() {
        zem::platform::ResetWindowSystem();
        zem::platform::ConfigureDesktop(zem::platform::DesktopSettings{});
    }
    ~RealTimeDesktop() { zem::platform::ResetWindowSystem(); }
    RealTimeDesktop(const RealTimeDesktop&) = delete;
    RealTimeDesktop& operator=(const RealTimeDesktop&) = delete;
};

// The updater's window, shown with its bar and percentage, on a headless desktop.
struct UpdaterWindow {
    UpdaterWindow() : programFolder(Site().Path("program")), form(Show()) {}
    ~UpdaterWindow() {
        zem::forms::DiscardAllForms();
        zem::forms::ResetProgramState();
    }
    static Form1& Show() {
        zem::updater::RegisterUpdaterWindows();
        zem::forms::SetEndAction([] { zem::forms::UnloadAllFormsSilently(); });
        zem::forms::SetCommand("1.4###shengji###");
        zem::forms::ShowStartUpForm<Form1>();
        Form1& shown = zem::forms::FormInstance<Form1>::Get();
        shown.S.SetVisible(true);
        shown.Label3.SetVisible(true);
        return shown;
    }
    RealTimeDesktop desktop;
    zem::platform::ScopedProgramFolder programFolder;
    Form1& form;
};

// The download object with the time of each of its reports measured.
class TimedDownload : public CFileDownload {
public:
    HRESULT OnProgress(ULONG progress, ULONG maximum, ULONG status, LPCWSTR text) override {
        const auto start = std::chrono::steady_clock::now();
        const HRESULT result = CFileDownload::OnProgress(progress, maximum, status, text);
        spent += std::chrono::steady_clock::now() - start;
        ++reports;
        return result;
    }
    std::chrono::steady_clock::duration spent{};
    long reports = 0;
};

void BM_FileDownloadWithWindow(benchmark::State& state) {
    UpdaterWindow window;
    Form1& form = window.form;
    auto download = zem::platform::MakeCom<TimedDownload>();
    download->OnProgressEvent = [&form](std::int32_t p, std::int32_t m, std::int32_t s, std::int32_t c,
                                        const std::string& t) { form.oDownload_OnProgress(p, m, s, c, t); };
    const std::string target = PackageDestination(Site().Url());
    for (auto _ : state) {
        if (!download->StartDownloading(Site().Url(), target)) {
            state.SkipWithError("download failed");
            break;
        }
    }
    const double mebibytes = static_cast<double>(state.iterations()) * kPackageBytes / (1024.0 * 1024.0);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kPackageBytes));
    state.counters["reports"] =
        benchmark::Counter(static_cast<double>(download->reports), benchmark::Counter::kAvgIterations);
    state.counters["progress_us_per_MiB"] =
        std::chrono::duration<double, std::micro>(download->spent).count() / (mebibytes > 0 ? mebibytes : 1);
}

// One progress report's handling alone: the window's handler, then the
// pending messages (the bar's and the percentage's repaints, once a frame).
void BM_ProgressReport(benchmark::State& state) {
    UpdaterWindow window;
    Form1& form = window.form;
    std::int32_t progress = 0;
    for (auto _ : state) {
        progress = (progress + 16384) % static_cast<std::int32_t>(kPackageBytes);
        form.oDownload_OnProgress(progress, static_cast<std::int32_t>(kPackageBytes), 0, 0, "");
        zem::forms::DoEvents();
    }
}

void BM_CurlTool(benchmark::State& state) {
    zem::bench::MeasureCurlDownloads(state, Site(), Site().Path("program/curl.bin"));
}

BENCHMARK(BM_FileDownloadWithWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_ProgressReport)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CurlTool)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace
