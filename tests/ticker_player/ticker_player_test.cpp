// The real player with a ticker file of one 10 MB line: the line becomes the
// ticker's caption, and the player still costs little while nothing moves and
// answers a click at once. Processor ticks are read from /proc; the click is a
// person's (XTest) on the view tab that shows the library panel, which holds
// the ticker, and its answer is seen at the X server.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/base/text.h"
#include "site/sample_server.h"
#include "tests/support/process_namespace.h"
#include "tests/support/process_ticks.h"
#include "tests/support/x_geometry.h"
#include "tests/support/xtest_input.h"
#include "tests/support/xvfb_server.h"
#include "tests/system/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
using std::chrono::seconds;

// The player in a program folder of its own, on the X server; ended with the object.
class PlayerProcess {
public:
    PlayerProcess(const std::string& display, const zem::site::SampleServer& server) {
        fs::copy_file(fs::path(ZEM_DIST_DIR) / "zemplayer", folder_.Path() / "zemplayer");
        fs::copy(fs::path(ZEM_DIST_DIR) / "zemskin", folder_.Path() / "zemskin", fs::copy_options::recursive);
        // At the server's version (no upgrade is offered), starting in the library view, which shows the ticker.
        folder_.Write("zemskin/Config.ini", "[Version]\r\nVersion=1.3\r\n[form]\r\nshipinku=True\r\n");
        pid_ = zem::testing::SpawnProgram({folder_.File("zemplayer")},
                                          {"DISPLAY=" + display, "ZEM_HEADLESS=0", "ZEM_HOST=" + server.Address(),
                                           "ZEM_PROBE=" + server.Address() + "/"});
    }
    ~PlayerProcess() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        if (!zem::testing::WaitForExit(pid_, 60000)) {
            kill(pid_, SIGKILL);
            zem::testing::WaitForExit(pid_, 60000);
        }
    }
    PlayerProcess(const PlayerProcess&) = delete;
    PlayerProcess& operator=(const PlayerProcess&) = delete;
    pid_t Pid() const { return pid_; }
    bool Running() const {
        int status = 0;
        return pid_ > 0 && waitpid(pid_, &status, WNOHANG) == 0;
    }

private:
    zem::testing::TempFolder folder_{"player"};
    pid_t pid_ = -1;
};

bool Requested(const zem::site::SampleServer& server, const std::string& path) {
    for (const std::string& target : server.RequestedTargets())
        if (target == path) return true;
    return false;
}

std::optional<XWindowAttributes> MainWindow(Display* display) { return zem::testing::LargestShownWindow(display); }

// The pixels of a rectangle of the root, as the server shows them.
std::vector<unsigned long> Shown(Display* display, int x, int y, int width, int height) {
    std::vector<unsigned long> pixels;
    XImage* image = XGetImage(display, DefaultRootWindow(display), x, y, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (image == nullptr) return pixels;
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column) pixels.push_back(XGetPixel(image, column, row));
    XDestroyImage(image);
    return pixels;
}

// Waits until the rectangle has shown the same pixels for half a second.
std::vector<unsigned long> Settled(Display* display, int x, int y, int width, int height) {
    std::vector<unsigned long> last = Shown(display, x, y, width, height);
    auto since = Clock::now();
    const auto limit = Clock::now() + seconds(60);
    while (Clock::now() - since < milliseconds(500) && Clock::now() < limit) {
        std::this_thread::sleep_for(milliseconds(20));
        std::vector<unsigned long> now = Shown(display, x, y, width, height);
        if (now != last) {
            last = std::move(now);
            since = Clock::now();
        }
    }
    return last;
}

struct Area {
    int left, top, right, bottom;
};

// A click at a root point; how long until the rectangle shows other pixels
// (nothing when it never does within 60 s).
std::optional<milliseconds> ClickAnswer(zem::testing::XTestInput& input, int x, int y, const Area& watched) {
    Display* display = input.Connection();
    const int width = watched.right - watched.left, height = watched.bottom - watched.top;
    input.MoveTo(x, y);
    const std::vector<unsigned long> before = Settled(display, watched.left, watched.top, width, height);
    const auto clicked = Clock::now();
    input.Button(1, true);
    input.Button(1, false);
    while (Clock::now() - clicked < seconds(60)) {
        if (Shown(display, watched.left, watched.top, width, height) != before)
            return std::chrono::duration_cast<milliseconds>(Clock::now() - clicked);
        std::this_thread::sleep_for(milliseconds(2));
    }
    return std::nullopt;
}

TEST(TickerPlayer, ATenMegabyteTickerLineLeavesThePlayerIdleAndAClickAnsweredAtOnce) {
    zem::testing::XvfbServer xserver("1366x768x24");
    if (xserver.Name().empty()) GTEST_SKIP() << "no Xvfb";
    zem::testing::TempFolder content("content");
    fs::copy(ZEM_SITE_CONTENT, content.Path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    // One line of 10 MB, blanks and CJK in it, as the server may send.
    std::string line;
    line.reserve(11 << 20);
    while (line.size() < (10u << 20)) line += "最新影视 热播推荐 news of the day ";
    content.Write("zem/link.txt", zem::platform::Utf8ToGbk(line) + "###http://127.0.0.1/ticker\r\n");
    zem::site::ServerOptions options;
    options.contentFolder = content.Path().string();
    zem::site::SampleServer server(options);
    ASSERT_TRUE(server.Start());

    PlayerProcess player(xserver.Name(), server);
    ASSERT_GT(player.Pid(), 0);
    zem::testing::XTestInput input(xserver.Name());
    ASSERT_TRUE(input.Connected());
    // Started: the ticker file fetched, the main window shown.
    const auto limit = Clock::now() + seconds(120);
    std::optional<XWindowAttributes> main;
    while (Clock::now() < limit && !(Requested(server, "/zem/link.txt") && (main = MainWindow(input.Connection())) &&
                                     main->width > 1000)) std::this_thread::sleep_for(milliseconds(100));
    ASSERT_TRUE(main && main->width > 1000) << "the main window did not show";
    // The first choice comes a second after the load, the next ones every 6 s:
    // past two of them the caption is the line.
    std::this_thread::sleep_for(seconds(15));

    ASSERT_TRUE(player.Running());
    const long before = zem::testing::ReadProcess(player.Pid()).ticks;
    const long treeBefore = zem::testing::ProcessTreeTicks(player.Pid());
    std::this_thread::sleep_for(seconds(12));
    const long ticks = zem::testing::ReadProcess(player.Pid()).ticks - before;
    const long treeTicks = zem::testing::ProcessTreeTicks(player.Pid()) - treeBefore;
    // Ticks are 1/100 s: over 12 s, under 2 % of a core is under 24.
    EXPECT_LT(ticks, 24) << "the player's ticks over 12 s";
    std::printf("idle: the player %.2f %% of a core, its process tree %.2f %%\n", ticks / 12.0, treeTicks / 12.0);

    // The player view, then back to the library view: the tab of the view
    // shown draws its selected frame at once.
    const Area tabs{main->x + 400, main->y + 20, main->x + 800, main->y + 100};
    const std::optional<milliseconds> toPlayer = ClickAnswer(input, main->x + 450, main->y + 60, tabs);
    ASSERT_TRUE(toPlayer) << "the player view never showed";
    const std::optional<milliseconds> toLibrary = ClickAnswer(input, main->x + 550, main->y + 60, tabs);
    ASSERT_TRUE(toLibrary) << "the library view never showed";
    std::printf("click answers: %lld ms, %lld ms\n", static_cast<long long>(toPlayer->count()),
                static_cast<long long>(toLibrary->count()));
    EXPECT_TRUE(player.Running());
    EXPECT_TRUE(MainWindow(input.Connection())) << "the main window is gone";
    EXPECT_LT(toLibrary->count(), 100);
    EXPECT_LT(toPlayer->count(), 100);
}

}  // namespace
