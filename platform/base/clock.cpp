#include "platform/base/clock.h"

#include <chrono>

namespace zem::platform {
namespace {

SteadyClock& TheSteadyClock() {
    static SteadyClock clock;
    return clock;
}

Clock* g_current_clock = nullptr;
TimerScheduler* g_scheduler = nullptr;

}  // namespace

Milliseconds SteadyClock::Now() const {
    using namespace std::chrono;
    return static_cast<Milliseconds>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

bool ManualClock::AdvanceToNextTimer(std::optional<Milliseconds> limit) {
    if (g_scheduler == nullptr) return false;
    const std::optional<Milliseconds> due = g_scheduler->NextDueTime();
    if (!due || (limit && *due > *limit)) return false;
    // A timer already overdue runs at the present reading; time never goes back.
    if (*due > now_) now_ = *due;
    g_scheduler->RunDueTimers(now_);
    return true;
}

void ManualClock::Advance(Milliseconds span) {
    const Milliseconds target = now_ + span;
    while (AdvanceToNextTimer(target)) {
    }
    now_ = target;
}

Clock& CurrentClock() { return g_current_clock != nullptr ? *g_current_clock : TheSteadyClock(); }

ManualClock* CurrentManualClock() {
    return g_current_clock != nullptr && g_current_clock->IsManual() ? static_cast<ManualClock*>(g_current_clock)
                                                                     : nullptr;
}

void SetTimerScheduler(TimerScheduler* scheduler) { g_scheduler = scheduler; }
TimerScheduler* CurrentTimerScheduler() { return g_scheduler; }

ScopedClockOverride::ScopedClockOverride(Milliseconds start)
    : clock_(std::make_unique<ManualClock>(start)), previous_(g_current_clock) {
    g_current_clock = clock_.get();
}

ScopedClockOverride::~ScopedClockOverride() { g_current_clock = previous_; }

}  // namespace zem::platform
