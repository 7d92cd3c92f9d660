// The desktop display under a window manager of the test's own (openbox on a
// virtual X server): what the manager offers for each kind of window, as it
// announces it, and real clicks through XTest.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/event_loop.h"
#include "platform/display/display.h"
#include "platform/display/message_box.h"
#include "platform/forms/msgbox.h"
#include "platform/window/test_desktop.h"
#include "platform/window/user32.h"
#include "platform/window/window_system.h"
#include "tests/support/window_manager.h"
#include "tests/support/x_geometry.h"
#include "tests/support/xtest_input.h"
#include "tests/support/xvfb_server.h"

namespace {

using zem::testing::PumpUntilAtServer;
using zem::testing::ManagedLook;

LRESULT PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

class WindowManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(server.Name().empty()) << "Xvfb did not start";
        ASSERT_TRUE(windowManager.Running()) << "the window manager did not start";
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = PlainProc;
        windowClass.lpszClassName = "WindowManagerTest";
        RegisterClassA(&windowClass);
        ASSERT_TRUE(zem::platform::StartDesktopDisplay(server.Name().c_str()));
        observer = XOpenDisplay(server.Name().c_str());
        ASSERT_NE(observer, nullptr);
    }
    void TearDown() override {
        zem::platform::StopDesktopDisplay();
        if (observer != nullptr) XCloseDisplay(observer);
    }

    bool Managed(::Window window) { return zem::testing::Managed(observer, window); }
    ManagedLook LookAtServer(::Window window) { return zem::testing::LookAtServer(observer, window); }
    zem::platform::TestDesktop desktop;
    zem::testing::XvfbServer server;
    zem::testing::TestWindowManager windowManager{server.Name()};
    zem::testing::XTestInput input{server.Name()};
    Display* observer = nullptr;
};

// A borderless window without a maximize box has the size its program gives
// it; one with the box may be maximized and resized by the manager too.
TEST_F(WindowManagerTest, OnlyAWindowWithAMaximizeBoxMayBeMaximizedOrResized) {
    struct Case {
        const char* name;
        DWORD style;
        bool fixed;
    };
    const Case cases[] = {
        {"borderless", WS_POPUP, true},
        {"borderless with a minimize box", WS_POPUP | WS_MINIMIZEBOX | WS_SYSMENU, true},
        {"borderless with a maximize box", WS_POPUP | WS_MAXIMIZEBOX, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND window = CreateWindowExA(0, "WindowManagerTest", c.name, c.style, 100, 80, 300, 200, nullptr, nullptr,
                                      nullptr, nullptr);
        ShowWindow(window, SW_SHOW);
        ::Window shown = 0;
        ASSERT_TRUE(PumpUntilAtServer([&] { return Managed(shown = zem::platform::XWindowOf(window)); }));
        const ManagedLook look = LookAtServer(shown);
        EXPECT_EQ(look.fixedSize, c.fixed);
        EXPECT_EQ(look.mayMaximize, !c.fixed);
        EXPECT_EQ(look.mayResize, !c.fixed);
        EXPECT_FALSE(look.dialog);
        DestroyWindow(window);
    }
}

// The upgrade question is a dialog box of fixed size: the manager offers
// neither maximize nor resize, and a click on a button still answers it.
TEST_F(WindowManagerTest, AMessageBoxIsAFixedSizeDialog) {
    std::optional<ManagedLook> seen;
    bool clicked = false;
    const auto hook = zem::platform::EventLoop::Get().RegisterWaitHook(
        {[&]() -> std::optional<zem::platform::Milliseconds> {
             if (clicked) return std::nullopt;
             for (HWND top : zem::platform::TopLevelWindows()) {
                 if (zem::platform::WindowClassName(top) != "ZemMessageBox") continue;
                 const ::Window shown = zem::platform::XWindowOf(top);
                 if (!Managed(shown)) continue;
                 seen = LookAtServer(shown);
                 const std::vector<RECT> buttons = zem::platform::MessageBoxButtons(top);
                 if (buttons.size() < 2) return std::nullopt;
                 const RECT place = zem::testing::RootRect(observer, shown);
                 input.Click(static_cast<int>(place.left + (buttons[1].left + buttons[1].right) / 2),
                             static_cast<int>(place.top + (buttons[1].top + buttons[1].bottom) / 2));
                 clicked = true;
                 return std::nullopt;
             }
             return 20;  // look again soon: the manager is taking the box in
         },
         nullptr});
    const int answer = zem::forms::MsgBox("是否立即升级新版本新版版本号：1.3",
                                          zem::forms::vbYesNo | zem::forms::vbInformation, "检测到更新");
    zem::platform::EventLoop::Get().UnregisterWaitHook(hook);
    ASSERT_TRUE(seen.has_value()) << "the box was never managed";
    EXPECT_TRUE(seen->fixedSize);
    EXPECT_TRUE(seen->dialog);
    EXPECT_FALSE(seen->mayMaximize);
    EXPECT_FALSE(seen->mayResize);
    EXPECT_EQ(answer, zem::forms::vbNo);
}

}  // namespace
