// The settings window, owned by the main window, as a person meets it on a
// desktop with a window manager (one the test starts on its own virtual X
// server): it stays above the main window when the main window is clicked,
// choosing it again while it is open brings it forward as the active window,
// and it goes and comes back with the main window's minimize and restore.
// Stacking and activity are read from the server.
#include <gtest/gtest.h>

#include "shell/config_info.h"
#include "tests/secondary_display/tray_menu_fixture.h"
#include "tests/support/window_manager.h"

#include <X11/Xutil.h>
#include "windows/shezhitip.h"

namespace zem::secondary_display_testing {
namespace {

using zem::testing::ActiveWindow;
using zem::testing::StackedAbove;
using zem::testing::WindowProperty;

class OwnedWindowsOnTheDisplay : public TrayMenuOnTheDisplay {
protected:
    void SetUp() override {
        ASSERT_TRUE(windowManager.Running()) << "the window manager did not start";
        TrayMenuOnTheDisplay::SetUp();
    }

    // A person's click at a client point of the main window, at the server.
    void ClickMain(const Form1& main, int x, int y) {
        const RECT place = RootRect(zem::platform::XWindowOf(main.hWnd()));
        input.Click(static_cast<int>(place.left) + x, static_cast<int>(place.top) + y);
    }
    long ServerState(::Window window) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        const Atom state = XInternAtom(observer, "WM_STATE", False);
        long value = WithdrawnState;
        if (XGetWindowProperty(observer, window, state, 0, 2, False, state, &type, &format, &count, &after, &data) ==
                Success &&
            data != nullptr && count >= 1)
            value = *reinterpret_cast<long*>(data);
        if (data != nullptr) XFree(data);
        return value;
    }
    // Asks the window manager to bring a window back, as a taskbar would.
    void ActivateAsATaskbar(::Window window) { zem::testing::RequestActivation(observer, window); }

    zem::testing::TestWindowManager windowManager{xvfb.Name()};
};

TEST_F(OwnedWindowsOnTheDisplay, TheSettingsWindowStaysAboveTheMainWindowComesForwardAgainAndMinimizesWithIt) {
    // The minimize button minimizes; the player view's bottom bar is what the clicks land on.
    配置信息::WriteConfig("form", "renwulan", "True");
    配置信息::WriteConfig("form", "shipinku", "False");
    Form1& main = OpenMain();
    const ::Window mainShown = zem::platform::XWindowOf(main.hWnd());
    const ::Window icon = DockedIcon(main);
    ASSERT_FALSE(HasFailure());
    const std::size_t row = TrayMenuRow("软件设置");
    const auto settingsShown = [] {
        shezhitip* settings = FormInstance<shezhitip>::Loaded() ? &FormInstance<shezhitip>::Get() : nullptr;
        return settings != nullptr ? zem::platform::XWindowOf(settings->hWnd()) : ::Window{0};
    };

    ChooseFromTrayMenu(icon, row, [&] { return Viewable(settingsShown()); });
    const ::Window settings = settingsShown();
    ASSERT_TRUE(Viewable(settings)) << "the settings window never showed";
    EXPECT_EQ(WindowProperty(observer, settings, "WM_TRANSIENT_FOR"), mainShown);
    EXPECT_TRUE(PumpUntilAtServer([&] { return StackedAbove(observer, settings, mainShown); }));

    // A click on the main window's bottom bar makes it the active window; the
    // settings window stays above it.
    ClickMain(main, 30, 640);
    EXPECT_TRUE(PumpUntilAtServer([&] {
        return ActiveWindow(observer) == mainShown && GetForegroundWindow() == main.hWnd() &&
               StackedAbove(observer, settings, mainShown);
    })) << "active " << ActiveWindow(observer) << ", above " << StackedAbove(observer, settings, mainShown);

    // Chosen again while it is open: the same window comes forward as the active one.
    ChooseFromTrayMenu(icon, row, [&] { return ActiveWindow(observer) == settings; });
    EXPECT_EQ(ActiveWindow(observer), settings);
    EXPECT_EQ(settingsShown(), settings);
    EXPECT_TRUE(StackedAbove(observer, settings, mainShown));

    // The main window's minimize button takes the settings window away with it...
    ClickMain(main, static_cast<int>(main.ScaleWidth()) - 75, 50);
    EXPECT_TRUE(PumpUntilAtServer(
        [&] { return ServerState(mainShown) == IconicState && !Viewable(mainShown) && !Viewable(settings); }))
        << "main " << ServerState(mainShown) << ", settings viewable " << Viewable(settings);
    EXPECT_TRUE(FormInstance<shezhitip>::Loaded());

    // ...and the restore, asked of the window manager, brings both back, the settings window above.
    ActivateAsATaskbar(mainShown);
    EXPECT_TRUE(PumpUntilAtServer([&] {
        return main.WindowState() == zem::forms::vbNormal && Viewable(mainShown) && Viewable(settings) &&
               StackedAbove(observer, settings, mainShown);
    })) << "main state " << main.WindowState() << ", settings viewable " << Viewable(settings);
}

}  // namespace
}  // namespace zem::secondary_display_testing
