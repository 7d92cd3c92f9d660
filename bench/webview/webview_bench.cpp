// The web-browser control on the real engine, under an X server of its own:
// time from Navigate to DocumentComplete and to the page's pixels in the
// window surface (a local page and a server page), memory of the whole process
// tree with one view and with seven, frames per second of a wheel scroll, and
// the program's processor time while idle.
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/drawing/window_painting.h"
#include "platform/forms/form.h"
#include "platform/forms/web_browser.h"
#include "platform/system/files.h"
#include "platform/webview/engine_loop.h"
#include "platform/window/test_desktop.h"
#include "platform/window/user32.h"
#include "platform/window/window_system.h"
#include "site/sample_server.h"
#include "tests/support/xvfb_server.h"

namespace zem::forms {
namespace {

using Clock = std::chrono::steady_clock;

class BenchForm : public Form {
public:
    static FormDesign Design() {
        FormDesign design;
        design.clientWidth = 800;
        design.clientHeight = 500;
        return design;
    }
    BenchForm() : Form(Design()) { SetScaleMode(vbPixels); }
};

// Everything one run needs, made once: the X server, the content server, the desktop.
struct Stage {
    testing::XvfbServer xserver;
    site::SampleServer server{[] {
        site::ServerOptions options;
        options.contentFolder = ZEM_WEBVIEW_PAGES;
        return options;
    }()};
    platform::TestDesktop desktop;
    Stage() {
        unsetenv("ZEM_HEADLESS");
        xserver.Export();
        server.Start();
    }
    static Stage& Get() {
        static Stage* stage = new Stage;  // ends with the program (its server's kept-alive connections)
        return *stage;
    }
    std::string Page(const std::string& name) const { return server.Address() + "/" + name; }
};

bool Pump(const std::function<bool()>& done, platform::Milliseconds limit = 20000) {
    return platform::PumpMessagesUntil(done, limit);
}

// The benchmark's window, shown, or nothing (the benchmark skipped) when the
// engine cannot run. The first call starts the run's stage.
BenchForm* ShowForm(benchmark::State& state) {
    Stage::Get();
    if (!platform::webview::EngineAvailable()) {
        state.SkipWithError("no X server");
        return nullptr;
    }
    BenchForm& form = FormInstance<BenchForm>::Get();
    form.Show();
    return &form;
}

// A view over the whole window.
std::unique_ptr<WebBrowser> MakeView(BenchForm& form) {
    auto browser = std::make_unique<WebBrowser>(form, "View");
    browser->Move(0, 0, 800, 500);
    return browser;
}

// Navigates `browser` to `page`; false when no DocumentComplete came.
bool LoadPage(WebBrowser& browser, const std::string& page) {
    bool complete = false;
    browser.OnDocumentComplete = [&](WebBrowserObject&, const std::string&) { complete = true; };
    browser.Navigate(page);
    const bool loaded = Pump([&] { return complete; });
    browser.OnDocumentComplete = nullptr;
    return loaded;
}

// Time to DocumentComplete, then to the script's red box in the window's surface.
void MeasureLoad(benchmark::State& state, const std::string& page, bool vary) {
    BenchForm* form = ShowForm(state);
    if (form == nullptr) return;
    auto browser = MakeView(*form);
    double toPixelsTotal = 0;
    int round = 0;
    for (auto _ : state) {
        (void)_;
        bool complete = false;
        browser->OnDocumentComplete = [&](WebBrowserObject& pDisp, const std::string&) {
            complete = pDisp.Browser() == browser.get();
        };
        // Each round a fresh address and a white box to wait for.
        if (platform::Bitmap* surface = platform::WindowSurface(browser->hWnd())) surface->Set(120, 30, 0);
        const auto start = Clock::now();
        browser->Navigate(vary ? page + "?round=" + std::to_string(round++) : page);
        if (!Pump([&] { return complete; })) state.SkipWithError("no DocumentComplete");
        const auto completed = Clock::now();
        if (!Pump([&] {
                platform::Bitmap* surface = platform::WindowSurface(browser->hWnd());
                return surface != nullptr && surface->At(120, 30) == 0xCC0000;
            }))
            state.SkipWithError("the page's pixels never came");
        const auto painted = Clock::now();
        state.SetIterationTime(std::chrono::duration<double>(completed - start).count());
        toPixelsTotal += std::chrono::duration<double, std::milli>(painted - start).count();
    }
    state.counters["to_pixels_ms"] = toPixelsTotal / static_cast<double>(state.iterations());
    browser.reset();
    DiscardAllForms();
}

void BM_NavigateToDocumentComplete_ServerPage(benchmark::State& state) {
    MeasureLoad(state, Stage::Get().Page("styled.html"), true);
}
void BM_NavigateToDocumentComplete_LocalPage(benchmark::State& state) {
    // A path in the program's own style, as the windows give one; the
    // program opens local pages of its own folder only.
    const platform::ScopedProgramFolder folder(ZEM_WEBVIEW_PAGES);
    std::string path = std::string(ZEM_WEBVIEW_PAGES) + "/styled.html";
    std::replace(path.begin(), path.end(), '/', '\\');
    MeasureLoad(state, path, false);
}
BENCHMARK(BM_NavigateToDocumentComplete_ServerPage)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NavigateToDocumentComplete_LocalPage)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);

// PSS of this process and every process below it, in KiB.
long ProcessTreePss() {
    std::map<long, long> parents;
    DIR* folder = opendir("/proc");
    while (dirent* entry = folder != nullptr ? readdir(folder) : nullptr) {
        const long pid = std::atol(entry->d_name);
        if (pid <= 0) continue;
        std::ifstream status("/proc/" + std::to_string(pid) + "/status");
        std::string line;
        while (std::getline(status, line))
            if (line.starts_with("PPid:")) parents[pid] = std::atol(line.c_str() + 5);
    }
    if (folder != nullptr) closedir(folder);
    long total = 0;
    for (const auto& [pid, parent] : parents) {
        long up = pid;
        for (int depth = 0; depth < 64 && up > 1 && up != getpid(); ++depth) up = parents.count(up) ? parents[up] : 0;
        if (up != getpid()) continue;
        std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
        std::string line;
        while (std::getline(rollup, line))
            if (line.starts_with("Pss:")) total += std::atol(line.c_str() + 4);
    }
    return total;
}

// Memory with `views` views of one window, each showing a page. The engine
// process tree is the program's for the rest of the run: run this benchmark
// on its own (--benchmark_filter) for a figure from a fresh start.
void BM_ProcessTreeMemory(benchmark::State& state) {
    BenchForm* form = ShowForm(state);
    if (form == nullptr) return;
    std::vector<std::unique_ptr<WebBrowser>> browsers;
    for (auto _ : state) {
        (void)_;
        for (int index = 0; index < state.range(0); ++index) {
            browsers.push_back(std::make_unique<WebBrowser>(*form, "View" + std::to_string(index)));
            browsers.back()->Move(0, 0, 400, 300);
            if (!LoadPage(*browsers.back(), Stage::Get().Page("styled.html?view=" + std::to_string(index))))
                state.SkipWithError("a view did not load");
        }
        Pump([] { return false; }, 1500);  // settle
    }
    state.counters["pss_mib"] = static_cast<double>(ProcessTreePss()) / 1024.0;
    browsers.clear();
    DiscardAllForms();
}
BENCHMARK(BM_ProcessTreeMemory)->Arg(1)->Arg(7)->Iterations(1)->Unit(benchmark::kMillisecond);

// Frames of a wheel scroll: the view's paints while a notch turns every 16 ms.
int g_paints = 0;
WNDPROC g_previousProcedure = nullptr;
LRESULT CountPaints(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) ++g_paints;
    return CallWindowProcA(g_previousProcedure, window, message, wParam, lParam);
}

void BM_WheelScrollFramesPerSecond(benchmark::State& state) {
    BenchForm* form = ShowForm(state);
    if (form == nullptr) return;
    auto browser = MakeView(*form);
    LoadPage(*browser, Stage::Get().Page("huge.html"));
    g_previousProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(browser->hWnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountPaints)));
    POINT point{400, 250};
    ClientToScreen(browser->hWnd(), &point);
    double frames = 0;
    double seconds = 0;
    for (auto _ : state) {
        (void)_;
        g_paints = 0;
        const auto start = Clock::now();
        auto nextNotch = start;
        while (Clock::now() - start < std::chrono::seconds(2)) {
            if (Clock::now() >= nextNotch) {
                platform::QueueInput({platform::InputEvent::Kind::Wheel, point, platform::MouseButton::Left, -60});
                nextNotch += std::chrono::milliseconds(16);
            }
            platform::PumpMessagesUntil([&] { return Clock::now() >= nextNotch; }, 16);
        }
        seconds += std::chrono::duration<double>(Clock::now() - start).count();
        frames += g_paints;
    }
    state.counters["frames_per_second"] = frames / seconds;
    SetWindowLongPtrA(browser->hWnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_previousProcedure));
    browser.reset();
    DiscardAllForms();
}
BENCHMARK(BM_WheelScrollFramesPerSecond)->Iterations(1)->Unit(benchmark::kMillisecond);

// Processor time of the program while it idles in its event loop with a
// scrollable page shown: the loop sleeps in one poll over GLib's descriptors.
void BM_IdleProcessorShare(benchmark::State& state) {
    BenchForm* form = ShowForm(state);
    if (form == nullptr) return;
    auto browser = MakeView(*form);
    LoadPage(*browser, Stage::Get().Page("tall.html"));
    Pump([] { return false; }, 1000);  // settle
    double share = 0;
    for (auto _ : state) {
        (void)_;
        const std::clock_t cpuStart = std::clock();
        const auto start = Clock::now();
        Pump([] { return false; }, 3000);
        const double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        share = 100.0 * cpu / std::chrono::duration<double>(Clock::now() - start).count();
    }
    state.counters["ui_process_cpu_percent"] = share;
    browser.reset();
    DiscardAllForms();
}
BENCHMARK(BM_IdleProcessorShare)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zem::forms
