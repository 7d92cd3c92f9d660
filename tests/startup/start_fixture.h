// The player's start, headless: a test desktop on the manual clock, a fresh
// program folder, a recording process launcher, scripted message boxes and a
// sample content server on 127.0.0.1 whose version text each test chooses.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/base/text.h"
#include "platform/forms/form.h"
#include "platform/forms/modal.h"
#include "platform/forms/program.h"
#include "platform/system/files.h"
#include "platform/system/process.h"
#include "platform/window/test_desktop.h"
#include "platform/window/window_system.h"
#include "shell/config_info.h"
#include "shell/program_windows.h"
#include "site/sample_server.h"
#include "tests/system/scoped_environment.h"
#include "tests/system/temp_folder.h"
#include "windows/loadme.h"

namespace zem::startup_testing {

// Records every command line instead of starting it; can be told to fail.
class RecordingLauncher : public platform::ProcessLauncher {
public:
    DWORD Start(std::string_view commandLine, int showMode) override {
        started.emplace_back(commandLine, showMode);
        if (fail) throw platform::FileNotFoundError("refused by the test");
        return 4242;
    }
    std::vector<std::pair<std::string, int>> started;
    bool fail = false;
};

// A port on which nothing listens: one a server just gave up.
inline int ClosedPort() {
    site::SampleServer gone;
    EXPECT_TRUE(gone.Start());
    const int port = gone.Port();
    gone.Stop();
    return port;
}

class StartFixture : public ::testing::Test {
protected:
    StartFixture() : programFolder_(folder.Path().string()) {
        std::filesystem::create_directories(folder.Path() / "zemskin");
        std::filesystem::create_directories(content.Path() / "vant" / "app");
        ResetRun();
    }
    ~StartFixture() override {
        forms::DiscardAllForms();
        forms::ResetProgramState();
        forms::SetEndAction(nullptr);
        shell::RegisterProgramWindows({});
    }

    // Serves the content folder on a free port as the fixed host, and points
    // the probe at a server of its own that holds no content, so that
    // probing the host or fetching from the probe goes noticed.
    void ServeContent() {
        server.emplace(site::ServerOptions{content.Path().string()});
        ASSERT_TRUE(server->Start());
        host.emplace("ZEM_HOST", server->Address());
        ProbeAt(0);
    }
    // The probe answers on a server of its own on the port (0: a free one).
    void ProbeAt(int port) {
        probeServer.reset();
        probeServer.emplace(site::ServerOptions{emptyContent.Path().string()});
        ASSERT_TRUE(probeServer->Start(port));
        probe.emplace("ZEM_PROBE", probeServer->Address() + "/");
    }
    // The probe finds nothing listening.
    void ProbeNothing(int port) {
        probeServer.reset();
        probe.emplace("ZEM_PROBE", "http://127.0.0.1:" + std::to_string(port) + "/");
    }

    // The version text the server publishes (UTF-8 here, GBK on the wire);
    // nothing: the server has none.
    void Publish(const std::optional<std::string>& text) const {
        const std::filesystem::path path = content.Path() / "vant" / "app" / "wen.txt";
        std::filesystem::remove(path);
        if (text) WriteBytes(path, platform::Utf8ToGbk(*text));
    }
    // The installed version; nothing: no Config.ini at all.
    void Install(const std::optional<std::string>& version) const {
        std::filesystem::remove(folder.Path() / "zemskin" / "Config.ini");
        if (version) 配置信息::WriteConfig("Version", "Version", *version);
    }
    static void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
        if (!platform::ReplaceFileAtomically(path.string(), bytes))
            throw std::runtime_error("cannot write " + path.string());
    }

    // The program's state between runs of the start in one test.
    static void ResetRun() {
        forms::DiscardAllForms();
        forms::ResetProgramState();
        forms::SetEndAction([] { forms::UnloadAllFormsSilently(); });
    }
    // The player's start-up object, then its loop until nothing can arrive.
    static void StartPlayer() {
        forms::RunEventHandler([] { forms::ShowStartUpForm<loadme>(); });
        forms::RunMessageLoop();
    }

    std::string SavedText() const { return folder.Read("zem.ini"); }
    bool SavedTextExists() const { return std::filesystem::exists(folder.Path() / "zem.ini"); }

    platform::TestDesktop desktop;
    platform::ScopedPreviousInstance alone{false};
    RecordingLauncher launcher;
    platform::ScopedProcessLauncher launcherScope{launcher};
    testing::TempFolder folder{"program folder"};
    testing::TempFolder content;
    testing::TempFolder emptyContent;
    forms::ScopedModalScript script;
    std::optional<site::SampleServer> server;
    std::optional<site::SampleServer> probeServer;
    std::optional<testing::ScopedEnvironment> host;
    std::optional<testing::ScopedEnvironment> probe;

private:
    platform::ScopedProgramFolder programFolder_;
};

}  // namespace zem::startup_testing
