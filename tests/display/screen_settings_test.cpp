#include <gtest/gtest.h>

#include <vector>

#include "platform/display/screen_settings.h"

namespace {

TEST(ScreenSettings, TheWorkAreaPlacesTheTaskbar) {
    using zem::platform::TaskbarEdge;
    struct Case {
        std::vector<long> area;
        TaskbarEdge edge;
        LONG thickness;
    };
    const Case cases[] = {
        {{}, TaskbarEdge::None, 0},
        {{0, 0, 1366, 768}, TaskbarEdge::None, 0},
        {{0, 0, 1366, 728}, TaskbarEdge::Bottom, 40},
        {{0, 32, 1366, 736}, TaskbarEdge::Top, 32},
        {{48, 0, 1318, 768}, TaskbarEdge::Left, 48},
        {{0, 0, 1300, 768}, TaskbarEdge::Right, 66},
    };
    for (const Case& each : cases) {
        const auto settings =
            zem::platform::display::DesktopFromWorkArea(1366, 768, each.area.empty() ? nullptr : each.area.data());
        EXPECT_EQ(settings.width, 1366);
        EXPECT_EQ(settings.taskbarEdge, each.edge);
        EXPECT_EQ(settings.taskbarThickness, each.thickness);
    }
}

}  // namespace
