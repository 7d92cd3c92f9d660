// The player's secondary windows, headless: the start's fixture (a test
// desktop on the manual clock, a fresh program folder, a recording launcher,
// scripted answers, a sample server on demand) with real input at a window's
// own coordinates.
#pragma once

#include <filesystem>
#include <string>

#include "platform/forms/form.h"
#include "platform/forms/web_browser.h"
#include "platform/shell/tray.h"
#include "platform/system/files.h"
#include "platform/window/window_system.h"
#include "player/form1.h"
#include "shell/tray_icon.h"
#include "tests/secondary/recording_view.h"
#include "tests/startup/start_fixture.h"
#include "windows/player_windows.h"

namespace zem::secondary_testing {

class SecondaryFixture : public startup_testing::StartFixture {
protected:
    // A point of a window's client area on the screen.
    static POINT OnScreen(const forms::Form& form, int x, int y) {
        const RECT place = platform::WindowScreenRect(form.hWnd());
        return POINT{place.left + x, place.top + y};
    }
    // A left click at a window's point, far enough from the last one not to
    // be a double click; forms unloaded by it are freed afterwards.
    void ClickAt(const forms::Form& form, int x, int y, platform::MouseButton button = platform::MouseButton::Left) {
        desktop.clock().Advance(2000);
        const POINT point = OnScreen(form, x, y);
        platform::Click(button, point.x, point.y);
        forms::FreeUnloadedForms();
    }
    void MoveTo(const forms::Form& form, int x, int y) {
        const POINT point = OnScreen(form, x, y);
        platform::MovePointer(point.x, point.y);
    }

    std::filesystem::path ConfigFile() const { return folder.Path() / "zemskin" / "Config.ini"; }
    void WriteConfigFile(const std::string& utf8) const { WriteBytes(ConfigFile(), platform::Utf8ToGbk(utf8)); }
    std::string ConfigBytes() const { return folder.Read("zemskin/Config.ini"); }
};

// The same with the main window loaded against the sample server, its web
// views on the recording engine, and the menu window reached through the tray.
class MainWindowFixture : public SecondaryFixture {
protected:
    static constexpr const char* kBase = "http://127.0.0.1:1/base";

    MainWindowFixture() {
        托盘气泡::ResetModuleState();
        RegisterPlayerWindows();
    }
    ~MainWindowFixture() override { forms::DiscardAllForms(); }  // the views go before their log

    // The main window, loaded and shown, with the settings the server published.
    Form1& OpenMain() {
        if (!server) ServeContent();
        WriteBytes(folder.Path() / "zem.ini",
                   platform::Utf8ToGbk(std::string("== 1.3\r\n[CONFIG]\r\nurl=") + kBase + "\r\nname=影视播放器\r\n"));
        Form1& main = forms::FormInstance<Form1>::Get();
        main.Show();
        forms::DoEvents();
        return main;
    }
    // Chooses the item of the tray menu, which a right click on the tray icon pops up.
    void ChooseFromTray(const std::string& item) {
        script.ChooseMenuItem(item);
        ASSERT_TRUE(platform::ClickTrayIcon(forms::FormInstance<Form1>::Get().hWnd(), 0, platform::MouseButton::Right));
        forms::FreeUnloadedForms();
    }
    // The recording view behind a web-browser control, or null.
    RecordingView* ViewOf(const forms::WebBrowser& browser) const {
        for (RecordingView* view : views.views)
            if (view->Window() == browser.hWnd()) return view;
        return nullptr;
    }

    RecordingView::Log views;
    platform::webview::ScopedViewFactory engine{RecordingView::Factory(views)};
};

}  // namespace zem::secondary_testing
