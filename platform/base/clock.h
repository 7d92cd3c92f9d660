// The platform clock: one time source for GetTickCount, window timers and the
// double-click interval. A real run reads a steady clock; tests install a
// manual clock and advance it, which delivers the timers that fall due.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

namespace zem::platform {

// Milliseconds since an arbitrary start; never goes back.
using Milliseconds = std::uint64_t;

// Something that keeps timers on the clock (the window system). A manual
// clock asks it for the next due time and has it run what is due.
class TimerScheduler {
public:
    virtual ~TimerScheduler() = default;
    // The earliest due time of any timer, or nothing when no timer runs.
    virtual std::optional<Milliseconds> NextDueTime() const = 0;
    // Runs every timer due at `now` (the clock already reads `now`).
    virtual void RunDueTimers(Milliseconds now) = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual Milliseconds Now() const = 0;
    // True for a clock that only moves when told to (tests).
    virtual bool IsManual() const = 0;
};

class SteadyClock final : public Clock {
public:
    Milliseconds Now() const override;
    bool IsManual() const override { return false; }
};

class ManualClock final : public Clock {
public:
    explicit ManualClock(Milliseconds start = 1'000'000) : now_(start) {}
    Milliseconds Now() const override { return now_; }
    bool IsManual() const override { return true; }

    // Moves the clock forward by `span`, stopping at each timer due on the way:
    // the clock reads the timer's due time while its handler runs.
    void Advance(Milliseconds span);
    // Moves the clock to the next due timer (if any, and not beyond `limit`)
    // and runs it; false when there was none.
    bool AdvanceToNextTimer(std::optional<Milliseconds> limit = std::nullopt);

private:
    Milliseconds now_;
};

// The clock in force: the steady clock unless a ScopedClockOverride is alive.
Clock& CurrentClock();
// The manual clock in force, or null in a real run.
ManualClock* CurrentManualClock();

// The timer keeper the manual clock consults; the window system registers itself.
void SetTimerScheduler(TimerScheduler* scheduler);
TimerScheduler* CurrentTimerScheduler();

// Installs a manual clock for the life of the object (one at a time; nests).
class ScopedClockOverride {
public:
    explicit ScopedClockOverride(Milliseconds start = 1'000'000);
    ~ScopedClockOverride();
    ScopedClockOverride(const ScopedClockOverride&) = delete;
    ScopedClockOverride& operator=(const ScopedClockOverride&) = delete;

    ManualClock& clock() { return *clock_; }

private:
    std::unique_ptr<ManualClock> clock_;
    Clock* previous_;
};

}  // namespace zem::platform
