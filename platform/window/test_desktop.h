// For tests of any area: a fresh desktop on a manual clock for the life of the
// object. Every window, class, timer and queued message is gone at both ends.
#pragma once

#include "platform/base/clock.h"
#include "platform/window/window_system.h"

namespace zem::platform {

class TestDesktop {
public:
    explicit TestDesktop(const DesktopSettings& settings = DesktopSettings{}) {
        ResetWindowSystem();
        ConfigureDesktop(settings);
    }
    ~TestDesktop() { ResetWindowSystem(); }
    TestDesktop(const TestDesktop&) = delete;
    TestDesktop& operator=(const TestDesktop&) = delete;

    ManualClock& clock() { return clock_.clock(); }

private:
    ScopedClockOverride clock_;
};

}  // namespace zem::platform
