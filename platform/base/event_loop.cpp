#include "platform/base/event_loop.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <map>
#include <utility>
#include <vector>

namespace zem::platform {

struct EventLoop::State {
    struct Timer {
        Milliseconds due;
        std::function<void()> fired;
    };
    struct Notifier {
        int descriptor;
        short events;
        std::function<void(short)> ready;
    };
    // Ordered maps: ids grow, so iteration is registration order.
    std::map<LoopTimerId, Timer> timers;
    std::map<NotifierId, Notifier> notifiers;
    std::map<WaitHookId, WaitHook> hooks;
    std::uint64_t nextId = 1;
    int wakeRead = -1;
    int wakeWrite = -1;
};

EventLoop& EventLoop::Get() {
    // Never destroyed: registrations may be released by objects of static lifetime.
    static EventLoop* loop = new EventLoop();
    return *loop;
}

EventLoop::EventLoop() : state_(new State) {
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) == 0) {
        state_->wakeRead = pipeEnds[0];
        state_->wakeWrite = pipeEnds[1];
    }
}

EventLoop::~EventLoop() {
    if (state_->wakeRead >= 0) ::close(state_->wakeRead);
    if (state_->wakeWrite >= 0) ::close(state_->wakeWrite);
    delete state_;
}

LoopTimerId EventLoop::RegisterTimer(Milliseconds due, std::function<void()> fired) {
    const LoopTimerId id = state_->nextId++;
    state_->timers.emplace(id, State::Timer{due, std::move(fired)});
    return id;
}

void EventLoop::UnregisterTimer(LoopTimerId id) { state_->timers.erase(id); }

NotifierId EventLoop::RegisterNotifier(int descriptor, short events, std::function<void(short)> ready) {
    const NotifierId id = state_->nextId++;
    state_->notifiers.emplace(id, State::Notifier{descriptor, events, std::move(ready)});
    return id;
}

void EventLoop::UnregisterNotifier(NotifierId id) { state_->notifiers.erase(id); }

WaitHookId EventLoop::RegisterWaitHook(WaitHook hook) {
    const WaitHookId id = state_->nextId++;
    state_->hooks.emplace(id, std::move(hook));
    return id;
}

void EventLoop::UnregisterWaitHook(WaitHookId id) { state_->hooks.erase(id); }

void EventLoop::Wake() {
    if (state_->wakeWrite < 0) return;
    const char byte = 1;
    // A full pipe already holds a wake-up: nothing is lost when the write fails.
    [[maybe_unused]] const ssize_t written = ::write(state_->wakeWrite, &byte, 1);
}

bool EventLoop::HasNotifiers() const { return !state_->notifiers.empty(); }
bool EventLoop::HasWaitHooks() const { return !state_->hooks.empty(); }

std::optional<Milliseconds> EventLoop::NextTimerDue() const {
    std::optional<Milliseconds> next;
    for (const auto& [id, timer] : state_->timers)
        if (!next || timer.due < *next) next = timer.due;
    return next;
}

std::optional<LoopTimerId> EventLoop::EarliestDueTimer(Milliseconds now) const {
    std::optional<LoopTimerId> earliest;
    Milliseconds earliestDue = 0;
    for (const auto& [id, timer] : state_->timers) {
        if (timer.due > now) continue;
        if (!earliest || timer.due < earliestDue) {
            earliest = id;
            earliestDue = timer.due;
        }
    }
    return earliest;
}

void EventLoop::RunTimer(LoopTimerId id) {
    auto found = state_->timers.find(id);
    if (found == state_->timers.end()) return;
    // One-shot: gone before its callback runs, which may register it anew.
    std::function<void()> fired = std::move(found->second.fired);
    state_->timers.erase(found);
    if (fired) fired();
}

EventLoop::WaitResult EventLoop::WaitForEvents(std::optional<Milliseconds> timeout) {
    std::vector<std::pair<WaitHookId, WaitHook*>> hooks;
    for (auto& [id, hook] : state_->hooks) hooks.emplace_back(id, &hook);
    bool hookReady = false;
    for (auto& [id, hook] : hooks) {
        if (!state_->hooks.contains(id) || !hook->prepare) continue;
        const auto limit = hook->prepare();
        if (limit && *limit == 0) hookReady = true;
        if (limit && (!timeout || *limit < *timeout)) timeout = limit;
    }
    // Loop timers shorten the wait on a real clock; a manual clock runs them itself.
    Clock& clock = CurrentClock();
    if (!clock.IsManual()) {
        if (const auto due = NextTimerDue()) {
            const Milliseconds now = clock.Now();
            const Milliseconds left = *due > now ? *due - now : 0;
            if (!timeout || left < *timeout) timeout = left;
        }
    }
    if (!timeout && state_->notifiers.empty() && state_->hooks.empty()) return WaitResult::NothingToWaitFor;

    std::vector<pollfd> descriptors;
    std::vector<NotifierId> owners;
    for (const auto& [id, notifier] : state_->notifiers) {
        descriptors.push_back(pollfd{notifier.descriptor, notifier.events, 0});
        owners.push_back(id);
    }
    const std::size_t wakeIndex = descriptors.size();
    if (state_->wakeRead >= 0) descriptors.push_back(pollfd{state_->wakeRead, POLLIN, 0});

    const int pollTimeout = timeout ? static_cast<int>(std::min<Milliseconds>(*timeout, INT_MAX)) : -1;
    int count = ::poll(descriptors.data(), descriptors.size(), pollTimeout);
    if (count < 0 && errno != EINTR) count = 0;
    bool dispatched = count != 0 || hookReady;  // an interrupted wait counts as a wake-up

    if (count > 0) {
        if (wakeIndex < descriptors.size() && descriptors[wakeIndex].revents != 0) {
            char drain[64];
            while (::read(state_->wakeRead, drain, sizeof drain) > 0) {
            }
        }
        for (std::size_t index = 0; index < owners.size(); ++index) {
            const short revents = descriptors[index].revents;
            if (revents == 0) continue;
            auto found = state_->notifiers.find(owners[index]);
            if (found == state_->notifiers.end()) continue;  // unregistered by an earlier callback
            // A copy: the callback may unregister its own notifier.
            const std::function<void(short)> ready = found->second.ready;
            if (ready) ready(revents);
        }
    }
    if (!clock.IsManual()) {
        while (const auto due = EarliestDueTimer(clock.Now())) {
            RunTimer(*due);
            dispatched = true;
        }
    }
    hooks.clear();
    for (auto& [id, hook] : state_->hooks) hooks.emplace_back(id, &hook);
    for (auto& [id, hook] : hooks) {
        if (!state_->hooks.contains(id) || !hook->check) continue;
        hook->check();
    }
    return dispatched ? WaitResult::Dispatched : WaitResult::TimedOut;
}

void EventLoop::Reset() {
    state_->timers.clear();
    state_->notifiers.clear();
    state_->hooks.clear();
}

}  // namespace zem::platform
