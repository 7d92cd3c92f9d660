// The main window's web views on the real engine, under an X server of this
// test program's own on which the main window is a real X window clicked
// through XTest, against the sample server on 127.0.0.1 serving pages
// of these tests: play links clicked in the library page, "play://" in the
// channel page, "colse://" in the player page, W2's new windows, the channel
// page's body and the page menu. Also measures the time from a click on a
// play link to the player page's first pixels and the memory of the process
// tree with every view loaded, and writes the library view's snapshot.
#include <gtest/gtest.h>

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/drawing/window_painting.h"
#include "platform/forms/program.h"
#include "platform/webview/engine_loop.h"
#include "platform/window/user32.h"
#include "platform/window/window_system.h"
#include "tests/startup/start_fixture.h"
#include "tests/support/process_ticks.h"
#include "tests/support/pump_until.h"
#include "tests/support/xvfb_server.h"
#include "player/form1.h"
// Last: Xlib's macros would clash with the names of the headers above.
#include "tests/support/program_display.h"

namespace zem::web_views_testing {
namespace {

using Clock = std::chrono::steady_clock;
// Messages, the display and the engine run through the program's event loop
// until a condition holds, or for a while; the manual clock stays put.
using zem::testing::PumpFor;
using zem::testing::PumpUntil;

// One content server for the test program, left to end with it: stopping it
// would wait out the engine's kept-alive connections.
site::SampleServer& Server() {
    static site::SampleServer* server = [] {
        auto* started = new site::SampleServer(site::ServerOptions{ZEM_WEB_VIEWS_PAGES});
        EXPECT_TRUE(started->Start());
        return started;
    }();
    return *server;
}

int Count(const std::vector<std::string>& targets, const std::string& target) {
    return static_cast<int>(std::count(targets.begin(), targets.end(), target));
}

// Kilobytes of resident and proportional memory of this process and all its
// descendants (the engine's web and network processes).
std::pair<long, long> ProcessTreeMemory() {
    std::map<pid_t, pid_t> parents;
    if (DIR* proc = opendir("/proc")) {
        while (dirent* entry = readdir(proc)) {
            const pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
            if (pid <= 0) continue;
            std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
            std::string line;
            std::getline(stat, line);
            const std::size_t close = line.rfind(')');
            if (close == std::string::npos) continue;
            std::istringstream rest(line.substr(close + 2));
            char state = 0;
            pid_t parent = 0;
            rest >> state >> parent;
            parents[pid] = parent;
        }
        closedir(proc);
    }
    std::vector<pid_t> tree{getpid()};
    for (std::size_t index = 0; index < tree.size(); ++index)
        for (const auto& [pid, parent] : parents)
            if (parent == tree[index]) tree.push_back(pid);
    long rss = 0;
    long pss = 0;
    for (const pid_t pid : tree) {
        std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
        std::string line;
        while (std::getline(rollup, line)) {
            std::istringstream fields(line);
            std::string key;
            long value = 0;
            fields >> key >> value;
            if (key == "Rss:") rss += value;
            if (key == "Pss:") pss += value;
        }
    }
    return {rss, pss};
}

class EngineViewsTest : public startup_testing::StartFixture {
protected:
    // One server per test program, for the toolkit's whole life; the screen
    // of the program's default desktop.
    static zem::testing::XvfbServer& Xvfb() {
        static zem::testing::XvfbServer server("1366x768x24");
        return server;
    }
    static void SetUpTestSuite() {
        Xvfb().Export();
        static zem::testing::ScopedEnvironment visible("ZEM_HEADLESS", std::nullopt);
    }

    void SetUp() override {
        ASSERT_TRUE(platform::webview::EngineAvailable()) << "no X server for the engine";
        ASSERT_TRUE(display.Started()) << "the program's windows are not on the X server";
        host.emplace("ZEM_HOST", Server().Address());
        std::filesystem::copy(ZEM_DIST_DIR "/zemskin", folder.Path() / "zemskin",
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::overwrite_existing);
        WriteBytes(folder.Path() / "zem.ini",
                   platform::Utf8ToGbk("[CONFIG]\r\nurl=" + Server().Address() +
                                       "\r\nname=zemplayer\r\n[huangchong]\r\nhuangchong=0\r\n[da]\r\nda=3\r\n"));
        // Its load shows the local loading page in the views.
        form_ = &forms::FormInstance<Form1>::Get();
        form_->Show();
        // The start pages come 3000 ms after the load, by which time the
        // engine has long shown the loading page; the manual clock jumps
        // there at once, so the test first waits for what those 3 s bring.
        ASSERT_TRUE(PumpUntil([&] { return Title(form().ListWeb) == "正在加载" && Title(form().PlayWeb) == "正在加载"; }))
            << "library: " << State(form().ListWeb) << "; channel: " << State(form().PlayWeb);
        desktop.clock().Advance(3000);
        ASSERT_TRUE(PumpUntil([&] { return Title(form().ListWeb) == "测试片库" && Title(form().PlayWeb) == "频道"; }))
            << "library: " << State(form().ListWeb) << "; channel: " << State(form().PlayWeb)
            << "; asked: " << Requested() << "; engine: " << EngineProcesses();
        form().Button2_Click(1);  // the library view
        launcher.started.clear();
    }

    Form1& form() { return *form_; }
    static std::string State(forms::WebBrowser& view) {
        std::string state = view.LocationURL() + (view.Busy() ? " busy" : " idle");
        try {
            auto document = view.Document();
            state += document ? " \"" + document->title() + "\"" : std::string(" no document");
        } catch (const std::exception& error) {
            state += std::string(" read failed: ") + error.what();
        }
        return state;
    }
    static std::string EngineProcesses() {
        std::string names;
        for (const zem::testing::ProcessEntry& entry : zem::testing::ProcessTree(getpid()))
            names += entry.name + " ";
        return names;
    }
    static std::string Requested() {
        std::string targets;
        for (const std::string& target : Server().RequestedTargets()) targets += target + " ";
        return targets;
    }

    static std::string Title(forms::WebBrowser& view) {
        std::string title;
        forms::SkipOnError([&] {
            if (auto document = view.Document()) title = document->title();
        });
        return title;
    }
    static platform::Pixel PixelAt(forms::WebBrowser& view, int x, int y) {
        platform::Bitmap* surface = platform::WindowSurface(view.hWnd());
        return surface != nullptr && surface->Contains(x, y) ? surface->At(x, y) : 0xFFFFFFFFu;
    }
    // A person's click (XTest) at a point of the view, once the main window
    // shows there at the server; the program has read it on return.
    void ClickAt(forms::WebBrowser& view, int x, int y, platform::MouseButton button = platform::MouseButton::Left) {
        desktop.clock().Advance(1000);  // never a double click
        ASSERT_TRUE(display.Click(view.hWnd(), x, y, button == platform::MouseButton::Right ? 3 : 1))
            << "the click did not arrive";
    }
    std::vector<std::string> Started() const {
        std::vector<std::string> lines;
        for (const auto& [line, show] : launcher.started) lines.push_back(line);
        return lines;
    }

    zem::testing::ProgramDisplay display{Xvfb().Name()};
    Form1* form_ = nullptr;
};

TEST_F(EngineViewsTest, APlayLinkInTheLibraryOpensThePlayerPageAndRecordsItsGroupOnce) {
    const auto start = Clock::now();
    ClickAt(form().ListWeb, 100, 25);
    ASSERT_TRUE(PumpUntil([&] { return PixelAt(form().W3, 400, 300) == 0xFF00FFu; }));
    const auto firstPixels = Clock::now() - start;
    RecordProperty("click_to_player_pixels_ms",
                   static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(firstPixels).count()));

    EXPECT_EQ(Title(form().ListWeb), "测试片库");  // the library's own navigation was cancelled
    EXPECT_EQ(Count(Server().RequestedTargets(), "/vant/bofang/1.html"), 1);
    EXPECT_TRUE(form().W3.Visible());
    EXPECT_FALSE(form().Picture1.Visible());
    ASSERT_GE(launcher.started.size(), 4u);
    for (std::size_t index = 0; index < 4; ++index)
        EXPECT_EQ(launcher.started[index].first,
                  "cmd.exe /c taskkill /im " + std::string(配置信息::PlayerHelperImageNames[index]) + " /f");

    // Each anchor's address as the page wrote it, compared case-sensitively:
    // the link written in capitals is not one of the group's entries.
    const SFPlayList& list = form().SFPlayList1;
    ASSERT_EQ(list.NodesCount(), 1);
    EXPECT_EQ(list.NodeText(0), "测试片库");
    const std::string base = Server().Address();
    ASSERT_EQ(list.ItemsCount(0), 2);
    EXPECT_EQ(list.ItemName(0, 0), "第1集");
    EXPECT_EQ(list.ItemURL(0, 0), base + "/vant/bofang/1.html");
    EXPECT_EQ(list.ItemName(0, 1), "第1集（再次）");
    EXPECT_EQ(list.ItemURL(0, 1), base + "/vant/bofang/1.html");

    // A link in capitals plays its lowered address; the page adds no second group.
    form().Button2_Click(1);
    ClickAt(form().ListWeb, 100, 85);
    ASSERT_TRUE(PumpUntil([&] { return Count(Server().RequestedTargets(), "/vant/bofang/2.html") == 1; }));
    EXPECT_EQ(list.NodesCount(), 1);

    // Every view loaded: the process tree's memory.
    form().W2.Navigate(base + "/vant/list.html");
    ASSERT_TRUE(PumpUntil([&] { return Title(form().W2) == "列表" && Title(form().qvod) == "广告"; }));
    const auto [rss, pss] = ProcessTreeMemory();
    RecordProperty("process_tree_rss_kib", static_cast<int>(rss));
    RecordProperty("process_tree_pss_kib", static_cast<int>(pss));
}

TEST_F(EngineViewsTest, PlayInTheChannelPageOpensTheLibraryAndColseInThePlayerPageClosesIt) {
    form().Button2_Click(0);
    ClickAt(form().PlayWeb, 100, 25);
    ASSERT_TRUE(PumpUntil([&] { return Title(form().ListWeb) == "列表"; }));
    EXPECT_TRUE(form().Picture1.Visible());
    EXPECT_EQ(form().ListWeb.LocationURL(), Server().Address() + "/vant/list.html");

    // Play from the list page, then close the player page from its own link.
    ClickAt(form().ListWeb, 100, 25);
    ASSERT_TRUE(PumpUntil([&] { return PixelAt(form().W3, 400, 300) == 0xFF00FFu; }));
    const std::vector<std::string> before = Server().RequestedTargets();
    launcher.started.clear();
    ClickAt(form().W3, 100, 25);
    ASSERT_TRUE(PumpUntil([&] {
        const std::vector<std::string> now = Server().RequestedTargets();
        return Count(now, "/vant/pindao.asp?id=66") > Count(before, "/vant/pindao.asp?id=66") &&
               Count(now, "/vant/list.html") > Count(before, "/vant/list.html");
    }));
    EXPECT_FALSE(form().W3.Visible());
    EXPECT_EQ(launcher.started.size(), 4u);
}

// "PLAY://" in capitals passes the channel page's lowered test and escapes
// its case-sensitive replacement: the library view opens, and the library
// page is asked about the unchanged address, which loads nothing.
TEST_F(EngineViewsTest, PlayInCapitalsInTheChannelPageOpensTheLibraryAtTheUnchangedAddress) {
    std::vector<std::string> heard;
    const auto handler = form().ListWeb.OnBeforeNavigate2;
    form().ListWeb.OnBeforeNavigate2 = [&, handler](forms::WebBrowserObject& pDisp, const std::string& url, long flags,
                                                    const std::string& frame, const std::string& data,
                                                    const std::string& headers, bool& cancel) {
        heard.push_back(url);
        handler(pDisp, url, flags, frame, data, headers, cancel);
    };
    const int lists = Count(Server().RequestedTargets(), "/vant/list.html");
    form().Button2_Click(0);
    ClickAt(form().PlayWeb, 100, 85);
    ASSERT_TRUE(PumpUntil([&] { return !heard.empty(); }));
    EXPECT_EQ(heard, std::vector<std::string>{"PLAY:///vant/list.html"});
    EXPECT_TRUE(form().Picture1.Visible());
    PumpFor(std::chrono::milliseconds(300));
    EXPECT_EQ(Title(form().ListWeb), "测试片库");
    EXPECT_EQ(Count(Server().RequestedTargets(), "/vant/list.html"), lists);
}

// A page's new window to a local file of the test's own, in W2 (whose new
// windows go to tj) and in the library (left alone: the same view), and a
// play link to a document the page supplies: nothing of them shows anywhere,
// nothing plays, and the player goes on.
TEST_F(EngineViewsTest, PagesNeverOpenALocalFileOrADocumentOfTheirOwnInAnyView) {
    const zem::testing::TempFolder disk;
    disk.Write("secret.html", "<!DOCTYPE html><title>秘密</title><img src=\"" + Server().Address() + "/seen-file\">");
    const std::string hostile = Server().Address() + "/vant/hostile.html?file://" + disk.File("secret.html");
    form().W2.Navigate(hostile);
    form().ListWeb.Navigate(hostile);
    ASSERT_TRUE(PumpUntil([&] { return Title(form().W2) == "恶意页" && Title(form().ListWeb) == "恶意页"; }));
    ClickAt(form().ListWeb, 100, 25);
    PumpFor(std::chrono::milliseconds(800));

    for (const std::string& target : Server().RequestedTargets()) EXPECT_FALSE(target.starts_with("/seen-")) << target;
    EXPECT_EQ(form().tj.LocationURL(), "");
    EXPECT_EQ(form().ListWeb.LocationURL(), hostile);
    EXPECT_EQ(Title(form().ListWeb), "恶意页");
    EXPECT_FALSE(form().W3.Visible());
    EXPECT_EQ(form().W3.LocationURL(), "");
    EXPECT_TRUE(Started().empty());
    // The library still plays a link of the web.
    form().ListWeb.Navigate(Server().Address() + "/vant/");
    ASSERT_TRUE(PumpUntil([&] { return Title(form().ListWeb) == "测试片库"; }));
    ClickAt(form().ListWeb, 100, 25);
    EXPECT_TRUE(PumpUntil([&] { return PixelAt(form().W3, 400, 300) == 0xFF00FFu; }));
}

TEST_F(EngineViewsTest, W2sNewWindowLandsInTjAndNoWindowAppears) {
    const std::size_t windows = platform::TopLevelWindows().size();
    (void)display.ForeignWindowsMapped();
    form().W2.Navigate(Server().Address() + "/vant/xinchuang.html");
    ASSERT_TRUE(PumpUntil([&] { return Title(form().tj) == "弹出"; }));
    EXPECT_EQ(form().tj.LocationURL(), Server().Address() + "/vant/popup.html");
    EXPECT_FALSE(form().tj.Visible());
    EXPECT_FALSE(form().W2.Visible());
    EXPECT_EQ(platform::TopLevelWindows().size(), windows);
    EXPECT_EQ(display.ForeignWindowsMapped(), std::vector<unsigned long>{}) << "a window of the engine's own";
}

TEST_F(EngineViewsTest, TheChannelPageShowsNoScrollBar) {
    form().Button2_Click(0);
    const RECT place = platform::WindowScreenRect(form().PlayWeb.hWnd());
    const int right = place.right - place.left - 4;
    // The page is far taller than the view, and its right edge is its own green.
    ASSERT_TRUE(PumpUntil([&] { return PixelAt(form().PlayWeb, right, 200) == 0x00FF00u; }));
}

TEST_F(EngineViewsTest, ARightClickOnTheLibraryPagePopsUpThePageMenu) {
    const int reloads = Count(Server().RequestedTargets(), "/vant/");
    // The menu comes with the page's completed document.
    ASSERT_TRUE(PumpUntil([&] { return form().M_Dom != nullptr; }));
    (void)display.ForeignWindowsMapped();
    script.ChooseMenuItem("shuaxin");
    ClickAt(form().ListWeb, 500, 300, platform::MouseButton::Right);
    ASSERT_TRUE(PumpUntil([&] { return script.Questions().size() == 1; }));
    EXPECT_EQ(script.Questions()[0].text, "右键");
    ASSERT_TRUE(PumpUntil([&] { return Count(Server().RequestedTargets(), "/vant/") > reloads; }));
    // The channel page keeps the engine's own menu: no page menu there.
    form().Button2_Click(0);
    ClickAt(form().PlayWeb, 500, 300, platform::MouseButton::Right);
    PumpFor(std::chrono::milliseconds(500));
    EXPECT_EQ(script.Questions().size(), 1u);
    // Nor does the engine show a menu of its own on either page.
    EXPECT_EQ(display.ForeignWindowsMapped(), std::vector<unsigned long>{});
}

// The sample content server's own library page and ticker file.
TEST_F(EngineViewsTest, SnapshotOfTheLibraryViewWithItsTicker) {
    static site::SampleServer* sample = [] {
        auto* started = new site::SampleServer();
        EXPECT_TRUE(started->Start());
        return started;
    }();
    std::ifstream ticker(site::DefaultContentFolder() + "/zem/link.txt", std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(ticker), std::istreambuf_iterator<char>()};
    WriteBytes(folder.Path() / "link.txt", site::FillAddressMark(bytes, sample->Address()));
    form().ListWeb.Navigate(sample->Address() + "/vant/");
    ASSERT_TRUE(PumpUntil([&] { return Title(form().ListWeb) == "视频库首页"; }));
    desktop.clock().Advance(6000);  // the ticker's next choice
    forms::DoEvents();
    ASSERT_NE(form().Label2.Caption(), "测试滚动文字");
    ASSERT_TRUE(PumpUntil([&] { return PixelAt(form().ListWeb, 600, 400) == 0x1E1E1Eu; }));
    PumpFor(std::chrono::milliseconds(300));
    EXPECT_TRUE(platform::WriteWindowSnapshot(form().hWnd(), ZEM_SNAPSHOT_PATH));
}

}  // namespace
}  // namespace zem::web_views_testing
