// The cost of one message: through a three-deep hook chain, through the
// instance thunk, and, for scale, a plain virtual call.
#include <array>

#include <benchmark/benchmark.h>

#include "controls/public_data.h"
#include "platform/window/test_desktop.h"

namespace {

LRESULT Base(HWND, UINT message, WPARAM wParam, LPARAM) { return static_cast<LRESULT>(message + wParam); }

std::array<WNDPROC, 3> g_saved{};
template <int Index>
LRESULT Hook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(g_saved[Index], window, message, wParam, lParam);
}

HWND MakeHost() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = Base;
    windowClass.lpszClassName = "BenchHost";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, "BenchHost", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
}

void HookChainOfThree(benchmark::State& state) {
    zem::platform::TestDesktop desktop;
    HWND window = MakeHost();
    const std::array<WNDPROC, 3> hooks = {Hook<0>, Hook<1>, Hook<2>};
    for (int index = 0; index < 3; ++index)
        g_saved[index] = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(hooks[index])));
    WPARAM value = 0;
    for (auto _ : state) benchmark::DoNotOptimize(SendMessageA(window, WM_USER, ++value, 0));
}
BENCHMARK(HookChainOfThree);

class Control {
public:
    explicit Control(HWND window) : window_(window) {
        PublicData::HookWindow(thunk_, window, this, &PublicData::ThunkEntry<Control>);
    }
    ~Control() { PublicData::UnhookWindow(thunk_, window_); }
    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        return CallWindowProcA(thunk_.OldProc, window, message, wParam, lParam);
    }

private:
    HWND window_;
    PublicData::SubclassThunk thunk_;
};

void ThroughTheThunk(benchmark::State& state) {
    zem::platform::TestDesktop desktop;
    HWND window = MakeHost();
    Control control(window);
    WPARAM value = 0;
    for (auto _ : state) benchmark::DoNotOptimize(SendMessageA(window, WM_USER, ++value, 0));
}
BENCHMARK(ThroughTheThunk);

struct Handler {
    virtual ~Handler() = default;
    virtual LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
};
struct Concrete : Handler {
    [[gnu::noinline]] LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        return Base(window, message, wParam, lParam);
    }
};

struct Other : Handler {
    [[gnu::noinline]] LRESULT Handle(HWND, UINT, WPARAM, LPARAM) override { return 0; }
};

void PlainVirtualCall(benchmark::State& state) {
    Concrete concrete;
    Other other;
    // Which one is called is known only at run time, so the call stays virtual.
    int choice = 0;
    benchmark::DoNotOptimize(choice);
    Handler* handler = choice == 0 ? static_cast<Handler*>(&concrete) : &other;
    WPARAM value = 0;
    for (auto _ : state) benchmark::DoNotOptimize(handler->Handle(nullptr, WM_USER, ++value, 0));
}
BENCHMARK(PlainVirtualCall);

}  // namespace
