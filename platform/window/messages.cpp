// Window procedures, sent and posted messages, the message loop, timers and
// the default reactions of DefWindowProc, including the modal move loop.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <unordered_set>

#include "platform/base/event_loop.h"
#include "platform/window/user32.h"
#include "platform/window/window_internal.h"

using zem::platform::CurrentClock;
using zem::platform::CurrentManualClock;
using zem::platform::InputEvent;
using zem::platform::Milliseconds;
using zem::platform::detail::HandleValue;
using zem::platform::detail::ShowState;
using zem::platform::detail::Timer;
using zem::platform::detail::WindowData;
using zem::platform::detail::WindowSystem;

namespace {

WindowSystem& System() { return WindowSystem::Get(); }

MSG MakeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG made{};
    made.hwnd = window;
    made.message = message;
    made.wParam = wParam;
    made.lParam = lParam;
    made.time = static_cast<DWORD>(CurrentClock().Now());
    made.pt = System().cursor;
    return made;
}

bool InRange(UINT message, UINT low, UINT high) {
    return (low == 0 && high == 0) || (message >= low && message <= high);
}

}  // namespace

namespace zem::platform::detail {

// The order in which a thread reads its messages: posted messages, then WM_QUIT,
// then mouse input, then paints, then due timers.
bool WindowSystem::TakeMessage(MSG* message, bool remove, bool includeInput) {
    if (!posted.empty()) {
        *message = posted.front();
        if (remove) posted.pop_front();
        return true;
    }
    if (quitPending) {
        *message = MakeMessage(nullptr, WM_QUIT, static_cast<WPARAM>(quitCode), 0);
        if (remove) quitPending = false;
        return true;
    }
    if (includeInput) {
        while (cooked.empty() && !input.empty()) {
            const InputEvent event = input.front();
            input.pop_front();
            CookInput(event);
        }
        if (!cooked.empty()) {
            *message = cooked.front();
            if (remove) cooked.pop_front();
            return true;
        }
    }
    // A paint for the first visible window, front to back, with an update area.
    std::vector<HWND> all;
    for (HWND top : topLevels) CollectSubtree(top, all);
    for (HWND each : all) {
        WindowData* data = Find(each);
        if (data != nullptr && data->update && zem::platform::IsEffectivelyVisible(each)) {
            *message = MakeMessage(each, WM_PAINT, 0, 0);
            return true;
        }
    }
    return TakeTimerMessage(message, remove);
}

bool WindowSystem::TakeTimerMessage(MSG* message, bool remove) {
    const Milliseconds now = CurrentClock().Now();
    Timer* earliest = nullptr;
    for (Timer& timer : timers) {
        if (timer.due > now) continue;
        if (earliest == nullptr || timer.due < earliest->due ||
            (timer.due == earliest->due && timer.order < earliest->order))
            earliest = &timer;
    }
    if (earliest == nullptr) return false;
    *message = MakeMessage(earliest->window, WM_TIMER, earliest->id, reinterpret_cast<LPARAM>(earliest->procedure));
    // Read from the loop, a late timer fires once and starts its next period now,
    // like the desktop platform's coalesced WM_TIMER.
    if (remove) earliest->due = now + earliest->period;
    return true;
}

std::optional<Milliseconds> WindowSystem::NextDueTime() const {
    std::optional<Milliseconds> next = zem::platform::EventLoop::Get().NextTimerDue();
    for (const Timer& timer : timers)
        if (!next || timer.due < *next) next = timer.due;
    return next;
}

// A manual clock stops at each due time and runs the timers due then. A timer
// due several times within one advance fires each time, each at its own due
// time: that is what an idle program would see over the same span, and it keeps
// counts of ticks (countdowns, tickers) exact in tests. The event loop's own
// timers run here too, in due order with the window timers.
void WindowSystem::RunDueTimers(Milliseconds now) {
    zem::platform::EventLoop& loop = zem::platform::EventLoop::Get();
    for (;;) {
        Timer* earliest = nullptr;
        for (Timer& timer : timers) {
            if (timer.due > now) continue;
            if (earliest == nullptr || timer.due < earliest->due ||
                (timer.due == earliest->due && timer.order < earliest->order))
                earliest = &timer;
        }
        const auto loopTimer = loop.EarliestDueTimer(now);
        if (loopTimer && (earliest == nullptr || *loop.NextTimerDue() < earliest->due)) {
            loop.RunTimer(*loopTimer);
            continue;
        }
        if (earliest == nullptr) return;
        const MSG message =
            MakeMessage(earliest->window, WM_TIMER, earliest->id, reinterpret_cast<LPARAM>(earliest->procedure));
        earliest->due += earliest->period;
        DispatchMessageA(&message);
    }
}

// Waits until a message may be there; false when none can ever come. The wait
// is the event loop's: the next window timer is its time-out, and whatever a
// platform area registered there (the X connection, a web engine) can end it.
bool WindowSystem::WaitForMessages() {
    if (!cooked.empty() || !input.empty() || !posted.empty() || quitPending) return true;
    zem::platform::EventLoop& loop = zem::platform::EventLoop::Get();
    if (zem::platform::ManualClock* clock = CurrentManualClock()) {
        // Something real may still arrive (X events, a page loading): time stands
        // still meanwhile, and a bounded real wait keeps a test from hanging.
        if (loop.HasNotifiers() || loop.HasWaitHooks())
            return loop.WaitForEvents(kManualClockRealWait) == zem::platform::EventLoop::WaitResult::Dispatched;
        return clock->AdvanceToNextTimer();
    }
    std::optional<Milliseconds> timeout;
    if (const auto due = NextDueTime()) {
        const Milliseconds now = CurrentClock().Now();
        timeout = *due > now ? *due - now : 0;
    }
    return loop.WaitForEvents(timeout) != zem::platform::EventLoop::WaitResult::NothingToWaitFor;
}

LRESULT WindowSystem::MoveLoop(HWND window) {
    WindowData* data = Find(window);
    if (data == nullptr || !(buttons[0] || buttons[1] || buttons[2])) return 0;
    // A maximized window keeps its place: it fills the screen until restored.
    if (data->state != ShowState::Normal) return 0;
    ++moveLoopDepth;
    SendMessageA(window, WM_ENTERSIZEMOVE, 0, 0);
    const POINT start = cursor;
    const POINT startPosition{data->rect.left, data->rect.top};
    auto follow = [&] {
        SetWindowPos(window, nullptr, startPosition.x + cursor.x - start.x, startPosition.y + cursor.y - start.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    };
    while (Find(window) != nullptr) {
        if (!input.empty()) {
            const InputEvent event = input.front();
            input.pop_front();
            // Keys typed during the drag are not the drag's.
            if (event.kind == InputEvent::Kind::KeyDown || event.kind == InputEvent::Kind::KeyUp ||
                event.kind == InputEvent::Kind::Character)
                continue;
            cursor = event.position;
            const int button = static_cast<int>(event.button);
            if (event.kind == InputEvent::Kind::Press) buttons[button] = true;
            if (event.kind == InputEvent::Kind::Release) buttons[button] = false;
            if (event.kind != InputEvent::Kind::Wheel) follow();
            if (!(buttons[0] || buttons[1] || buttons[2])) break;
            continue;
        }
        MSG message{};
        if (TakeMessage(&message, true, false)) {
            if (message.message == WM_QUIT) {
                quitPending = true;  // left for the outer loop
                quitCode = static_cast<int>(message.wParam);
                break;
            }
            DispatchMessageA(&message);
            continue;
        }
        // Nothing scripted and nothing to wait for: the drag ends where it is.
        if (!WaitForMessages()) break;
    }
    lastPress = {};
    --moveLoopDepth;
    if (Find(window) != nullptr) SendMessageA(window, WM_EXITSIZEMOVE, 0, 0);
    return 0;
}

}  // namespace zem::platform::detail

// ---- Procedures -----------------------------------------------------------------------

LRESULT CallWindowProcA(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return procedure != nullptr ? procedure(window, message, wParam, lParam) : 0;
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowSystem& system = System();
    WindowData* data = system.Find(window);
    if (data == nullptr) return 0;
    switch (message) {
        case WM_NCCREATE: return TRUE;
        case WM_CLOSE: DestroyWindow(window); return 0;
        case WM_PAINT: ValidateRect(window, nullptr); return 0;
        case WM_SETTEXT: {
            const char* text = reinterpret_cast<const char*>(lParam);
            data->text = text != nullptr ? text : "";
            return TRUE;
        }
        case WM_GETTEXTLENGTH: return static_cast<LRESULT>(data->text.size());
        case WM_GETTEXT: {
            char* buffer = reinterpret_cast<char*>(lParam);
            const std::size_t size = static_cast<std::size_t>(wParam);
            if (buffer == nullptr || size == 0) return 0;
            const std::size_t count = std::min(size - 1, data->text.size());
            std::memcpy(buffer, data->text.data(), count);
            buffer[count] = '\0';
            return static_cast<LRESULT>(count);
        }
        case WM_MOUSEWHEEL:
            // An unhandled wheel turn goes on to the parent.
            return data->parent != nullptr ? SendMessageA(data->parent, message, wParam, lParam) : 0;
        case WM_SYSCOMMAND:
            switch (wParam & 0xFFF0) {
                case SC_CLOSE: SendMessageA(window, WM_CLOSE, 0, 0); return 0;
                case SC_MINIMIZE: system.Minimize(window); return 0;
                case SC_MAXIMIZE: system.Maximize(window); return 0;
                case SC_RESTORE: system.Restore(window); return 0;
                case SC_MOVE: return system.MoveLoop(window);
                default: return 0;
            }
        default: return 0;
    }
}

// ---- Messages and the loop ----------------------------------------------------------

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowData* data = System().Find(window);
    if (data == nullptr) return 0;
    return data->procedure(window, message, wParam, lParam);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowSystem& system = System();
    if (window != nullptr && system.Find(window) == nullptr) return FALSE;
    system.posted.push_back(MakeMessage(window, message, wParam, lParam));
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    WindowSystem& system = System();
    system.quitPending = true;
    system.quitCode = exitCode;
}

namespace {

// Posted messages honour the window and range filters; input, paints and timers
// are read only by an unfiltered request.
bool Take(MSG* message, HWND window, UINT low, UINT high, bool remove) {
    WindowSystem& system = System();
    if (window == nullptr && low == 0 && high == 0) return system.TakeMessage(message, remove, true);
    for (auto each = system.posted.begin(); each != system.posted.end(); ++each) {
        if ((window == nullptr || each->hwnd == window) && InRange(each->message, low, high)) {
            *message = *each;
            if (remove) system.posted.erase(each);
            return true;
        }
    }
    if (system.quitPending && InRange(WM_QUIT, low, high)) {
        *message = MakeMessage(nullptr, WM_QUIT, static_cast<WPARAM>(system.quitCode), 0);
        if (remove) system.quitPending = false;
        return true;
    }
    return false;
}

}  // namespace

BOOL GetMessageA(MSG* message, HWND window, UINT filterMin, UINT filterMax) {
    if (message == nullptr) return -1;
    WindowSystem& system = System();
    for (;;) {
        if (Take(message, window, filterMin, filterMax, true)) return message->message == WM_QUIT ? FALSE : TRUE;
        if (!system.WaitForMessages()) return -1;
    }
}

BOOL PeekMessageA(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    if (message == nullptr) return FALSE;
    return Take(message, window, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0) ? TRUE : FALSE;
}

BOOL TranslateMessage(const MSG*) { return FALSE; }

LRESULT DispatchMessageA(const MSG* message) {
    if (message == nullptr) return 0;
    if (message->message == WM_TIMER && message->lParam != 0) {
        auto procedure = reinterpret_cast<TIMERPROC>(message->lParam);
        procedure(message->hwnd, WM_TIMER, message->wParam, static_cast<DWORD>(CurrentClock().Now()));
        return 0;
    }
    return SendMessageA(message->hwnd, message->message, message->wParam, message->lParam);
}

namespace zem::platform {

namespace {

// Dispatches what the thread's queue holds: posted messages, input, paints and
// due window timers. False when WM_QUIT was met (left pending for the outer loop).
bool DispatchQueuedMessages() {
    WindowSystem& system = System();
    std::unordered_set<std::uintptr_t> painted;
    MSG message{};
    while (system.TakeMessage(&message, true, true)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        if (message.message == WM_PAINT && !painted.insert(HandleValue(message.hwnd)).second) {
            // A window that did not validate its paint is not painted twice in one pass.
            ValidateRect(message.hwnd, nullptr);
            continue;
        }
        DispatchMessageA(&message);
    }
    return true;
}

// The event loop's wait step with no wait: the hooks prepare (the display
// presents what was painted) and check (the engine's sources run), ready
// descriptors are read (X events become input), and due loop timers run. A
// manual clock stays where it is; the loop timers due at its present time run.
void RunWaitStepWithoutBlocking() {
    EventLoop& loop = EventLoop::Get();
    loop.WaitForEvents(0);
    if (CurrentManualClock() == nullptr) return;
    while (const auto due = loop.EarliestDueTimer(CurrentClock().Now())) loop.RunTimer(*due);
}

}  // namespace

// What was queued runs first, so that its paints are presented by the wait
// step; what the step brought (a click, a key) runs after it.
bool ProcessPendingMessages() {
    if (!DispatchQueuedMessages()) return false;
    RunWaitStepWithoutBlocking();
    return DispatchQueuedMessages();
}

bool WaitForMessages() { return System().WaitForMessages(); }

bool PumpMessagesUntil(const std::function<bool()>& done, Milliseconds realLimit) {
    using RealClock = std::chrono::steady_clock;
    const auto end = RealClock::now() + std::chrono::milliseconds(realLimit);
    EventLoop& loop = EventLoop::Get();
    for (;;) {
        if (!ProcessPendingMessages()) return done();
        if (done()) return true;
        const auto now = RealClock::now();
        if (now >= end) return false;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - now).count();
        std::optional<Milliseconds> timeout = static_cast<Milliseconds>(left);
        if (!CurrentManualClock()) {
            if (const auto due = System().NextDueTime()) {
                const Milliseconds clockNow = CurrentClock().Now();
                timeout = std::min<Milliseconds>(*timeout, *due > clockNow ? *due - clockNow : 0);
            }
        }
        loop.WaitForEvents(timeout);
    }
}

}  // namespace zem::platform

// ---- Timers and time ----------------------------------------------------------------

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC procedure) {
    WindowSystem& system = System();
    if (window != nullptr && system.Find(window) == nullptr) return 0;
    // Like the desktop platform, very short periods are raised to 10 ms.
    const Milliseconds period = std::max(elapse, zem::platform::detail::kMinimumTimerPeriod);
    const Milliseconds now = CurrentClock().Now();
    if (window == nullptr) {
        auto existing = std::find_if(system.timers.begin(), system.timers.end(),
                                     [id](const Timer& timer) { return timer.window == nullptr && timer.id == id; });
        if (id == 0 || existing == system.timers.end()) {
            id = system.nextThreadTimerId++;
        }
    }
    for (Timer& timer : system.timers) {
        if (timer.window == window && timer.id == id) {
            // Setting a running timer again restarts its period.
            timer.period = period;
            timer.due = now + period;
            timer.procedure = procedure;
            return window != nullptr ? (id != 0 ? id : 1) : id;
        }
    }
    system.timers.push_back(Timer{window, id, period, now + period, procedure, system.nextTimerOrder++});
    return window != nullptr ? (id != 0 ? id : 1) : id;
}

BOOL KillTimer(HWND window, UINT_PTR id) {
    const std::size_t removed = std::erase_if(
        System().timers, [window, id](const Timer& timer) { return timer.window == window && timer.id == id; });
    return removed > 0 ? TRUE : FALSE;
}

DWORD GetTickCount() { return static_cast<DWORD>(CurrentClock().Now()); }

UINT GetDoubleClickTime() { return zem::platform::detail::kDoubleClickTime; }
