// The main window headless: a test desktop on the manual clock, a program
// folder of the test's own holding a copy of the built data folder, a
// recording process launcher, scripted modal steps and a sample content
// server on 127.0.0.1 as the fixed host. Input goes through the window
// system's real input queue, in screen coordinates.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

#include "platform/base/text.h"
#include "platform/drawing/bitmap.h"
#include "platform/drawing/picture.h"
#include "platform/drawing/window_painting.h"
#include "platform/forms/form.h"
#include "platform/forms/modal.h"
#include "platform/forms/program.h"
#include "platform/system/files.h"
#include "platform/window/test_desktop.h"
#include "platform/window/user32.h"
#include "platform/window/window_system.h"
#include "player/form1.h"
#include "shell/config_info.h"
#include "shell/max_size.h"
#include "shell/program_windows.h"
#include "shell/taskbar_menu.h"
#include "shell/tray_icon.h"
#include "site/sample_server.h"
#include "tests/system/recording_launcher.h"
#include "tests/system/scoped_environment.h"
#include "tests/system/temp_folder.h"
#include "windows/player_windows.h"

namespace zem::mainwindow_testing {

using platform::MouseButton;

class MainWindowFixture : public ::testing::Test {
protected:
    MainWindowFixture() : programFolder_(folder.Path().string()) {
        std::filesystem::copy(ZEM_TEST_DATA_FOLDER, folder.Path() / "zemskin",
                              std::filesystem::copy_options::recursive);
        ResetModules();
        server.emplace(site::ServerOptions{content.Path().string()});
        if (!server->Start()) throw std::runtime_error("the sample server did not start");
        host.emplace("ZEM_HOST", server->Address());
        RegisterPlayerWindows();
    }
    ~MainWindowFixture() override {
        forms::DiscardAllForms();
        forms::ResetProgramState();
        ResetModules();
        shell::RegisterProgramWindows({});
    }
    static void ResetModules() {
        无边框窗体最大化::ResetModuleState();
        状态栏::ResetModuleState();
        托盘气泡::ResetModuleState();
    }

    // The main window, loaded and shown, with its pending paints done.
    Form1& Open() {
        Form1& main = forms::FormInstance<Form1>::Get();
        main.Show();
        platform::ProcessPendingMessages();
        return main;
    }

    // "/zem.ini" of the program folder, written as GBK.
    void PublishValues(const std::string& utf8Text) const { WriteRaw("zem.ini", platform::Utf8ToGbk(utf8Text)); }
    void WriteRaw(const std::string& relative, const std::string& bytes) const {
        if (!platform::ReplaceFileAtomically((folder.Path() / relative).string(), bytes))
            throw std::runtime_error("cannot write " + relative);
    }
    std::string PlayListPath() const { return (folder.Path() / "zemskin" / "zemplaylist.xml").string(); }

    // A point of the window's inner area on the screen.
    static POINT OnScreen(const Form1& main, int x, int y) {
        const RECT place = platform::WindowScreenRect(main.hWnd());
        return POINT{place.left + x, place.top + y};
    }
    void MoveTo(const Form1& main, int x, int y) {
        const POINT at = OnScreen(main, x, y);
        platform::MovePointer(at.x, at.y);
    }
    void PressAt(const Form1& main, int x, int y, MouseButton button = MouseButton::Left) {
        const POINT at = OnScreen(main, x, y);
        platform::PressButton(button, at.x, at.y);
    }
    void ReleaseAt(const Form1& main, int x, int y, MouseButton button = MouseButton::Left) {
        const POINT at = OnScreen(main, x, y);
        platform::ReleaseButton(button, at.x, at.y);
    }
    void ClickAt(const Form1& main, int x, int y) {
        desktop.clock().Advance(1000);  // never a double click with an earlier one
        PressAt(main, x, y);
        ReleaseAt(main, x, y);
    }
    void DoubleClickAt(const Form1& main, int x, int y) {
        desktop.clock().Advance(1000);
        for (int press = 0; press < 2; ++press) {
            PressAt(main, x, y);
            ReleaseAt(main, x, y);
        }
    }

    // True when the block of the window's surface at (x, y) shows the block
    // of the picture at (sx, sy).
    static bool Shows(HWND window, int x, int y, const platform::Picture& picture, int sx, int sy, int width,
                      int height) {
        const platform::Bitmap* surface = platform::WindowSurface(window);
        if (surface == nullptr) return false;
        const platform::Bitmap& source = picture.Pixels();
        for (int row = 0; row < height; ++row)
            for (int column = 0; column < width; ++column)
                if (surface->At(x + column, y + row) != source.At(sx + column, sy + row)) return false;
        return true;
    }
    static RECT ScreenRect(HWND window) { return platform::WindowScreenRect(window); }

    platform::TestDesktop desktop;
    platform::ScopedPreviousInstance alone{false};
    testing::RecordingLauncher launcher;
    platform::ScopedProcessLauncher launcherScope{launcher};
    testing::TempFolder folder{"program folder"};
    testing::TempFolder content;
    forms::ScopedModalScript script;
    std::optional<site::SampleServer> server;
    std::optional<testing::ScopedEnvironment> host;

private:
    platform::ScopedProgramFolder programFolder_;
};

}  // namespace zem::mainwindow_testing
