#include <gtest/gtest.h>

#include "platform/window/test_desktop.h"
#include "platform/window/user32.h"
#include "tests/window/recorder.h"

using namespace window_test;
using zem::platform::TestDesktop;

namespace {

class Messages : public ::testing::Test {
protected:
    void SetUp() override {
        Log().clear();
        RegisterRecordingClass("Recorder");
    }
    TestDesktop desktop;
};

// WM_USER + n sends WM_USER + n - 1 to itself and adds one to its answer.
LRESULT Nesting(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message > WM_USER && message < WM_USER + 10) return SendMessageA(window, message - 1, wParam, lParam) + 1;
    if (message == WM_USER) return static_cast<LRESULT>(wParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(Messages, SendIsSynchronousAndNests) {
    HWND window = MakeWindow(0, 0, 10, 10);
    SetWindowLongPtrA(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&Nesting));
    EXPECT_EQ(SendMessageA(window, WM_USER + 5, 100, 0), 105);
    EXPECT_EQ(SendMessageA(reinterpret_cast<HWND>(0x7777), WM_USER, 1, 0), 0);
}

TEST_F(Messages, TheLoopReadsPostedMessagesInOrderThenQuits) {
    HWND window = MakeWindow(0, 0, 10, 10);
    ValidateRect(window, nullptr);
    PostMessageA(window, WM_USER + 1, 1, 0);
    PostMessageA(window, WM_USER + 2, 2, 0);
    PostQuitMessage(7);
    EXPECT_FALSE(PostMessageA(reinterpret_cast<HWND>(0x7777), WM_USER, 0, 0));
    Log().clear();
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_EQ(message.wParam, 7u);
    ASSERT_EQ(Log().size(), 2u);
    EXPECT_EQ(Log()[0].message, WM_USER + 1);
    EXPECT_EQ(Log()[1].message, WM_USER + 2);
}

TEST_F(Messages, PaintComesWhenNothingElseIsPending) {
    HWND window = MakeWindow(0, 0, 10, 10);
    PostMessageA(window, WM_USER, 0, 0);
    MSG message{};
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_USER);
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(message.message, WM_PAINT);
    EXPECT_EQ(message.hwnd, window);
    DispatchMessageA(&message);
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

LRESULT NeverValidates(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        Log().push_back({window, message, wParam, lParam});
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(Messages, ProcessingPendingMessagesRunsEachPaintOnceAndKeepsQuit) {
    HWND window = MakeWindow(0, 0, 10, 10);
    SetWindowLongPtrA(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&NeverValidates));
    EXPECT_TRUE(zem::platform::ProcessPendingMessages());
    EXPECT_EQ(Only(WM_PAINT).size(), 1u);

    PostQuitMessage(3);
    PostMessageA(window, WM_USER, 0, 0);
    Log().clear();
    EXPECT_FALSE(zem::platform::ProcessPendingMessages());
    MSG message{};
    EXPECT_EQ(GetMessageA(&message, nullptr, 0, 0), FALSE);  // the quit is still there for the outer loop
    EXPECT_EQ(message.wParam, 3u);
}

TEST_F(Messages, WindowTextTravelsThroughMessages) {
    HWND window = CreateWindowExA(0, "Recorder", "标题", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    char buffer[5];
    EXPECT_EQ(GetWindowTextA(window, buffer, sizeof buffer), 4);
    SetWindowTextA(window, "new caption");
    EXPECT_EQ(zem::platform::WindowText(window), "new caption");
    EXPECT_EQ(FindWindowA(nullptr, "new caption"), window);
}

// ---- Timers -------------------------------------------------------------------------

struct Tick {
    UINT_PTR id;
    DWORD clock;
};
std::vector<Tick> g_ticks;
LRESULT TickProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) g_ticks.push_back({wParam, GetTickCount()});
    return DefWindowProcA(window, message, wParam, lParam);
}

class Timers : public Messages {
protected:
    void SetUp() override {
        Messages::SetUp();
        g_ticks.clear();
        window = MakeWindow(0, 0, 10, 10);
        SetWindowLongPtrA(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&TickProc));
        start = GetTickCount();
    }
    HWND window = nullptr;
    DWORD start = 0;
};

TEST_F(Timers, DueTimersFireInTimeOrderWithTheClockAtTheirDueTime) {
    SetTimer(window, 1, 1000, nullptr);
    SetTimer(window, 2, 300, nullptr);
    desktop.clock().Advance(999);
    std::vector<std::pair<UINT_PTR, DWORD>> seen;
    for (const Tick& tick : g_ticks) seen.emplace_back(tick.id, tick.clock - start);
    EXPECT_EQ(seen, (std::vector<std::pair<UINT_PTR, DWORD>>{{2, 300}, {2, 600}, {2, 900}}));
    desktop.clock().Advance(1);
    ASSERT_EQ(g_ticks.size(), 4u);
    EXPECT_EQ(g_ticks.back().id, 1u);
    EXPECT_EQ(g_ticks.back().clock - start, 1000u);
    EXPECT_EQ(GetTickCount() - start, 1000u);
}

TEST_F(Timers, SettingARunningTimerRestartsItsPeriodAndKillStopsIt) {
    SetTimer(window, 1, 1000, nullptr);
    desktop.clock().Advance(800);
    SetTimer(window, 1, 1000, nullptr);
    desktop.clock().Advance(999);
    EXPECT_TRUE(g_ticks.empty());
    desktop.clock().Advance(1);
    ASSERT_EQ(g_ticks.size(), 1u);
    EXPECT_EQ(g_ticks[0].clock - start, 1800u);
    EXPECT_TRUE(KillTimer(window, 1));
    EXPECT_FALSE(KillTimer(window, 1));
    desktop.clock().Advance(5000);
    EXPECT_EQ(g_ticks.size(), 1u);
}

TEST_F(Timers, AHandlerThatStopsItsTimerGetsNoFurtherTick) {
    static HWND self;
    self = window;
    SetWindowLongPtrA(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND hwnd, UINT message, WPARAM w, LPARAM l) -> LRESULT {
        if (message == WM_TIMER) {
            g_ticks.push_back({w, GetTickCount()});
            KillTimer(self, w);
        }
        return DefWindowProcA(hwnd, message, w, l);
    }));
    SetTimer(window, 9, 100, nullptr);
    desktop.clock().Advance(1000);
    EXPECT_EQ(g_ticks.size(), 1u);
}

std::vector<UINT_PTR> g_callbacks;
void TimerCallback(HWND, UINT message, UINT_PTR id, DWORD) {
    if (message == WM_TIMER) g_callbacks.push_back(id);
}

TEST_F(Timers, TimerProceduresAndThreadTimersAreCalledDirectly) {
    g_callbacks.clear();
    const UINT_PTR threadTimer = SetTimer(nullptr, 0, 50, TimerCallback);
    ASSERT_NE(threadTimer, 0u);
    SetTimer(window, 4, 100, TimerCallback);
    desktop.clock().Advance(100);
    EXPECT_EQ(g_callbacks, (std::vector<UINT_PTR>{threadTimer, threadTimer, 4}));
    EXPECT_TRUE(g_ticks.empty());
    EXPECT_EQ(SetTimer(reinterpret_cast<HWND>(0x7777), 1, 10, nullptr), 0u);
}

TEST_F(Timers, DestroyingAWindowStopsItsTimers) {
    SetTimer(window, 1, 100, nullptr);
    DestroyWindow(window);
    desktop.clock().Advance(1000);
    EXPECT_TRUE(g_ticks.empty());
}

TEST_F(Timers, TheLoopWaitsByMovingTheManualClockToTheNextTimer) {
    static int remaining;
    remaining = 3;
    SetWindowLongPtrA(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND hwnd, UINT message, WPARAM w, LPARAM l) -> LRESULT {
        if (message == WM_TIMER && --remaining == 0) PostQuitMessage(0);
        return DefWindowProcA(hwnd, message, w, l);
    }));
    SetTimer(window, 1, 250, nullptr);
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    EXPECT_EQ(remaining, 0);
    EXPECT_EQ(GetTickCount() - start, 750u);
    KillTimer(window, 1);
    // Nothing pending and no timer: nothing can ever come.
    EXPECT_EQ(GetMessageA(&message, nullptr, 0, 0), -1);
}

}  // namespace
