// How long tests wait for what an X server, a window manager, the web engine
// or a started program does. Every such wait ends as soon as its event comes,
// so the bound costs nothing when all is well; it only has to hold for the
// slowest run that still works: a sanitized build on a machine other work
// keeps busy, where a web view's first page has taken more than 15 s. Tests
// take their bounds from here rather than tuning their own to a quiet machine.
#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>

namespace zem::testing {

inline constexpr std::chrono::milliseconds kEventWait{60'000};
inline constexpr int kEventWaitMilliseconds = static_cast<int>(kEventWait.count());

// A whole test program run again (in a process namespace of its own): a few
// waits for events, well inside ctest's time-out for one test (300 s).
inline constexpr int kProgramRunMilliseconds = 4 * kEventWaitMilliseconds;

// The milliseconds left until `deadline`, never below 0: for poll().
inline int MillisecondsUntil(std::chrono::steady_clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
    return static_cast<int>(std::max<long long>(left, 0));
}

// For what nothing announces to the test (a pixel on a server's screen, a
// property a window manager sets): asks `done` every 10 ms until it holds or
// `bound` passes; `done()` at the end.
inline bool PollUntil(const std::function<bool()>& done, std::chrono::milliseconds bound = kEventWait) {
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) return done();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

}  // namespace zem::testing
