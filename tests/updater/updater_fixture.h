// The updater, headless: a test desktop on the manual clock, a fresh program
// folder, a recording process launcher, scripted menus and a sample content
// server on 127.0.0.1 that publishes the package.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/forms/form.h"
#include "platform/forms/modal.h"
#include "platform/forms/program.h"
#include "platform/shell/tray.h"
#include "platform/system/files.h"
#include "platform/system/process.h"
#include "platform/window/test_desktop.h"
#include "platform/window/window_system.h"
#include "shell/config_info.h"
#include "shell/program_windows.h"
#include "shell/tray_icon.h"
#include "site/sample_server.h"
#include "tests/system/recording_launcher.h"
#include "tests/system/scoped_environment.h"
#include "tests/system/temp_folder.h"
#include "updater/form1.h"
#include "updater/form2.h"
#include "updater/updater_windows.h"

namespace zem::updater_testing {

using testing::RecordingLauncher;

inline const std::string kEndUpdater = "cmd.exe /c taskkill /im update.exe /f";
inline const std::string kEndPlayer = "cmd.exe /c taskkill /im zemplayer.exe /f";

class UpdaterFixture : public ::testing::Test {
protected:
    UpdaterFixture() : programFolder_(folder.Path().string()) {
        std::filesystem::create_directories(folder.Path() / "zemskin");
        std::filesystem::create_directories(content.Path() / "vant" / "app");
        forms::DiscardAllForms();
        forms::ResetProgramState();
        forms::SetEndAction([] { forms::UnloadAllFormsSilently(); });
        托盘气泡::ResetModuleState();
        updater::RegisterUpdaterWindows();
    }
    ~UpdaterFixture() override {
        forms::DiscardAllForms();
        forms::ResetProgramState();
        forms::SetEndAction(nullptr);
        托盘气泡::ResetModuleState();
        shell::RegisterProgramWindows({});
        forms::SetCommand("");
    }

    // Serves the content folder (test routes included) and points the fixed host at it.
    void ServeContent(const std::string& hostSuffix = "") {
        server.emplace(site::ServerOptions{content.Path().string(), true});
        ASSERT_TRUE(server->Start());
        host.emplace("ZEM_HOST", server->Address() + hostSuffix);
    }
    // The fixed host made so that the package's address lands on a test route
    // of the server: its path then rides in a query parameter nobody reads.
    void ServeTestRoute(const std::string& routeAndQuery) { ServeContent(routeAndQuery + "&path="); }
    void Publish(const std::string& bytes) const {
        platform::ReplaceFileAtomically((content.Path() / "vant" / "app" / "zemdate.exe").string(), bytes);
    }

    // The updater's start with its argument, as the program runs it.
    Form1* Start(const std::string& argument) {
        forms::SetCommand(argument);
        forms::RunEventHandler([] { forms::ShowStartUpForm<Form1>(); });
        return forms::FormInstance<Form1>::Loaded() ? &forms::FormInstance<Form1>::Get() : nullptr;
    }

    // A left click at the point of the form's client area.
    void ClickAt(const Form1& form, int x, int y) {
        desktop.clock().Advance(2000);  // no double click with an earlier one
        const RECT place = platform::WindowScreenRect(form.hWnd());
        platform::Click(platform::MouseButton::Left, place.left + x, place.top + y);
        forms::FreeUnloadedForms();
    }
    void ClickUpgrade(const Form1& form) { ClickAt(form, 216 + 50, 352 + 16); }
    // Queues a click without running it: it runs inside whatever loop reads it next.
    void QueueClickAt(const Form1& form, int x, int y) {
        const RECT place = platform::WindowScreenRect(form.hWnd());
        for (auto kind : {platform::InputEvent::Kind::Press, platform::InputEvent::Kind::Release}) {
            platform::InputEvent event;
            event.kind = kind;
            event.position = POINT{place.left + x, place.top + y};
            platform::QueueInput(event);
        }
    }

    std::optional<platform::TrayIcon> Icon(const Form1& form) const { return platform::FindTrayIcon(form.hWnd(), 0); }
    std::string InstalledVersion() const { return 配置信息::ReadConfig("Version", "Version", "none"); }
    std::vector<std::string> Started() const {
        std::vector<std::string> lines;
        for (const auto& [line, mode] : launcher.started) lines.push_back(line);
        return lines;
    }
    std::string PackagePath() const { return (folder.Path() / "zemdate.exe").string(); }

    platform::TestDesktop desktop;
    platform::ScopedPreviousInstance alone{false};
    RecordingLauncher launcher;
    platform::ScopedProcessLauncher launcherScope{launcher};
    testing::TempFolder folder{"程序 folder"};
    testing::TempFolder content;
    forms::ScopedModalScript script;
    std::optional<site::SampleServer> server;
    std::optional<testing::ScopedEnvironment> host;

private:
    platform::ScopedProgramFolder programFolder_;
};

}  // namespace zem::updater_testing
