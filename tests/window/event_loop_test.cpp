#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/base/event_loop.h"
#include "platform/window/test_desktop.h"
#include "platform/window/user32.h"
#include "platform/window/window_system.h"
#include "tests/window/recorder.h"

using namespace window_test;
using zem::platform::EventLoop;
using zem::platform::ScopedNotifier;
using zem::platform::TestDesktop;

namespace {

// A pipe this test owns: writing a byte makes its read end readable.
class TestPipe {
public:
    TestPipe() { EXPECT_EQ(::pipe(ends_), 0); }
    ~TestPipe() {
        ::close(ends_[0]);
        ::close(ends_[1]);
    }
    int ReadEnd() const { return ends_[0]; }
    void Signal() { EXPECT_EQ(::write(ends_[1], "x", 1), 1); }
    void Drain() {
        char byte;
        EXPECT_EQ(::read(ends_[0], &byte, 1), 1);
    }

private:
    int ends_[2] = {-1, -1};
};

class EventLoopTest : public ::testing::Test {
protected:
    void SetUp() override { EventLoop::Get().Reset(); }
    // A window of the recording class on the fresh desktop.
    static HWND RecordedWindow() {
        Log().clear();
        RegisterRecordingClass("Recorder");
        HWND window = MakeWindow(0, 0, 10, 10);
        ValidateRect(window, nullptr);
        return window;
    }
    void TearDown() override { EventLoop::Get().Reset(); }
};

// The real clock: nothing registered and no timer means nothing can come.
TEST_F(EventLoopTest, ARealRunWithNothingToWaitForEnds) {
    zem::platform::ResetWindowSystem();
    MSG message{};
    EXPECT_EQ(GetMessageA(&message, nullptr, 0, 0), -1);
    zem::platform::ResetWindowSystem();
}

// A readable descriptor ends the loop's wait at once; what its callback posts
// is the next message, before the window timer that is still far off.
TEST_F(EventLoopTest, ADescriptorWakesTheMessageLoop) {
    zem::platform::ResetWindowSystem();
    HWND window = RecordedWindow();
    SetTimer(window, 1, 60'000, nullptr);
    TestPipe pipe;
    int calls = 0;
    ScopedNotifier notifier(pipe.ReadEnd(), POLLIN, [&](short revents) {
        EXPECT_TRUE(revents & POLLIN);
        ++calls;
        pipe.Drain();
        PostMessageA(window, WM_USER + 3, 0, 0);
    });
    pipe.Signal();
    MSG message{};
    ASSERT_EQ(GetMessageA(&message, nullptr, 0, 0), TRUE);
    EXPECT_EQ(message.message, WM_USER + 3);
    EXPECT_EQ(calls, 1);
    zem::platform::ResetWindowSystem();
}

// On a manual clock a registered descriptor holds time still: the wait is a
// real, bounded one and the timer does not run.
TEST_F(EventLoopTest, AManualClockDoesNotJumpWhileADescriptorIsRegistered) {
    TestDesktop desktop;
    HWND window = RecordedWindow();
    SetTimer(window, 1, 100, nullptr);
    const auto start = desktop.clock().Now();
    TestPipe pipe;
    {
        ScopedNotifier notifier(pipe.ReadEnd(), POLLIN, [&](short) { pipe.Drain(); });
        EXPECT_FALSE(zem::platform::PumpMessagesUntil([] { return false; }, 30));
        EXPECT_EQ(desktop.clock().Now(), start);
        EXPECT_TRUE(Only(WM_TIMER).empty());
        pipe.Signal();
        EXPECT_TRUE(zem::platform::WaitForMessages());
        EXPECT_EQ(desktop.clock().Now(), start);
    }
    // Without it the idle wait moves the clock to the timer again.
    EXPECT_TRUE(zem::platform::WaitForMessages());
    EXPECT_EQ(desktop.clock().Now(), start + 100);
    EXPECT_EQ(Only(WM_TIMER).size(), 1u);
}

// Loop timers and window timers share the manual clock, in due order.
TEST_F(EventLoopTest, LoopTimersRunInDueOrderWithWindowTimers) {
    TestDesktop desktop;
    HWND window = RecordedWindow();
    const auto start = desktop.clock().Now();
    std::vector<std::string> order;
    SetTimer(window, 1, 100, nullptr);
    EventLoop::Get().RegisterTimer(start + 150, [&] {
        order.push_back("loop@" + std::to_string(desktop.clock().Now() - start));
        // A callback may register again.
        EventLoop::Get().RegisterTimer(start + 250, [&] { order.push_back("again"); });
    });
    const auto removed = EventLoop::Get().RegisterTimer(start + 120, [&] { order.push_back("removed"); });
    EventLoop::Get().UnregisterTimer(removed);
    desktop.clock().Advance(300);
    ASSERT_EQ(Only(WM_TIMER).size(), 3u);
    EXPECT_EQ(order, (std::vector<std::string>{"loop@150", "again"}));
}

// Processing pending messages (DoEvents) runs one step of the loop's wait
// that does not wait: the hooks, a ready descriptor, the loop timers due now;
// what they queue runs in the same call, and a manual clock stays where it
// is. A callback may process pending messages again inside it.
TEST_F(EventLoopTest, ProcessingPendingMessagesRunsTheWaitStepWithoutWaiting) {
    TestDesktop desktop;
    HWND window = RecordedWindow();
    EventLoop& loop = EventLoop::Get();
    const auto start = desktop.clock().Now();
    TestPipe pipe;
    std::vector<std::string> steps;
    bool nest = false;
    ScopedNotifier notifier(pipe.ReadEnd(), POLLIN, [&](short) {
        pipe.Drain();
        steps.push_back("descriptor");
        PostMessageA(window, WM_USER + 3, 0, 0);
        if (std::exchange(nest, false)) {
            pipe.Signal();
            EXPECT_TRUE(zem::platform::ProcessPendingMessages());
        }
    });
    // A hook that sets no limit: a wait here would last until something came.
    const auto hook = loop.RegisterWaitHook({[&]() -> std::optional<zem::platform::Milliseconds> {
                                                 steps.push_back("prepare");
                                                 return std::nullopt;
                                             },
                                             [&] { steps.push_back("check"); }});
    loop.RegisterTimer(start, [&] { steps.push_back("due now"); });
    loop.RegisterTimer(start + 100, [&] { steps.push_back("later"); });

    EXPECT_TRUE(zem::platform::ProcessPendingMessages());
    EXPECT_EQ(steps, (std::vector<std::string>{"prepare", "check", "due now"}));
    pipe.Signal();
    steps.clear();
    EXPECT_TRUE(zem::platform::ProcessPendingMessages());
    EXPECT_EQ(steps, (std::vector<std::string>{"prepare", "descriptor", "check"}));
    EXPECT_EQ(Only(WM_USER + 3).size(), 1u);

    nest = true;
    pipe.Signal();
    steps.clear();
    EXPECT_TRUE(zem::platform::ProcessPendingMessages());
    EXPECT_EQ(steps, (std::vector<std::string>{"prepare", "descriptor", "prepare", "descriptor", "check", "check"}));
    EXPECT_EQ(Only(WM_USER + 3).size(), 3u);
    EXPECT_EQ(desktop.clock().Now(), start);
    loop.UnregisterWaitHook(hook);
}

// A callback that unregisters another ready notifier keeps it from running;
// Wake from another thread ends a wait that has no time-out.
TEST_F(EventLoopTest, CallbacksMayUnregisterAndWakeEndsAWait) {
    TestPipe first, second;
    EventLoop& loop = EventLoop::Get();
    int secondCalls = 0;
    zem::platform::NotifierId secondId = 0;
    const auto firstId = loop.RegisterNotifier(first.ReadEnd(), POLLIN, [&](short) {
        first.Drain();
        loop.UnregisterNotifier(secondId);
    });
    secondId = loop.RegisterNotifier(second.ReadEnd(), POLLIN, [&](short) { ++secondCalls; });
    first.Signal();
    second.Signal();
    EXPECT_EQ(loop.WaitForEvents(std::nullopt), EventLoop::WaitResult::Dispatched);
    EXPECT_EQ(secondCalls, 0);

    std::thread waker([&] { loop.Wake(); });
    EXPECT_EQ(loop.WaitForEvents(std::nullopt), EventLoop::WaitResult::Dispatched);
    waker.join();
    loop.UnregisterNotifier(firstId);
    EXPECT_EQ(loop.WaitForEvents(std::nullopt), EventLoop::WaitResult::NothingToWaitFor);
}

// A wait hook bounds the wait by its answer and checks after it.
TEST_F(EventLoopTest, AWaitHookPreparesAndChecksAroundEveryWait) {
    EventLoop& loop = EventLoop::Get();
    std::vector<std::string> steps;
    bool ready = true;
    const auto hook = loop.RegisterWaitHook(
        {[&]() -> std::optional<zem::platform::Milliseconds> {
             steps.push_back("prepare");
             return ready ? 0 : 5;
         },
         [&] { steps.push_back("check"); }});
    EXPECT_EQ(loop.WaitForEvents(std::nullopt), EventLoop::WaitResult::Dispatched);
    ready = false;
    EXPECT_EQ(loop.WaitForEvents(std::nullopt), EventLoop::WaitResult::TimedOut);
    EXPECT_EQ(steps, (std::vector<std::string>{"prepare", "check", "prepare", "check"}));
    loop.UnregisterWaitHook(hook);
}

}  // namespace
