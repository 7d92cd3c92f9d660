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
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <filesystem>
#include <future>
#include <string>
#include <vector>

#include <X11/Xlib.h>

#include "shell/config_info.h"
#include "site/sample_server.h"
#include "tests/network/scripted_server.h"
#include "tests/support/event_wait.h"
#include "tests/support/process_namespace.h"
#include "tests/updater_display/updater_on_display.h"

namespace {

using zem::testing::kEventWait;
using zem::testing::kEventWaitMilliseconds;
using zem::testing::MillisecondsUntil;
using zem::updater_display_testing::UpdaterOnDisplay;

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

// The names in the program folder that begin with "zemdate.exe": the package
// and its part files.
std::vector<std::string> PackageFiles(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("zemdate.exe")) names.push_back(name);
    }
    return names;
}

// However the updater ends during a download (a logout's SIGTERM, a closed
// terminal's SIGHUP, Ctrl+C, its close glyph), the transfer stops and no part
// file stays in the program folder; a signal ends it as that signal would.
TEST(UpdaterEndToEnd, EveryEndDuringTheDownloadStopsTheTransferAndLeavesNoPartFile) {
    ZEM_RUN_IN_OWN_PROCESS_NAMESPACE("UpdaterEndToEnd.EveryEndDuringTheDownloadStopsTheTransferAndLeavesNoPartFile")
    struct End {
        const char* name;
        int signal;  // 0: the close glyph
    };
    for (const End end : {End{"SIGTERM", SIGTERM}, End{"SIGHUP", SIGHUP}, End{"SIGINT", SIGINT}, End{"close glyph", 0}}) {
        SCOPED_TRACE(end.name);
        std::promise<void> closed;
        std::future<void> closedNow = closed.get_future();
        int connections = 0;
        // A fifth of the package, then nothing until the updater goes.
        zem::testing::ScriptedServer server([&](zem::testing::ScriptedConnection& connection) {
            if (++connections > 1) return;
            if (!connection.Send("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n" + std::string(20000, '#')))
                return;
            if (connection.WaitForClose(2 * kEventWaitMilliseconds)) closed.set_value();
        });
        UpdaterOnDisplay updater(server.Address());
        ASSERT_FALSE(updater.xvfb.Name().empty()) << "Xvfb did not start";
        ASSERT_TRUE(updater.Start(版本检查::UpgradeMode, true)) << "the updater's window did not appear";
        updater.ClickAt(216 + 50, 352 + 16);
        ASSERT_GT(WaitForFill(updater.observer, updater.place, [](int filled) { return filled > 0; }), 0)
            << "the download did not start";

        if (end.signal != 0)
            kill(updater.updater, end.signal);
        else
            updater.ClickAt(528 + 4, 8 + 4);
        const std::optional<int> status = zem::testing::WaitForExit(updater.updater, kEventWaitMilliseconds);
        ASSERT_TRUE(status.has_value()) << "the updater did not end";
        updater.updater = -1;
        if (end.signal != 0) {
            EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == end.signal) << "wait status " << *status;
        }
        EXPECT_EQ(closedNow.wait_for(kEventWait), std::future_status::ready) << "the transfer went on";
        EXPECT_EQ(PackageFiles(updater.folder.Path()), std::vector<std::string>{});
        EXPECT_EQ(配置信息::ReadConfig("Version", "Version", ""), "1.3");
    }
}

// An updater killed outright (SIGKILL, a power cut) can remove nothing: the
// next download into the folder removes the part files of the package's name
// that no running download holds. A download still running in another
// process holds its part file locked (here the test holds one), and files of
// other names, or in another folder, are never touched.
TEST(UpdaterEndToEnd, TheNextDownloadRemovesThePartFilesThatKilledUpdatersLeft) {
    ZEM_RUN_IN_OWN_PROCESS_NAMESPACE("UpdaterEndToEnd.TheNextDownloadRemovesThePartFilesThatKilledUpdatersLeft")
    zem::site::SampleServer server;
    ASSERT_TRUE(server.Start());
    UpdaterOnDisplay updater(server.Address());
    ASSERT_FALSE(updater.xvfb.Name().empty()) << "Xvfb did not start";
    const std::vector<std::string> abandoned{"zemdate.exe.part-4242-0", "zemdate.exe.part-1-7"};
    const std::vector<std::string> kept{"zemdate.exe.part-77-1",  // a live download's, held below
                                        "zemdate.exe.partial", "zemdate.exe.part-5-x", "other.exe.part-5-5",
                                        "zemskin/zemdate.exe.part-3-3"};
    for (const std::string& name : abandoned) updater.folder.Write(name, std::string(65536, '#'));
    for (const std::string& name : kept) updater.folder.Write(name, "#");
    const int held = open(updater.folder.File("zemdate.exe.part-77-1").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(flock(held, LOCK_EX), 0);
    const int watcher = inotify_init1(IN_CLOEXEC);
    ASSERT_GE(inotify_add_watch(watcher, updater.folder.Path().c_str(), IN_CLOSE_WRITE), 0);
    ASSERT_TRUE(updater.Start()) << "the updater's window did not appear";
    updater.ClickAt(216 + 50, 352 + 16);

    EXPECT_TRUE(WaitForWrittenFile(watcher, "zemdate-ran.txt")) << "the package's mark did not appear";
    EXPECT_TRUE(zem::testing::WaitForExit(updater.updater, kEventWaitMilliseconds).has_value()) << "the updater did not end";
    for (const std::string& name : abandoned) EXPECT_FALSE(std::filesystem::exists(updater.folder.Path() / name)) << name;
    for (const std::string& name : kept) EXPECT_TRUE(std::filesystem::exists(updater.folder.Path() / name)) << name;
    EXPECT_TRUE(std::filesystem::exists(updater.folder.Path() / "zemdate.exe"));
    close(held);
    close(watcher);
}

}  // namespace
