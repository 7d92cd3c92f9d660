// The real `update` closed the way a person closes a window, under a window
// manager of the test's own (openbox): Alt+F4 on the active window, or a
// pager's close request (_NET_CLOSE_WINDOW, as `wmctrl -c` sends it), each
// delivered to the program as WM_DELETE_WINDOW. The window leaves the
// manager's client list and the process ends, also after the tray menu was
// once opened (which loads the never-shown window that holds it). Each case
// runs in a process namespace of its own.
#include <gtest/gtest.h>

// The platform's names first: Xlib's macros (None...) would clash with them.
#include "tests/support/window_manager.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include "tests/support/event_wait.h"
#include "tests/support/process_namespace.h"
#include "tests/support/test_tray_manager.h"
#include "tests/support/x_geometry.h"
#include "tests/updater_display/updater_on_display.h"
#include "windows/version_check.h"

namespace {

using zem::updater_display_testing::UpdaterOnDisplay;

// Windows of the updater may go at any moment while the test asks about
// them: an error about a window already gone is an answer, not a failure.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

// Looks again every 10 ms until `done` holds, at most `milliseconds`.
template <class Done>
bool WaitUntil(Done done, int milliseconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// The next window mapped on the root (a pop-up menu is not reparented),
// waiting at most `milliseconds`; its events are read from `display`.
std::optional<Window> NextMappedOnRoot(Display* display, int milliseconds) {
    std::optional<Window> mapped;
    WaitUntil(
        [&] {
            XSync(display, False);
            while (XPending(display) > 0 && !mapped) {
                XEvent event;
                XNextEvent(display, &event);
                if (event.type == MapNotify && event.xmap.override_redirect) mapped = event.xmap.window;
            }
            return mapped.has_value();
        },
        milliseconds);
    return mapped;
}

enum class CloseWay { AltF4, PagerRequest };

struct CloseCase {
    const char* name;
    std::string_view mode;
    CloseWay way;
    bool openTrayMenuFirst;
};

class UpdaterWindowClose : public ::testing::TestWithParam<CloseCase> {};

TEST_P(UpdaterWindowClose, TheWindowGoesAndTheProcessEnds) {
    const CloseCase& each = GetParam();
    ZEM_RUN_IN_OWN_PROCESS_NAMESPACE(std::string("Closes/UpdaterWindowClose.TheWindowGoesAndTheProcessEnds/") + each.name)
    XSetErrorHandler(IgnoreXError);
    // Nothing is fetched before the upgrade button: no server is needed.
    UpdaterOnDisplay updater("http://127.0.0.1:9");
    ASSERT_FALSE(updater.xvfb.Name().empty()) << "Xvfb did not start";
    zem::testing::TestWindowManager manager(updater.xvfb.Name());
    ASSERT_TRUE(manager.Running()) << "openbox did not take the screen";
    Display* trayConnection = XOpenDisplay(updater.xvfb.Name().c_str());
    ASSERT_NE(trayConnection, nullptr);
    std::optional<zem::testing::TestTrayManager> tray(std::in_place, trayConnection);

    ASSERT_TRUE(updater.Launch(each.mode));
    Display* observer = updater.observer;
    Window client = 0;
    ASSERT_TRUE(WaitUntil(
        [&] {
            client = zem::testing::ClientOfProcess(observer, updater.updater);
            XWindowAttributes attributes{};
            return client != 0 && XGetWindowAttributes(observer, client, &attributes) &&
                   attributes.map_state == IsViewable;
        },
        zem::testing::kEventWaitMilliseconds))
        << "the window manager does not show the updater's window"
        << (zem::testing::WaitForExit(updater.updater, 0) ? " (the updater has ended)" : "");

    if (each.openTrayMenuFirst) {
        Window icon = 0;
        ASSERT_TRUE(WaitUntil([&] { return (icon = tray->TakeDockRequest()) != 0; }, zem::testing::kEventWaitMilliseconds)) << "no icon docked";
        ASSERT_TRUE(WaitUntil(
            [&] {
                XWindowAttributes attributes{};
                return XGetWindowAttributes(observer, icon, &attributes) && attributes.map_state == IsViewable;
            },
            zem::testing::kEventWaitMilliseconds));
        // What was mapped before (the tray's own window) is not the menu.
        XSync(observer, True);
        const RECT at = zem::testing::RootRect(observer, icon);
        updater.input.Click((at.left + at.right) / 2, (at.top + at.bottom) / 2, 3);
        const std::optional<Window> menu = NextMappedOnRoot(observer, zem::testing::kEventWaitMilliseconds);
        ASSERT_TRUE(menu.has_value()) << "the tray menu did not open";
        // A press outside the menu closes it without a choice.
        updater.input.Click(2, 2);
        ASSERT_TRUE(WaitUntil(
            [&] {
                XWindowAttributes attributes{};
                return !XGetWindowAttributes(observer, *menu, &attributes) || attributes.map_state != IsViewable;
            },
            zem::testing::kEventWaitMilliseconds))
            << "the tray menu stayed open";
    }

    if (each.way == CloseWay::AltF4) {
        zem::testing::RequestActivation(observer, client);
        ASSERT_TRUE(WaitUntil([&] { return zem::testing::ActiveWindow(observer) == client; }, zem::testing::kEventWaitMilliseconds))
            << "the updater's window did not become the active one";
        updater.input.Key(XK_Alt_L, true);
        updater.input.TapKey(XK_F4);
        updater.input.Key(XK_Alt_L, false);
    } else {
        zem::testing::RequestClose(observer, client);
    }

    EXPECT_TRUE(WaitUntil(
        [&] {
            const auto clients = zem::testing::ClientList(observer);
            return std::find(clients.begin(), clients.end(), client) == clients.end();
        },
        zem::testing::kEventWaitMilliseconds))
        << "the window manager still manages the updater's window";
    EXPECT_TRUE(zem::testing::WaitForExit(updater.updater, zem::testing::kEventWaitMilliseconds).has_value())
        << "the updater runs on without a window";
    tray.reset();
    XCloseDisplay(trayConnection);
}

INSTANTIATE_TEST_SUITE_P(
    Closes, UpdaterWindowClose,
    ::testing::Values(CloseCase{"AltF4Current", 版本检查::CurrentMode, CloseWay::AltF4, false},
                      CloseCase{"PagerOffer", 版本检查::UpgradeMode, CloseWay::PagerRequest, false},
                      CloseCase{"PagerAfterTrayMenu", 版本检查::UpgradeMode, CloseWay::PagerRequest, true},
                      CloseCase{"AltF4AfterTrayMenu", 版本检查::UpgradeMode, CloseWay::AltF4, true}),
    [](const ::testing::TestParamInfo<CloseCase>& info) { return std::string(info.param.name); });

}  // namespace
