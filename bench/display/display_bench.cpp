// The desktop display on a virtual X server of its own: the time from a paint
// of a whole 1067 x 665 window to its pixels at the server, and the processor
// time a shown window takes while idle.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>

#include "platform/base/event_loop.h"
#include "platform/display/display.h"
#include "platform/drawing/gdi.h"
#include "platform/drawing/window_painting.h"
#include "platform/window/user32.h"
#include "platform/window/window_system.h"
#include "tests/support/xvfb_server.h"

namespace {

COLORREF g_fill = RGB(10, 20, 30);

LRESULT PaintProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        HBRUSH brush = CreateSolidBrush(g_fill);
        FillRect(dc, &paint.rcPaint, brush);
        DeleteObject(brush);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

struct ShownMainWindow {
    zem::testing::XvfbServer server{"1366x768x24"};
    HWND window = nullptr;
    ShownMainWindow() {
        zem::platform::StartDesktopDisplay(server.Name().c_str());
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = PaintProc;
        windowClass.lpszClassName = "BenchMain";
        RegisterClassA(&windowClass);
        window = CreateWindowExA(WS_EX_APPWINDOW, "BenchMain", "main", WS_POPUP | WS_VISIBLE, 150, 50, 1067, 665,
                                 nullptr, nullptr, nullptr, nullptr);
        zem::platform::PumpMessagesUntil([&] { return zem::platform::XWindowOf(window) != 0; });
    }
    ~ShownMainWindow() {
        DestroyWindow(window);
        zem::platform::StopDesktopDisplay();
    }
};

// One paint of the whole window, then the loop's step before it waits, which
// composes and sends what changed and returns once the server has it.
void BM_PaintWholeMainWindowToTheServer(benchmark::State& state) {
    ShownMainWindow shown;
    int step = 0;
    for (auto _ : state) {
        g_fill = RGB(step & 0xFF, (step * 7) & 0xFF, 99);
        ++step;
        InvalidateRect(shown.window, nullptr, FALSE);
        zem::platform::ProcessPendingMessages();
        zem::platform::EventLoop::Get().WaitForEvents(0);
    }
}
BENCHMARK(BM_PaintWholeMainWindowToTheServer)->Unit(benchmark::kMillisecond);

double ProcessorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A shown window with nothing to do for 10 s: the share of one processor used.
void BM_IdleShownWindowFor10Seconds(benchmark::State& state) {
    ShownMainWindow shown;
    for (auto _ : state) {
        const double before = ProcessorSeconds();
        zem::platform::PumpMessagesUntil([] { return false; }, 10'000);
        state.counters["cpu_percent"] = (ProcessorSeconds() - before) / 10.0 * 100.0;
    }
}
BENCHMARK(BM_IdleShownWindowFor10Seconds)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
