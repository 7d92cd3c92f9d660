// The player's tray menu as a person meets it: the main window loaded in a
// program folder of the test's own and shown on a virtual X server, its tray
// icon docked into a test tray manager, a right click on the icon through
// XTest, and a real click on an item of the menu window once it is mapped.
// The web views stay headless; the launcher only records.
#include <gtest/gtest.h>

#include "tests/secondary_display/tray_menu_fixture.h"

namespace zem::secondary_display_testing {
namespace {

// "显示或隐藏" chosen by real clicks hides the main window (its X window is
// unmapped) and, chosen again, shows it; each time the menu opens at the
// pointer and closes with its grab once the item is chosen.
TEST_F(TrayMenuOnTheDisplay, ARightClickOnTheIconOpensTheMenuAndAClickOnShowOrHideFlipsTheMainWindow) {
    Form1& main = OpenMain();
    const ::Window mainShown = zem::platform::XWindowOf(main.hWnd());
    ASSERT_TRUE(Viewable(mainShown));
    const ::Window icon = DockedIcon(main);
    ASSERT_FALSE(HasFailure());

    const std::size_t row = TrayMenuRow("显示或隐藏");
    for (const bool visibleAfter : {false, true}) {
        SCOPED_TRACE(visibleAfter ? "shown again" : "hidden");
        const SeenMenu seen = ChooseFromTrayMenu(icon, row, [&] { return main.Visible() == visibleAfter; });
        ASSERT_NE(seen.window, nullptr) << "no menu window was mapped";
        ASSERT_EQ(seen.rows.size(), TrayMenuRows());
        // At the pointer: a corner of the menu is where the icon was clicked.
        EXPECT_TRUE(seen.place.left == iconPoint.x || seen.place.right == iconPoint.x) << seen.place.left;
        EXPECT_TRUE(seen.place.top == iconPoint.y || seen.place.bottom == iconPoint.y) << seen.place.top;

        ASSERT_EQ(main.Visible(), visibleAfter) << "the item's click did not flip the main window";
        EXPECT_TRUE(PumpUntil([&] { return Viewable(mainShown) == visibleAfter; }))
            << "the main window's X window did not follow";

        // The menu is gone, in the model and at the server, and holds the pointer no more.
        EXPECT_FALSE(IsWindow(seen.window));
        EXPECT_TRUE(PumpUntil([&] { return !Viewable(seen.shown); }));
        EXPECT_EQ(GetCapture(), nullptr);
        EXPECT_EQ(XGrabPointer(observer, DefaultRootWindow(observer), False, ButtonPressMask, GrabModeAsync,
                               GrabModeAsync, None, None, CurrentTime),
                  GrabSuccess)
            << "the menu's pointer grab is still held";
        XUngrabPointer(observer, CurrentTime);
        XSync(observer, False);
    }
    EXPECT_TRUE(launcher.started.empty());
    EXPECT_EQ(zem::platform::TrayIcons().size(), 1u);
}

}  // namespace
}  // namespace zem::secondary_display_testing
