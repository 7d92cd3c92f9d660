#include <gtest/gtest.h>

#include "platform/base/clock.h"
#include "platform/window/user32.h"

using zem::platform::CurrentClock;
using zem::platform::CurrentManualClock;
using zem::platform::ScopedClockOverride;

TEST(Clock, AnOverrideInstallsAManualClockAndNestsBack) {
    EXPECT_FALSE(CurrentClock().IsManual());
    {
        ScopedClockOverride outer(5000);
        EXPECT_EQ(GetTickCount(), 5000u);
        {
            ScopedClockOverride inner(100);
            inner.clock().Advance(25);
            EXPECT_EQ(GetTickCount(), 125u);
            EXPECT_EQ(CurrentManualClock(), &inner.clock());
        }
        EXPECT_EQ(GetTickCount(), 5000u);
    }
    EXPECT_EQ(CurrentManualClock(), nullptr);
    const auto before = CurrentClock().Now();
    EXPECT_GE(CurrentClock().Now(), before);
}
