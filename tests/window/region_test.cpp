#include <gtest/gtest.h>

#include "platform/window/region.h"
#include "platform/window/test_desktop.h"
#include "platform/window/user32.h"
#include "tests/window/recorder.h"

using zem::platform::Region;
using zem::platform::RegionSpan;

namespace {

TEST(Region, TheSkinnedWindowShapeHasRoundTopAndSquareBottomCorners) {
    const int width = 300, height = 200;
    const Region shape = Region::RoundRectangle(0, 0, width + 1, height + 200, 5, 5);
    struct Case {
        LONG x, y;
        bool inside;
    };
    const Case cases[] = {
        {0, 0, false}, {width - 1, 0, false},           // rounded top corners
        {2, 0, true},  {width - 3, 0, true},             // the top edge past the curve
        {0, 2, true},  {width - 1, 2, true},             // the sides below the curve
        {0, height - 1, true}, {width - 1, height - 1, true},  // square bottom corners
        {width, 10, false}, {-1, 10, false},
    };
    for (const Case& each : cases)
        EXPECT_EQ(shape.Contains(each.x, each.y), each.inside) << each.x << "," << each.y;
    EXPECT_EQ(shape.Bounds().right, width);
    EXPECT_EQ(shape.Bounds().bottom, height + 199);
}

TEST(Region, SpansAreMergedSortedAndIntersected) {
    const Region merged = Region::FromSpans({{1, 5, 8}, {0, 0, 2}, {1, 0, 5}, {1, 9, 9}});
    EXPECT_EQ(merged.Spans(), (std::vector<RegionSpan>{{0, 0, 2}, {1, 0, 8}}));
    const Region cut = merged.Intersect(Region::Rectangle(1, 0, 4, 5));
    EXPECT_EQ(cut.Spans(), (std::vector<RegionSpan>{{0, 1, 2}, {1, 1, 4}}));
    EXPECT_EQ(cut.Offset(10, 1).Spans().front(), (RegionSpan{1, 11, 12}));
    EXPECT_TRUE(Region::Rectangle(3, 3, 3, 9).IsEmpty());
}

class RegionHandles : public ::testing::Test {
protected:
    void SetUp() override { window_test::RegisterRecordingClass("Recorder"); }
    zem::platform::TestDesktop desktop;
};

TEST_F(RegionHandles, AWindowOwnsItsRegionAndOnlyFreeRegionsAreDeleted) {
    HRGN free = CreateRectRgn(0, 0, 10, 10);
    EXPECT_TRUE(PtInRegion(free, 9, 9));
    EXPECT_FALSE(PtInRegion(free, 10, 9));
    bool deleted = false;
    EXPECT_TRUE(zem::platform::DeleteRegionObject(free, &deleted));
    EXPECT_TRUE(deleted);
    EXPECT_FALSE(PtInRegion(free, 1, 1));
    EXPECT_FALSE(zem::platform::DeleteRegionObject(free));

    HWND window = window_test::MakeWindow(0, 0, 100, 100);
    HRGN owned = CreateRoundRectRgn(0, 0, 101, 300, 5, 5);
    EXPECT_EQ(SetWindowRgn(window, owned, TRUE), 1);
    EXPECT_TRUE(zem::platform::DeleteRegionObject(owned, &deleted));
    EXPECT_FALSE(deleted);
    ASSERT_NE(zem::platform::WindowRegion(window), nullptr);
    EXPECT_FALSE(zem::platform::WindowRegion(window)->Contains(0, 0));

    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(window, copy), COMPLEXREGION);
    EXPECT_TRUE(PtInRegion(copy, 50, 0));
    // A new region frees the one before; so does the window's end.
    SetWindowRgn(window, CreateRectRgn(0, 0, 50, 50), TRUE);
    EXPECT_EQ(zem::platform::RegionFromHandle(owned), nullptr);
    SetWindowRgn(window, nullptr, TRUE);
    EXPECT_EQ(zem::platform::WindowRegion(window), nullptr);

    zem::platform::DeleteRegionObject(copy);
}

}  // namespace
