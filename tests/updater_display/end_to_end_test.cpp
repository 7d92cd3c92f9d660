// The real `update` program under a virtual X server of the test's own: it is
// started as the player starts it (the player's command line through the
// process launcher, from a folder whose name holds a blank and CJK
// characters) with "1.4###shengji###" against a sample server, its upgrade button
// is clicked through XTest, and the package's mark appears beside it while
// Config.ini records 1.4. The test runs in a process namespace of its own
// (it starts itself again under `unshare --pid --fork --mount-proc`), so that
// ending "zemplayer.exe" and "update.exe" by name reaches no process outside it.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include "platform/system/files.h"
#include "platform/system/process.h"
#include "platform/system/profile.h"
#include "shell/config_info.h"
#include "site/sample_server.h"
#include "tests/support/process_namespace.h"
#include "tests/support/xvfb_server.h"
#include "tests/system/scoped_environment.h"
#include "tests/system/temp_folder.h"
#include "windows/version_check.h"

namespace {

// The first top-level X window of this size to be mapped, waiting at most `milliseconds`.
std::optional<Window> WaitForMappedWindow(Display* display, int width, int height, int milliseconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < deadline) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type != MapNotify) continue;
            XWindowAttributes attributes;
            if (XGetWindowAttributes(display, event.xmap.window, &attributes) && attributes.width == width &&
                attributes.height == height)
                return event.xmap.window;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd readable{ConnectionNumber(display), POLLIN, 0};
        poll(&readable, 1, static_cast<int>(std::max<long>(left.count(), 0)));
    }
    return std::nullopt;
}

// Waits until a file of this name is written and closed in the watched folder.
bool WaitForWrittenFile(int watcher, const std::string& name, int milliseconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    alignas(inotify_event) char buffer[4096];
    while (std::chrono::steady_clock::now() < deadline) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd readable{watcher, POLLIN, 0};
        if (poll(&readable, 1, static_cast<int>(std::max<long>(left.count(), 0))) != 1) return false;
        const ssize_t length = read(watcher, buffer, sizeof buffer);
        for (ssize_t offset = 0; offset < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
            if (event->len > 0 && name == event->name) return true;
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    return false;
}

void ClickAt(Display* display, int x, int y) {
    XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XFlush(display);
}

TEST(UpdaterEndToEnd, TheUpgradeButtonDownloadsStartsThePackageAndRecordsTheVersion) {
    ZEM_RUN_IN_OWN_PROCESS_NAMESPACE("UpdaterEndToEnd.*", 120000)

    zem::testing::TempFolder folder("程序 目录");
    const std::filesystem::path program = folder.Path() / "update";
    std::filesystem::copy_file(ZEM_UPDATE_PROGRAM, program);
    std::filesystem::create_directories(folder.Path() / "zemskin");
    zem::platform::ScopedProgramFolder programFolder(folder.Path().string());
    配置信息::WriteConfig("Version", "Version", "1.3");

    zem::site::SampleServer server;
    ASSERT_TRUE(server.Start());
    zem::testing::XvfbServer xvfb;
    ASSERT_FALSE(xvfb.Name().empty()) << "Xvfb did not start";
    Display* observer = XOpenDisplay(xvfb.Name().c_str());
    ASSERT_NE(observer, nullptr);
    XSelectInput(observer, DefaultRootWindow(observer), SubstructureNotifyMask);
    XSync(observer, False);
    const int watcher = inotify_init1(IN_CLOEXEC);
    ASSERT_GE(inotify_add_watch(watcher, folder.Path().c_str(), IN_CLOSE_WRITE), 0);

    zem::testing::ScopedEnvironment display("DISPLAY", xvfb.Name());
    zem::testing::ScopedEnvironment host("ZEM_HOST", server.Address());
    zem::testing::ScopedEnvironment headless("ZEM_HEADLESS", std::nullopt);
    ASSERT_TRUE(版本检查::UpdaterPresent());
    const auto updater = static_cast<pid_t>(
        zem::platform::StartCommandLine(版本检查::UpdateCommandLine("1.4", 版本检查::UpgradeMode), SW_SHOWNORMAL));
    ASSERT_GT(updater, 0);
    const std::optional<Window> window = WaitForMappedWindow(observer, 550, 401, 20000);
    ASSERT_TRUE(window.has_value()) << "the updater's window did not appear";
    int left = 0, top = 0;
    Window child;
    XTranslateCoordinates(observer, *window, DefaultRootWindow(observer), 0, 0, &left, &top, &child);
    ClickAt(observer, left + 216 + 50, top + 352 + 16);

    EXPECT_TRUE(WaitForWrittenFile(watcher, "zemdate-ran.txt", 30000)) << "the package's mark did not appear";
    const auto status = zem::testing::WaitForExit(updater, 30000);
    EXPECT_TRUE(status.has_value()) << "the updater did not end";
    EXPECT_EQ(folder.Read("zemdate-ran.txt"), "zemdate: the sample package ran\n");
    EXPECT_EQ(配置信息::ReadConfig("Version", "Version", ""), "1.4");
    close(watcher);
    XCloseDisplay(observer);
}

}  // namespace
