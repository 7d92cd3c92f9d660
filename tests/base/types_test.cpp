#include "platform/base/win32_types.h"

#include <gtest/gtest.h>

TEST(WordPacking, SignedClientCoordinatesSurviveThePacking) {
    const LPARAM packed = MAKELPARAM(static_cast<WORD>(-5), 300);
    EXPECT_EQ(GET_X_LPARAM(packed), -5);
    EXPECT_EQ(GET_Y_LPARAM(packed), 300);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(MAKEWPARAM(0, static_cast<WORD>(-120))), -120);
    EXPECT_EQ(RGB(0x12, 0x34, 0x56), 0x563412u);
}
