// The tray icons under real desktop panels (tint2, trayer) on a virtual X
// server of the test's own, with openbox: what the server reports of the icon
// windows (docked = reparented into the panel and mapped, their size and
// pixels) and of the tip window, with real pointer input through XTest.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/text.h"
#include "platform/display/display.h"
#include "platform/forms/tooltip.h"
#include "platform/shell/icons.h"
#include "platform/shell/tray.h"
#include "platform/window/test_desktop.h"
#include "platform/window/user32.h"
#include "platform/window/window_system.h"
#include "tests/support/event_wait.h"
#include "tests/support/program_display.h"
#include "tests/support/test_tray_manager.h"
#include "tests/support/window_manager.h"
#include "tests/support/x_geometry.h"
#include "tests/support/xvfb_server.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

namespace {

using zem::platform::PumpMessagesUntil;
using zem::testing::PanelKind;
using zem::testing::TrayPanel;

constexpr UINT kCallback = WM_USER + 1;
constexpr zem::platform::Milliseconds kLimit = zem::testing::kEventWaitMilliseconds;

std::vector<LPARAM> g_callbacks;

LRESULT IconOwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kCallback) g_callbacks.push_back(lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

// A 16 x 16 icon of four opaque quarters, so that a scaled drawing shows
// where each quarter went.
constexpr std::uint32_t kQuarters[4] = {0xE02020, 0x20C040, 0x2040E0, 0xF0D020};

std::uint32_t QuarterAt(int x, int y, int width, int height) {
    return kQuarters[(2 * y >= height ? 2 : 0) + (2 * x >= width ? 1 : 0)];
}

HICON QuartersIcon() {
    zem::platform::IconImage image;
    image.width = image.height = 16;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) image.pixels.push_back(0xFF000000 | QuarterAt(x, y, 16, 16));
    return zem::platform::CreateIconFromImage(image);
}

struct PlacedIcon {
    HWND owner;
    const char* tip;
};

class TrayDesktopTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Nothing starts before the test's own server is there: no other display is touched.
        ASSERT_FALSE(server.Name().empty()) << "Xvfb did not start";
        windowManager.emplace(server.Name());
        ASSERT_TRUE(windowManager->Running());
        display.emplace(server.Name());
        ASSERT_TRUE(display->Started());
        observer = XOpenDisplay(server.Name().c_str());
        ASSERT_NE(observer, nullptr);
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = IconOwnerProc;
        windowClass.lpszClassName = "TrayDesktopTest";
        RegisterClassA(&windowClass);
        g_callbacks.clear();
    }
    void TearDown() override {
        if (observer != nullptr) XCloseDisplay(observer);
    }

    // The player's icon and the updater's, each with its window and tip.
    std::vector<PlacedIcon> AddIcons() {
        std::vector<PlacedIcon> icons{{MakeOwner(), "播放器"}, {MakeOwner(), "在线升级"}};
        for (const PlacedIcon& icon : icons) {
            NOTIFYICONDATAA record{};
            record.cbSize = sizeof record;
            record.hWnd = HandleField(icon.owner);
            record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
            record.uCallbackMessage = kCallback;
            record.hIcon = HandleField(QuartersIcon());
            const std::string tip = zem::platform::Utf8ToGbk(icon.tip);
            std::copy(tip.begin(), tip.end(), record.szTip);
            EXPECT_TRUE(Shell_NotifyIconA(NIM_ADD, &record));
        }
        return icons;
    }
    HWND MakeOwner() {
        return CreateWindowExA(0, "TrayDesktopTest", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    }

    // The icon's window once the panel has it: reparented away from the
    // root and mapped, with every ancestor; 0 when that does not come.
    ::Window Docked(HWND owner) {
        ::Window docked = 0;
        PumpMessagesUntil(
            [&] {
                const ::Window icon = zem::platform::XTrayIconWindow(owner, 0);
                if (icon == 0) return false;
                ::Window root = 0, parent = 0, *children = nullptr;
                unsigned count = 0;
                if (XQueryTree(observer, icon, &root, &parent, &children, &count) == 0) return false;
                if (children != nullptr) XFree(children);
                XWindowAttributes attributes{};
                if (parent == root || XGetWindowAttributes(observer, icon, &attributes) == 0 ||
                    attributes.map_state != IsViewable)
                    return false;
                docked = icon;
                return true;
            },
            kLimit);
        return docked;
    }
    POINT CentreOf(::Window window) {
        const RECT place = zem::testing::RootRect(observer, window);
        return POINT{(place.left + place.right) / 2, (place.top + place.bottom) / 2};
    }
    // Moves the pointer to the window's centre once the panel has stopped
    // laying it out: a panel moves its icons while others dock, so the place
    // is taken again until it is the same after the program has read the move.
    bool RestPointerOn(::Window window, POINT& centre) {
        const auto deadline = std::chrono::steady_clock::now() + zem::testing::kEventWait;
        while (std::chrono::steady_clock::now() < deadline) {
            centre = CentreOf(window);
            display->input().MoveTo(static_cast<int>(centre.x), static_cast<int>(centre.y));
            if (!display->Settle()) return false;
            const POINT now = CentreOf(window);
            if (now.x == centre.x && now.y == centre.y) return true;
        }
        return false;
    }
    // The tip window at the server: mapped (true) or not (false), once it is so.
    bool TipMapped(bool mapped) {
        return PumpMessagesUntil(
            [&] {
                const HWND tip = zem::forms::ShownToolTipWindow();
                const ::Window shown = tip != nullptr ? zem::platform::XWindowOf(tip) : tipWindow_;
                if (tip != nullptr) tipWindow_ = shown;
                XWindowAttributes attributes{};
                const bool viewable = shown != 0 && XGetWindowAttributes(observer, shown, &attributes) != 0 &&
                                      attributes.map_state == IsViewable;
                return viewable == mapped;
            },
            kLimit);
    }

    zem::platform::TestDesktop desktop;
    zem::testing::XvfbServer server;
    std::optional<zem::testing::TestWindowManager> windowManager;
    std::optional<zem::testing::ProgramDisplay> display;
    Display* observer = nullptr;
    ::Window tipWindow_ = 0;
};

// A panel that ends and starts again, or another that starts in its place,
// gets every icon again, named with its tip, its clicks reaching the icon's
// window as before.
TEST_F(TrayDesktopTest, EveryIconDocksAgainWhenAPanelTakesTheTrayAfterAnother) {
    auto panel = std::make_unique<TrayPanel>(server.Name(), PanelKind::Tint2);
    ASSERT_TRUE(panel->Running());
    const std::vector<PlacedIcon> icons = AddIcons();
    for (const PlacedIcon& icon : icons) ASSERT_NE(Docked(icon.owner), 0u) << icon.tip << " under tint2";

    for (const PanelKind next : {PanelKind::Tint2, PanelKind::Trayer}) {
        ASSERT_TRUE(panel->Stop());
        panel = std::make_unique<TrayPanel>(server.Name(), next);
        ASSERT_TRUE(panel->Running()) << PanelName(next);
        for (const PlacedIcon& icon : icons) {
            const ::Window docked = Docked(icon.owner);
            ASSERT_NE(docked, 0u) << icon.tip << " again under " << PanelName(next);
            EXPECT_EQ(zem::testing::WindowName(observer, docked), icon.tip);
        }
    }
    const POINT centre = CentreOf(Docked(icons[0].owner));
    display->input().Click(static_cast<int>(centre.x), static_cast<int>(centre.y));
    ASSERT_TRUE(display->Settle());
    EXPECT_TRUE(PumpMessagesUntil([] { return g_callbacks.size() >= 2; }, kLimit));
    EXPECT_EQ(g_callbacks, (std::vector<LPARAM>{WM_LBUTTONDOWN, WM_LBUTTONUP}));
}

// trayer sizes an icon from its size hints: the icon asks for at least
// 16 x 16 and fills whatever it gets with its picture, scaled.
TEST_F(TrayDesktopTest, UnderTrayerTheIconIsAtLeastSixteenSquareAndDrawnScaledToItsSize) {
    TrayPanel panel(server.Name(), PanelKind::Trayer);
    ASSERT_TRUE(panel.Running());
    const std::vector<PlacedIcon> icons = AddIcons();
    const ::Window docked = Docked(icons[0].owner);
    ASSERT_NE(docked, 0u);
    XWindowAttributes attributes{};
    ASSERT_NE(XGetWindowAttributes(observer, docked, &attributes), 0);
    EXPECT_GE(attributes.width, 16);
    EXPECT_GE(attributes.height, 16);

    // Every pixel of the window is its quarter's colour; a pixel on either
    // side of a dividing line may go either way.
    const int width = attributes.width, height = attributes.height;
    auto wrongPixels = [&] {
        XImage* image = XGetImage(observer, docked, 0, 0, static_cast<unsigned>(width),
                                  static_cast<unsigned>(height), AllPlanes, ZPixmap);
        if (image == nullptr) return width * height;
        int wrong = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                if (std::abs(2 * x + 1 - width) <= 2 || std::abs(2 * y + 1 - height) <= 2) continue;
                wrong += (XGetPixel(image, x, y) & 0xFFFFFF) != QuarterAt(x, y, width, height);
            }
        XDestroyImage(image);
        return wrong;
    };
    PumpMessagesUntil([&] { return wrongPixels() == 0; }, kLimit);
    EXPECT_EQ(wrongPixels(), 0) << "of " << width << " x " << height;
}

// The pointer resting on a docked icon shows its tip by the pointer after the
// runtime's delay; leaving the icon takes it away.
TEST_F(TrayDesktopTest, ThePointerRestingOnTheIconShowsItsTipAndLeavingHidesIt) {
    for (const PanelKind kind : {PanelKind::Tint2, PanelKind::Trayer}) {
        SCOPED_TRACE(PanelName(kind));
        TrayPanel panel(server.Name(), kind);
        ASSERT_TRUE(panel.Running());
        const std::vector<PlacedIcon> icons = AddIcons();
        // Every icon docked first, so that none moves the others aside later.
        for (const PlacedIcon& icon : icons) ASSERT_NE(Docked(icon.owner), 0u) << icon.tip;
        for (const PlacedIcon& icon : icons) {
            SCOPED_TRACE(icon.tip);
            const ::Window docked = Docked(icon.owner);
            ASSERT_NE(docked, 0u);
            POINT centre{};
            ASSERT_TRUE(RestPointerOn(docked, centre));
            desktop.clock().Advance(zem::forms::ToolTipInitialDelay - 1);
            zem::platform::ProcessPendingMessages();
            EXPECT_EQ(zem::forms::ShownToolTipWindow(), nullptr) << "not before the rest";
            desktop.clock().Advance(1);
            zem::platform::ProcessPendingMessages();
            ASSERT_TRUE(TipMapped(true));
            EXPECT_EQ(zem::forms::ShownToolTipText(), icon.tip);
            // By the pointer: within a few pixels of it, on the screen.
            const RECT tip = zem::testing::RootRect(observer, tipWindow_);
            const auto apartX = std::max<LONG>({tip.left - centre.x, centre.x - tip.right, 0});
            const auto apartY = std::max<LONG>({tip.top - centre.y, centre.y - tip.bottom, 0});
            EXPECT_LE(apartX, 2);
            EXPECT_LE(apartY, 24);
            EXPECT_GE(tip.left, 0);
            EXPECT_LE(tip.bottom, 768);

            display->input().MoveTo(100, 100);
            ASSERT_TRUE(display->Settle());
            EXPECT_TRUE(TipMapped(false));
        }
        for (const PlacedIcon& icon : icons) DestroyWindow(icon.owner);
        ASSERT_TRUE(PumpMessagesUntil([&] { return zem::platform::XTrayIconWindow(icons[0].owner, 0) == 0; }, kLimit));
    }
}

}  // namespace
