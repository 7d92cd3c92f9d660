// The real programs run as a container runs its program: as the first
// process of a PID namespace of their own (`unshare --pid --fork
// --mount-proc`), on a virtual X server of the test's own. The kernel lets
// no signal that such a process sends itself end it; each program still ends
// once its exit path has ended its own image name: the player by the close
// of its server-unreachable window, the updater by its close glyph. The namespace also keeps the
// ending by name away from every process outside it.
#include <gtest/gtest.h>

#include <sys/types.h>
#include <sys/wait.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <X11/Xlib.h>

#include "platform/system/files.h"
#include "shell/config_info.h"
#include "tests/support/event_wait.h"
#include "tests/support/process_namespace.h"
#include "tests/support/x_geometry.h"
#include "tests/support/xtest_input.h"
#include "tests/support/xvfb_server.h"
#include "tests/system/scoped_environment.h"
#include "tests/system/temp_folder.h"

namespace {

struct ProgramCase {
    const char* name;
    const char* program;      // the built program, copied into the program folder
    const char* fileName;     // its name there
    std::vector<std::string> arguments;
    int width, height;        // its main window
    int closeX, closeY;       // where its exit path is clicked, in the window
};

class FirstProcessOfANamespace : public ::testing::TestWithParam<ProgramCase> {};

TEST_P(FirstProcessOfANamespace, EndsAfterItsExitPath) {
    const ProgramCase& each = GetParam();
    if (const auto unavailable = zem::testing::ProcessNamespaceUnavailable())
        GTEST_SKIP() << "it runs the program as the first process of a PID namespace, and none can be made here: "
                     << *unavailable;

    zem::testing::TempFolder folder{"程序 目录"};
    zem::platform::ScopedProgramFolder programFolder(folder.Path().string());
    std::filesystem::copy(ZEM_TEST_DATA_FOLDER, folder.Path() / "zemskin", std::filesystem::copy_options::recursive);
    std::filesystem::copy_file(each.program, folder.Path() / each.fileName);
    配置信息::WriteConfig("Version", "Version", "1.3");
    zem::testing::XvfbServer xvfb;
    ASSERT_FALSE(xvfb.Name().empty()) << "Xvfb did not start";
    Display* observer = XOpenDisplay(xvfb.Name().c_str());
    ASSERT_NE(observer, nullptr);
    XSelectInput(observer, DefaultRootWindow(observer), SubstructureNotifyMask);
    XSync(observer, False);
    zem::testing::XTestInput input(xvfb.Name());
    ASSERT_TRUE(input.Connected());
    zem::testing::ScopedEnvironment display("DISPLAY", xvfb.Name());
    // No content server answers there: the player shows its server-unreachable window.
    zem::testing::ScopedEnvironment host("ZEM_HOST", "http://127.0.0.1:9");
    zem::testing::ScopedEnvironment headless("ZEM_HEADLESS", std::nullopt);

    // --kill-child: should the program stay, it goes with unshare at the end.
    std::vector<std::string> command{"unshare", "--pid", "--mount-proc", "--kill-child", "--",
                                     (folder.Path() / each.fileName).string()};
    command.insert(command.end(), each.arguments.begin(), each.arguments.end());
    const pid_t namespaced = zem::testing::SpawnProgram(command);
    ASSERT_GT(namespaced, 0);
    const std::optional<::Window> window = zem::testing::WaitForMappedWindow(observer, each.width, each.height, zem::testing::kEventWaitMilliseconds);
    EXPECT_TRUE(window.has_value()) << "the program's window did not appear";
    if (window) {
        const RECT place = zem::testing::RootRect(observer, *window);
        input.Click(static_cast<int>(place.left) + each.closeX, static_cast<int>(place.top) + each.closeY);
    }
    const std::optional<int> status = zem::testing::WaitForExit(namespaced, zem::testing::kEventWaitMilliseconds);
    EXPECT_TRUE(status.has_value()) << each.name << " runs on as the first process of its namespace";
    if (!status) {
        kill(namespaced, SIGKILL);
        zem::testing::WaitForExit(namespaced, zem::testing::kEventWaitMilliseconds);
    }
    XCloseDisplay(observer);
}

INSTANTIATE_TEST_SUITE_P(
    Programs, FirstProcessOfANamespace,
    ::testing::Values(
        // The server-unreachable window's "关闭" at (144, 128), 41 x 26.
        ProgramCase{"zemplayer", ZEM_PLAYER_PROGRAM, "zemplayer", {}, 400, 170, 144 + 20, 128 + 13},
        // The close glyph at (528, 8), 8 x 8.
        ProgramCase{"update", ZEM_UPDATE_PROGRAM, "update", {"1.4###wu###"}, 550, 401, 528 + 4, 8 + 4}),
    [](const ::testing::TestParamInfo<ProgramCase>& info) { return std::string(info.param.name); });

}  // namespace
