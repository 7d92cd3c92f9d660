// The one event loop of the user-interface thread. Everything a program waits
// for is registered here: timers on the platform clock, descriptors to poll
// (the X connection, a web engine's sources) and wait hooks for a foreign loop
// that must prepare before and check after each wait. The window system's
// message loop waits here when it has no message, with its next window timer
// as the time-out, so an idle program sleeps in one poll and wakes at once.
//
// Every call except Wake belongs to the user-interface thread. Callbacks run
// inside WaitForEvents, on that thread; a callback may register or unregister
// anything, itself included.
#pragma once

#include <poll.h>

#include <cstdint>
#include <functional>
#include <optional>

#include "platform/base/clock.h"

namespace zem::platform {

using LoopTimerId = std::uint64_t;
using NotifierId = std::uint64_t;
using WaitHookId = std::uint64_t;

// A foreign loop plugged in behind ours (GLib's main context): `prepare` runs
// before every wait and may register or unregister notifiers; it answers the
// longest the wait may last (0 = something is ready now, nothing = no limit).
// `check` runs after every wait, once the notifiers' callbacks have run.
struct WaitHook {
    std::function<std::optional<Milliseconds>()> prepare;
    std::function<void()> check;
};

class EventLoop {
public:
    static EventLoop& Get();

    // Runs `fired` once, when the platform clock reaches `due`. On a manual
    // clock it runs while the clock advances, beside the window timers.
    LoopTimerId RegisterTimer(Milliseconds due, std::function<void()> fired);
    void UnregisterTimer(LoopTimerId id);

    // Polls `descriptor` for `events` (POLLIN, POLLOUT...) in every wait and
    // calls `ready` with what poll reported (POLLHUP and POLLERR included).
    NotifierId RegisterNotifier(int descriptor, short events, std::function<void(short revents)> ready);
    void UnregisterNotifier(NotifierId id);

    WaitHookId RegisterWaitHook(WaitHook hook);
    void UnregisterWaitHook(WaitHookId id);

    // Ends the current or the next wait; safe from any thread and from signal handlers.
    void Wake();

    enum class WaitResult {
        Dispatched,        // a notifier, a timer, a hook or Wake had something
        TimedOut,          // `timeout` passed with nothing
        NothingToWaitFor,  // no notifier, timer, hook or time-out: nothing can ever come
    };
    // Waits at most `timeout` real milliseconds (nothing = no limit), shortened
    // by the next loop timer on a steady clock and by every hook's answer, then
    // runs the callbacks of what is ready and of the loop timers now due.
    WaitResult WaitForEvents(std::optional<Milliseconds> timeout);

    // True while a descriptor other than the wake pipe is registered: something
    // real may still arrive, so a manual clock must not jump ahead of it.
    bool HasNotifiers() const;
    bool HasWaitHooks() const;

    // For the manual clock: the earliest loop timer, and running every loop
    // timer due at `now` (earliest first).
    std::optional<Milliseconds> NextTimerDue() const;
    std::optional<LoopTimerId> EarliestDueTimer(Milliseconds now) const;
    void RunTimer(LoopTimerId id);

    // Forgets every registration (tests, between cases).
    void Reset();

    EventLoop(const EventLoop&) = delete;
    EventLoop& operator=(const EventLoop&) = delete;

private:
    EventLoop();
    ~EventLoop();
    struct State;
    State* state_;
};

// Keeps a notifier registered for its lifetime.
class ScopedNotifier {
public:
    ScopedNotifier() = default;
    ScopedNotifier(int descriptor, short events, std::function<void(short revents)> ready)
        : id_(EventLoop::Get().RegisterNotifier(descriptor, events, std::move(ready))) {}
    ~ScopedNotifier() { Release(); }
    ScopedNotifier(ScopedNotifier&& other) noexcept : id_(other.id_) { other.id_ = 0; }
    ScopedNotifier& operator=(ScopedNotifier&& other) noexcept {
        if (this != &other) {
            Release();
            id_ = other.id_;
            other.id_ = 0;
        }
        return *this;
    }
    ScopedNotifier(const ScopedNotifier&) = delete;
    ScopedNotifier& operator=(const ScopedNotifier&) = delete;
    void Release() {
        if (id_ != 0) EventLoop::Get().UnregisterNotifier(id_);
        id_ = 0;
    }

private:
    NotifierId id_ = 0;
};

}  // namespace zem::platform
