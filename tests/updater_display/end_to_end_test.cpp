// The real `update` program under a virtual X server of the test's own: it is
// started as the player starts it (the player's command line through the
// process launcher, from a folder whose name holds a blank and CJK
// characters) with "1.4###shengji###", and its buttons are clicked through
// XTest. Against a sample server the package's mark appears beside it while
// Config.ini records 1.4; against a server that sends the package in paced
// steps the bar moves on the screen during the transfer and the cancel ends
// it at once. Each case runs in a process namespace of its own (it starts
// itself again under `unshare --pid --fork --mount-proc`), so that ending
// "zemplayer.exe" and "update.exe" by name reaches no process outside it.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <optional>
#include <string>
#include <vector>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "platform/system/files.h"
#include "platform/system/process.h"
#include "platform/system/profile.h"
#include "shell/config_info.h"
#include "site/sample_server.h"
#include "tests/network/scripted_server.h"
#include "tests/support/event_wait.h"
#include "tests/support/process_namespace.h"
#include "tests/support/x_geometry.h"
#include "tests/support/xtest_input.h"
#include "tests/support/xvfb_server.h"
#include "tests/system/scoped_environment.h"
#include "tests/system/temp_folder.h"
#include "windows/version_check.h"

namespace {

using zem::testing::kEventWait;
using zem::testing::kEventWaitMilliseconds;
using zem::testing::MillisecondsUntil;

// The first X event the root's substructure reports that `wanted` accepts,
// waiting for it at most a test's wait for an event.
template <class Wanted>
std::optional<XEvent> WaitForEvent(Display* display, Wanted wanted) {
    const auto deadline = std::chrono::steady_clock::now() + kEventWait;
    XSync(display, False);
    for (;;) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (wanted(event)) return event;
        }
        if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
        pollfd readable{ConnectionNumber(display), POLLIN, 0};
        poll(&readable, 1, MillisecondsUntil(deadline));
    }
}

// The first top-level X window of this size to be mapped.
std::optional<Window> WaitForMappedWindow(Display* display, int width, int height) {
    const std::optional<XEvent> mapped = WaitForEvent(display, [&](XEvent& event) {
        XWindowAttributes attributes;
        return event.type == MapNotify && XGetWindowAttributes(display, event.xmap.window, &attributes) &&
               attributes.width == width && attributes.height == height;
    });
    if (!mapped) return std::nullopt;
    return mapped->xmap.window;
}

// Waits until a file of this name is written and closed in the watched folder.
bool WaitForWrittenFile(int watcher, const std::string& name) {
    const auto deadline = std::chrono::steady_clock::now() + kEventWait;
    alignas(inotify_event) char buffer[4096];
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd readable{watcher, POLLIN, 0};
        if (poll(&readable, 1, MillisecondsUntil(deadline)) != 1) return false;
        const ssize_t length = read(watcher, buffer, sizeof buffer);
        for (ssize_t offset = 0; offset < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
            if (event->len > 0 && name == event->name) return true;
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    return false;
}

// The real updater on an Xvfb of its own, started as the player starts it
// with "1.4###shengji###" from a program folder whose Config.ini holds 1.3,
// the content server's fixed host pointed at `host`.
struct UpdaterOnDisplay {
    explicit UpdaterOnDisplay(const std::string& address)
        : programFolder(folder.Path().string()),
          observer(XOpenDisplay(xvfb.Name().c_str())),
          input(xvfb.Name()),
          display("DISPLAY", xvfb.Name()),
          host("ZEM_HOST", address),
          headless("ZEM_HEADLESS", std::nullopt) {
        std::filesystem::copy_file(ZEM_UPDATE_PROGRAM, folder.Path() / "update");
        std::filesystem::create_directories(folder.Path() / "zemskin");
        配置信息::WriteConfig("Version", "Version", "1.3");
        if (observer == nullptr) return;
        XSelectInput(observer, DefaultRootWindow(observer), SubstructureNotifyMask);
        XSync(observer, False);
    }
    ~UpdaterOnDisplay() {
        // The updater of a cancelled upgrade waits out its balloon: it is ended here.
        if (updater > 0 && !zem::testing::WaitForExit(updater, 0)) {
            kill(updater, SIGKILL);
            zem::testing::WaitForExit(updater, kEventWaitMilliseconds);
        }
        if (observer != nullptr) XCloseDisplay(observer);
    }
    UpdaterOnDisplay(const UpdaterOnDisplay&) = delete;
    UpdaterOnDisplay& operator=(const UpdaterOnDisplay&) = delete;

    // Starts the updater; true once its window is mapped.
    bool Start() {
        if (observer == nullptr || !input.Connected() || !版本检查::UpdaterPresent()) return false;
        updater = static_cast<pid_t>(
            zem::platform::StartCommandLine(版本检查::UpdateCommandLine("1.4", 版本检查::UpgradeMode), SW_SHOWNORMAL));
        if (updater <= 0) return false;
        window = WaitForMappedWindow(observer, 550, 401);
        if (!window) return false;
        place = zem::testing::RootRect(observer, *window);
        return true;
    }
    // A click at a point of the window, in its own coordinates.
    void ClickAt(int x, int y) { input.Click(static_cast<int>(place.left) + x, static_cast<int>(place.top) + y); }
    // Waits until the window is unmapped.
    bool WaitForUnmap() {
        return WaitForEvent(observer, [&](XEvent& event) {
                   return event.type == UnmapNotify && event.xunmap.window == *window;
               }).has_value();
    }

    zem::testing::TempFolder folder{"程序 目录"};
    zem::platform::ScopedProgramFolder programFolder;
    zem::testing::XvfbServer xvfb;
    Display* observer;
    zem::testing::XTestInput input;
    zem::testing::ScopedEnvironment display;
    zem::testing::ScopedEnvironment host;
    zem::testing::ScopedEnvironment headless;
    pid_t updater = -1;
    std::optional<Window> window;
    RECT place{};
};

TEST(UpdaterEndToEnd, TheUpgradeButtonDownloadsStartsThePackageAndRecordsTheVersion) {
    ZEM_RUN_IN_OWN_PROCESS_NAMESPACE("UpdaterEndToEnd.TheUpgradeButtonDownloadsStartsThePackageAndRecordsTheVersion")
    zem::site::SampleServer server;
    ASSERT_TRUE(server.Start());
    UpdaterOnDisplay updater(server.Address());
    ASSERT_FALSE(updater.xvfb.Name().empty()) << "Xvfb did not start";
    const int watcher = inotify_init1(IN_CLOEXEC);
    ASSERT_GE(inotify_add_watch(watcher, updater.folder.Path().c_str(), IN_CLOSE_WRITE), 0);
    ASSERT_TRUE(updater.Start()) << "the updater's window did not appear";
    updater.ClickAt(216 + 50, 352 + 16);

    EXPECT_TRUE(WaitForWrittenFile(watcher, "zemdate-ran.txt")) << "the package's mark did not appear";
    const auto status = zem::testing::WaitForExit(updater.updater, kEventWaitMilliseconds);
    EXPECT_TRUE(status.has_value()) << "the updater did not end";
    EXPECT_EQ(updater.folder.Read("zemdate-ran.txt"), "zemdate: the sample package ran\n");
    EXPECT_EQ(配置信息::ReadConfig("Version", "Version", ""), "1.4");
    close(watcher);
}

// How many columns of the updater's bar show the fill's middle colour
// (0x86C06E in the skin's middle row), read from the server's screen.
int FilledColumns(Display* display, const RECT& place) {
    XImage* row = XGetImage(display, DefaultRootWindow(display), static_cast<int>(place.left) + 120,
                            static_cast<int>(place.top) + 320 + 5, 297, 1, AllPlanes, ZPixmap);
    if (row == nullptr) return -1;
    int filled = 0;
    for (int x = 0; x < 297; ++x) filled += (XGetPixel(row, x, 0) & 0xFFFFFF) == 0x86C06E ? 1 : 0;
    XDestroyImage(row);
    return filled;
}

// Reads the bar from the screen until `wanted` holds (a test's wait for an
// event); the last count read.
template <class Wanted>
int WaitForFill(Display* display, const RECT& place, Wanted wanted) {
    int filled = -1;
    zem::testing::PollUntil([&] { return wanted(filled = FilledColumns(display, place)); });
    return filled;
}

// A server that sends a fifth of the package, then three more fifths when
// the test says so, then nothing: between the steps the window must show the
// bar moving, and a click on "取消" must end the transfer at once.
TEST(UpdaterEndToEnd, TheBarMovesOnTheScreenDuringTheTransferAndCancelEndsItAtOnce) {
    ZEM_RUN_IN_OWN_PROCESS_NAMESPACE("UpdaterEndToEnd.TheBarMovesOnTheScreenDuringTheTransferAndCancelEndsItAtOnce")
    using Clock = std::chrono::steady_clock;
    std::promise<void> sendMore;
    std::future<void> more = sendMore.get_future();
    std::promise<Clock::time_point> closed;
    std::future<Clock::time_point> closedAt = closed.get_future();
    int connections = 0;
    zem::testing::ScriptedServer server([&](zem::testing::ScriptedConnection& connection) {
        if (++connections > 1) return;
        if (!connection.Send("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n" + std::string(20000, '#')))
            return;
        while (more.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
            if (connection.WaitForClose(20)) return;
        if (!connection.Send(std::string(40000, '#'))) return;
        if (connection.WaitForClose(kEventWaitMilliseconds)) closed.set_value(Clock::now());
    });
    UpdaterOnDisplay updater(server.Address());
    ASSERT_FALSE(updater.xvfb.Name().empty()) << "Xvfb did not start";
    ASSERT_TRUE(updater.Start()) << "the updater's window did not appear";
    updater.ClickAt(216 + 50, 352 + 16);

    const int first = WaitForFill(updater.observer, updater.place, [](int filled) { return filled > 0; });
    ASSERT_GT(first, 0) << "the bar never showed progress on the screen";
    sendMore.set_value();
    const int second = WaitForFill(updater.observer, updater.place, [&](int filled) { return filled > first; });
    EXPECT_GT(second, first) << "the bar did not move on the screen";

    const Clock::time_point clicked = Clock::now();
    updater.ClickAt(344 + 10, 368 + 8);  // "取消"
    ASSERT_EQ(closedAt.wait_for(kEventWait), std::future_status::ready) << "the transfer went on";
    EXPECT_LT(closedAt.get() - clicked, std::chrono::milliseconds(500));
    EXPECT_TRUE(updater.WaitForUnmap()) << "the window stayed after the cancel";
    EXPECT_EQ(配置信息::ReadConfig("Version", "Version", ""), "1.3");
    EXPECT_FALSE(std::filesystem::exists(updater.folder.Path() / "zemdate.exe"));
}

}  // namespace
