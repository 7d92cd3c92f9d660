// The real `zemplayer` ended by the signals of a session's end: a logout's or
// shutdown's SIGTERM, a closed terminal's SIGHUP and Ctrl+C's SIGINT. It runs
// from a program folder of the test's own, on an X server of the test's own,
// against a sample server whose library page sends itself to a play link once
// it has loaded, so that the player records that page as a group. The list
// the load read and the recorded group must then be in the saved file. Each
// case runs in a process namespace of its own, since the player's exit ends
// programs by image name.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "site/sample_server.h"
#include "tests/support/event_wait.h"
#include "tests/support/process_namespace.h"
#include "tests/support/xvfb_server.h"
#include "tests/system/temp_folder.h"

namespace {

namespace fs = std::filesystem;

// The library page: two episodes, and a script that plays the first, again
// each second (the player cancels the navigation, and a view the engine
// counts as hidden may let a first attempt pass late).
constexpr const char* kLibraryPage = R"(<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>信号测试</title></head><body>
<a href="qvodplay:///vant/bofang/1.html">第1集</a>
<a href="qvodplay:///vant/bofang/2.html">第2集</a>
<script>setInterval(function () { location.href = "qvodplay:///vant/bofang/1.html"; }, 1000);</script>
</body></html>
)";

// A list as a person's editor might leave it, indented: the load reads it, and
// the player's save writes it on one line.
constexpr const char* kPlacedList =
    "<playlist>\n  <ul>\n    <Class Name=\"已有的组\"/>\n    <li Name=\"旧的一集\" URL=\"http://h/old\"/>\n  </ul>\n"
    "</playlist>\n";

// Whether the server was asked for `target`, waiting at most `milliseconds`.
bool WaitForRequest(const zem::site::SampleServer& server, const std::string& target, int milliseconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < deadline) {
        for (const std::string& asked : server.RequestedTargets())
            if (asked == target) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

TEST(PlayerSignals, EachEndSignalSavesTheListTheSessionRecorded) {
    ZEM_RUN_IN_OWN_PROCESS_NAMESPACE("PlayerSignals.EachEndSignalSavesTheListTheSessionRecorded")
    zem::testing::TempFolder content("content");
    fs::copy(ZEM_SITE_CONTENT, content.Path(), fs::copy_options::recursive);
    content.Write("vant/index.html", kLibraryPage);

    struct Case {
        const char* name;
        int signal;
    };
    for (const Case c : {Case{"SIGTERM", SIGTERM}, Case{"SIGHUP", SIGHUP}, Case{"SIGINT", SIGINT}}) {
        SCOPED_TRACE(c.name);
        zem::testing::XvfbServer xvfb("1366x768x24");
        ASSERT_FALSE(xvfb.Name().empty()) << "Xvfb did not start";
        zem::site::ServerOptions options;
        options.contentFolder = content.Path().string();
        zem::site::SampleServer server(options);
        ASSERT_TRUE(server.Start());
        zem::testing::TempFolder folder("播放器 目录");
        fs::copy_file(fs::path(ZEM_DIST_DIR) / "zemplayer", folder.Path() / "zemplayer");
        fs::copy(fs::path(ZEM_DIST_DIR) / "zemskin", folder.Path() / "zemskin", fs::copy_options::recursive);
        folder.Write("zemskin/zemplaylist.xml", kPlacedList);
        // What a save killed outright left beside the list, and a file of another name.
        folder.Write("zemskin/zemplaylist.xml.tmp4242-17", std::string(65536, '<'));
        folder.Write("zemskin/zemplaylist.xml.bak", "mine");

        // The engine's cache and data folders of its own: none that another
        // run of the player, earlier or beside, may still hold.
        zem::testing::TempFolder home;
        const std::vector<std::string> environment{
            "DISPLAY=" + xvfb.Name(), "ZEM_HOST=" + server.Address(), "ZEM_PROBE=" + server.Address() + "/",
            "ZEM_HEADLESS=0", "XDG_CACHE_HOME=" + home.File("cache"), "XDG_DATA_HOME=" + home.File("data"),
            "XDG_CONFIG_HOME=" + home.File("config")};
        const pid_t player = zem::testing::SpawnProgram({folder.File("zemplayer")}, environment);
        ASSERT_GT(player, 0);
        // The player page opens the converted address once the group is recorded.
        const bool played = WaitForRequest(server, "/vant/bofang/1.html", zem::testing::kEventWaitMilliseconds);
        if (!played) kill(player, SIGKILL);
        std::string asked;
        for (const std::string& target : server.RequestedTargets()) asked += " " + target;
        ASSERT_TRUE(played) << "the library page's play request did not reach the player; asked:" << asked;

        kill(player, c.signal);
        const std::optional<int> status = zem::testing::WaitForExit(player, zem::testing::kEventWaitMilliseconds);
        if (!status) kill(player, SIGKILL);
        ASSERT_TRUE(status.has_value()) << "the player did not end";
        EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == c.signal) << "wait status " << *status;

        const std::string saved = folder.Read("zemskin/zemplaylist.xml");
        EXPECT_EQ(saved.find('\n'), std::string::npos) << saved;  // written by the player, not the one placed
        EXPECT_NE(saved.find("<Class Name=\"已有的组\"/><li Name=\"旧的一集\" URL=\"http://h/old\"/>"), std::string::npos)
            << saved;
        EXPECT_NE(saved.find("<Class Name=\"信号测试\"/><li Name=\"第1集\" URL=\"" + server.Address() +
                             "/vant/bofang/1.html\"/>"),
                  std::string::npos)
            << saved;
        EXPECT_FALSE(fs::exists(folder.Path() / "zemskin/zemplaylist.xml.tmp4242-17"));
        EXPECT_EQ(folder.Read("zemskin/zemplaylist.xml.bak"), "mine");
    }
}

}  // namespace
