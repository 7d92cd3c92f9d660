// The wait of tests that run the program's own event loop against real
// events (an X server, the web engine): messages, the display and the engine
// run until a condition holds.
#pragma once

#include <chrono>
#include <functional>

#include "platform/window/window_system.h"
#include "tests/support/event_wait.h"

namespace zem::testing {

// Runs the program's event loop until `done` holds or `bound` passes; a
// manual clock stays put. Answers `done()`.
inline bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds bound = kEventWait) {
    return platform::PumpMessagesUntil(done, static_cast<platform::Milliseconds>(bound.count()));
}

// Runs it for `span` (for what must not happen meanwhile).
inline void PumpFor(std::chrono::milliseconds span) {
    PumpUntil([] { return false; }, span);
}

}  // namespace zem::testing
