// The player's main window shown on a virtual X server of the test's own: a
// program folder of the test's own, a sample server as the fixed host, blank
// web views, a recording launcher, a test tray manager into which the tray
// icon docks, XTest input, and the tray menu answered by real clicks on the
// menu window once it is mapped.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/base/event_loop.h"
#include "platform/display/display.h"
#include "platform/display/menu_window.h"
#include "platform/forms/form.h"
#include "platform/forms/program.h"
#include "platform/shell/icon_pictures.h"
#include "platform/shell/tray.h"
#include "platform/system/files.h"
#include "platform/system/process.h"
#include "platform/webview/web_view.h"
#include "platform/window/test_desktop.h"
#include "platform/window/user32.h"
#include "platform/window/window_system.h"
#include "player/form1.h"
#include "shell/max_size.h"
#include "shell/program_windows.h"
#include "shell/taskbar_menu.h"
#include "shell/tray_icon.h"
#include "site/sample_server.h"
#include "tests/support/pump_until.h"
#include "tests/support/test_tray_manager.h"
#include "tests/support/window_manager.h"
#include "tests/support/xtest_input.h"
#include "tests/support/x_geometry.h"
#include "tests/support/xvfb_server.h"
#include "tests/system/recording_launcher.h"
#include "tests/system/scoped_environment.h"
#include "tests/system/temp_folder.h"
#include "windows/form2.h"
#include "windows/player_windows.h"

#include <X11/Xlib.h>

namespace zem::secondary_display_testing {

using zem::forms::FormInstance;
using zem::testing::PumpUntil;

inline void ResetShellModules() {
    无边框窗体最大化::ResetModuleState();
    状态栏::ResetModuleState();
    托盘气泡::ResetModuleState();
}

class TrayMenuOnTheDisplay : public ::testing::Test {
protected:
    TrayMenuOnTheDisplay() : programFolder_(folder.Path().string()) {
        std::filesystem::copy(ZEM_TEST_DATA_FOLDER, folder.Path() / "zemskin",
                              std::filesystem::copy_options::recursive);
        ResetShellModules();
        server.emplace(zem::site::ServerOptions{content.Path().string()});
        if (!server->Start()) throw std::runtime_error("the sample server did not start");
        host.emplace("ZEM_HOST", server->Address());
        zem::platform::InstallIconPictureLoader();
        RegisterPlayerWindows();
    }
    ~TrayMenuOnTheDisplay() override {
        zem::forms::DiscardAllForms();
        zem::forms::ResetProgramState();
        ResetShellModules();
        zem::shell::RegisterProgramWindows({});
        zem::platform::StopDesktopDisplay();
        zem::platform::SetIconFileLoader(nullptr);
        manager.reset();
        if (observer != nullptr) XCloseDisplay(observer);
    }

    void SetUp() override {
        ASSERT_FALSE(xvfb.Name().empty()) << "Xvfb did not start";
        observer = XOpenDisplay(xvfb.Name().c_str());
        ASSERT_NE(observer, nullptr);
        manager.emplace(observer);
        ASSERT_TRUE(input.Connected());
        ASSERT_TRUE(zem::platform::StartDesktopDisplay(xvfb.Name().c_str()));
    }

    // True when the X window exists and is mapped with all its ancestors.
    bool Viewable(::Window window) {
        if (window == 0 || !Exists(window)) return false;
        XWindowAttributes attributes{};
        return XGetWindowAttributes(observer, window, &attributes) != 0 && attributes.map_state == IsViewable;
    }
    // Whether the window is still anywhere in the server's tree (asked without
    // risking an error for a window already gone).
    bool Exists(::Window window) {
        std::vector<::Window> pending{DefaultRootWindow(observer)};
        while (!pending.empty()) {
            const ::Window at = pending.back();
            pending.pop_back();
            ::Window root = 0, parent = 0, *children = nullptr;
            unsigned count = 0;
            if (XQueryTree(observer, at, &root, &parent, &children, &count) == 0) continue;
            for (unsigned each = 0; each < count; ++each) pending.push_back(children[each]);
            if (children != nullptr) XFree(children);
            if (std::find(pending.end() - count, pending.end(), window) != pending.end()) return true;
        }
        return false;
    }
    RECT RootRect(::Window window) { return zem::testing::RootRect(observer, window); }

    // The main window, loaded, shown and mapped on the server.
    Form1& OpenMain() {
        Form1& main = FormInstance<Form1>::Get();
        main.Show();
        EXPECT_TRUE(PumpUntil([&] { return Viewable(zem::platform::XWindowOf(main.hWnd())); }))
            << "the main window never showed";
        return main;
    }

    // The main window's tray icon, docked into the test's tray and mapped there.
    ::Window DockedIcon(const Form1& main) {
        ::Window icon = 0;
        EXPECT_TRUE(PumpUntil([&] { return (icon = manager->TakeDockRequest()) != 0; }))
            << "the icon never docked";
        EXPECT_EQ(icon, zem::platform::XTrayIconWindow(main.hWnd(), 0));
        EXPECT_TRUE(PumpUntil([&] { return Viewable(icon); }));
        return icon;
    }

    // What the person saw of the menu they answered.
    struct SeenMenu {
        HWND window = nullptr;
        ::Window shown = 0;
        RECT place{};
        std::vector<RECT> rows;
    };

    // Clicks the tray icon with the right button and, once the menu window is
    // mapped, clicks the row of the item at `row` where the server shows it.
    // Waits until `done`; what was seen of the menu.
    SeenMenu ChooseFromTrayMenu(::Window icon, std::size_t row, const std::function<bool()>& done) {
        SeenMenu seen;
        bool clicked = false;
        const auto hook = zem::platform::EventLoop::Get().RegisterWaitHook(
            {[&]() -> std::optional<zem::platform::Milliseconds> {
                 if (clicked) return std::nullopt;
                 for (HWND top : zem::platform::TopLevelWindows()) {
                     if (zem::platform::WindowClassName(top) != "ZemPopupMenu") continue;
                     const ::Window shown = zem::platform::XWindowOf(top);
                     if (!Viewable(shown)) continue;
                     seen.window = top;
                     seen.shown = shown;
                     seen.place = RootRect(shown);
                     seen.rows = zem::platform::MenuWindowRows(top);
                     clicked = true;
                     if (row >= seen.rows.size()) return std::nullopt;
                     const RECT& at = seen.rows[row];
                     input.Click(seen.place.left + (at.left + at.right) / 2, seen.place.top + (at.top + at.bottom) / 2);
                     return std::nullopt;
                 }
                 return 20;  // look again soon: the menu is on its way
             },
             nullptr});
        const RECT place = RootRect(icon);
        iconPoint = POINT{(place.left + place.right) / 2, (place.top + place.bottom) / 2};
        input.Click(iconPoint.x, iconPoint.y, 3);
        PumpUntilAtServer(done);
        zem::platform::EventLoop::Get().UnregisterWaitHook(hook);
        return seen;
    }

    bool PumpUntilAtServer(const std::function<bool()>& done) { return zem::testing::PumpUntilAtServer(done); }

    // The row of the tray menu's item with this caption, as the menu lists its visible items.
    static std::size_t TrayMenuRow(const std::string& caption) {
        std::size_t row = 0;
        for (const auto& item : FormInstance<Form2>::Get().menu.Items()) {
            if (!item->Visible()) continue;
            if (item->Caption() == caption) return row;
            ++row;
        }
        throw std::logic_error("no item " + caption);
    }
    static std::size_t TrayMenuRows() {
        const auto& items = FormInstance<Form2>::Get().menu.Items();
        return static_cast<std::size_t>(std::count_if(items.begin(), items.end(), [](const auto& item) { return item->Visible(); }));
    }

    zem::platform::TestDesktop desktop;
    zem::platform::ScopedPreviousInstance alone{false};
    zem::testing::RecordingLauncher launcher;
    zem::platform::ScopedProcessLauncher launcherScope{launcher};
    zem::testing::TempFolder folder{"program folder"};
    zem::testing::TempFolder content;
    std::optional<zem::site::SampleServer> server;
    std::optional<zem::testing::ScopedEnvironment> host;
    // Blank views: the web engine is not what this test looks at.
    zem::platform::webview::ScopedViewFactory views{
        [](HWND window, zem::platform::webview::ViewClient& client, zem::platform::webview::View*) {
            return zem::platform::webview::CreateHeadlessView(window, client);
        }};
    zem::testing::XvfbServer xvfb;
    zem::testing::XTestInput input{xvfb.Name()};
    Display* observer = nullptr;
    std::optional<zem::testing::TestTrayManager> manager;
    POINT iconPoint{};

private:
    zem::platform::ScopedProgramFolder programFolder_;
};

}  // namespace zem::secondary_display_testing
