// What the real `zemplayer` costs when nothing moves, and what a moving page
// costs in it beside the engine alone: processor ticks (1/100 s of user and
// system time) of the player's whole process tree (the player, its web and
// network processes) over 10 s, on an X server of the benchmark's own and
// against the sample content server, the program folder holding a
// "zemskin/Config.ini" at the server's version so that no upgrade is offered.
//
// - Idle, 15 s after the start: shown, minimized (the minimize button with
//   [form] renwulan True) and hidden to the tray (the close button with
//   [form] form True).
// - The spinner of the shipped "Loading.html" in the library view (the
//   library page served is that page) against bare_engine_window showing the
//   same page at the size of the library view: the ratio of the two trees'
//   ticks over 10 s. The bare window runs in the rendering mode the player
//   gives the engine (no compositing, no overlay scroll bars), so the ratio
//   is what the program's own path adds to the engine's drawing.
//
// ZEM_BENCH_DIST names another program folder to measure (an earlier build's
// dist), for figures before and after a change.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/Xlib.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "site/sample_server.h"
#include "tests/support/process_ticks.h"
#include "tests/support/x_geometry.h"
#include "tests/support/xtest_input.h"
#include "tests/support/xvfb_server.h"
#include "tests/system/temp_folder.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using std::chrono::seconds;

// The size of the library view in the main window at its first size.
constexpr int kLibraryViewWidth = 1067;
constexpr int kLibraryViewHeight = 526;
constexpr seconds kSettle{15};
constexpr seconds kWindow{10};

fs::path DistFolder() {
    const char* other = std::getenv("ZEM_BENCH_DIST");
    return other != nullptr && *other != '\0' ? fs::path(other) : fs::path(ZEM_BENCH_DIST_DIR);
}

// A program started with the benchmark's environment and some changes to
// it, its output discarded; ended (and waited for) with the object.
class ChildProcess {
public:
    ChildProcess(const std::vector<std::string>& arguments, const std::map<std::string, std::string>& changes) {
        std::map<std::string, std::string> environment;
        for (char** entry = environ; *entry != nullptr; ++entry) {
            const std::string text = *entry;
            const std::size_t equals = text.find('=');
            if (equals != std::string::npos) environment[text.substr(0, equals)] = text.substr(equals + 1);
        }
        environment.erase("ZEM_HEADLESS");
        for (const auto& [name, value] : changes) environment[name] = value;
        std::vector<std::string> entries;
        for (const auto& [name, value] : environment) entries.push_back(name + "=" + value);
        std::vector<char*> argv;
        for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (std::string& entry : entries) envp.push_back(entry.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~ChildProcess() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t Pid() const { return pid_; }

private:
    pid_t pid_ = -1;
};

// Everything the run shares: the X server, and the content servers (the
// sample content as shipped, and with "Loading.html" as its library page).
struct Stage {
    zem::testing::XvfbServer xserver{"1366x768x24"};
    zem::testing::TempFolder animatedContent{"content"};
    zem::site::SampleServer shipped;
    std::optional<zem::site::SampleServer> animated;

    Stage() {
        shipped.Start();
        fs::copy(ZEM_BENCH_SITE_CONTENT, animatedContent.Path(), fs::copy_options::recursive);
        fs::copy_file(DistFolder() / "zemskin" / "html" / "Loading.html",
                      animatedContent.Path() / "vant" / "index.html", fs::copy_options::overwrite_existing);
        zem::site::ServerOptions options;
        options.contentFolder = animatedContent.Path().string();
        animated.emplace(options);
        animated->Start();
    }
    static Stage& Get() {
        static Stage* stage = new Stage;  // ends with the program (its servers' kept-alive connections)
        return *stage;
    }
    // The stage, or null with the benchmark skipped when there is no X server.
    static Stage* Ready(benchmark::State& state) {
        Stage& stage = Get();
        if (!stage.xserver.Name().empty()) return &stage;
        state.SkipWithError("no X server");
        return nullptr;
    }
};

// Whether `server` was asked, after its first `known` requests, for every
// path in `paths`: the player's start pages have loaded, the player is in
// the state a person leaves it in.
bool Requested(const zem::site::SampleServer& server, std::size_t known, const std::vector<std::string>& paths) {
    const std::vector<std::string> targets = server.RequestedTargets();
    for (const std::string& path : paths) {
        bool found = false;
        for (std::size_t index = known; index < targets.size() && !found; ++index) found = targets[index] == path;
        if (!found) return false;
    }
    return true;
}

// The real player in a program folder of its own, its [form] switches given.
class PlayerRun {
public:
    PlayerRun(zem::site::SampleServer& server, const std::string& formSwitches) {
        fs::copy_file(DistFolder() / "zemplayer", folder_.Path() / "zemplayer");
        fs::copy(DistFolder() / "zemskin", folder_.Path() / "zemskin", fs::copy_options::recursive);
        folder_.Write("zemskin/Config.ini", "[Version]\r\nVersion=1.3\r\n[form]\r\n" + formSwitches);
        process_.emplace(std::vector<std::string>{folder_.File("zemplayer")},
                         std::map<std::string, std::string>{{"DISPLAY", Stage::Get().xserver.Name()},
                                                            {"ZEM_HOST", server.Address()},
                                                            {"ZEM_PROBE", server.Address() + "/"}});
    }
    pid_t Pid() const { return process_->Pid(); }

private:
    zem::testing::TempFolder folder_;
    std::optional<ChildProcess> process_;
};

long TreeTicksOver(pid_t root, seconds span) {
    const long before = zem::testing::ProcessTreeTicks(root);
    std::this_thread::sleep_for(span);
    return zem::testing::ProcessTreeTicks(root) - before;
}

std::optional<XWindowAttributes> MainWindow(Display* display) { return zem::testing::LargestShownWindow(display); }

// Clicks the main window `fromRight` pixels from its right edge and
// `fromTop` from its top; true when the window is no longer shown 3 s later.
bool ClickAwayMainWindow(int fromRight, int fromTop) {
    zem::testing::XTestInput input(Stage::Get().xserver.Name());
    if (!input.Connected()) return false;
    const std::optional<XWindowAttributes> main = MainWindow(input.Connection());
    if (!main) return false;
    // As a hand does: onto the button, then a press and a release.
    input.MoveTo(main->x + main->width - fromRight, main->y + fromTop);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    input.Button(1, true);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    input.Button(1, false);
    std::this_thread::sleep_for(seconds(3));
    const std::optional<XWindowAttributes> after = MainWindow(input.Connection());
    return !after || after->width != main->width || after->height != main->height;
}

enum class IdleState { Shown, Minimized, HiddenToTray };

void BM_IdlePlayerTree(benchmark::State& state, IdleState idle) {
    Stage* stage = Stage::Ready(state);
    if (stage == nullptr) return;
    for (auto _ : state) {
        (void)_;
        const std::size_t known = stage->shipped.RequestedTargets().size();
        PlayerRun player(stage->shipped, idle == IdleState::Minimized      ? "renwulan=True\r\n"
                                         : idle == IdleState::HiddenToTray ? "form=True\r\n"
                                                                           : "");
        std::this_thread::sleep_for(idle == IdleState::Shown ? kSettle : kSettle - seconds(3));
        if (!Requested(stage->shipped, known, {"/vant/", "/vant/pindao.asp?id=66", "/vant/js/ads/qvodad.html"})) {
            state.SkipWithError("the player did not load its start pages");
            break;
        }
        // The caption buttons: minimize 75 pixels from the right, close 15;
        // 35 from the top, since their lower part lies under the quality box.
        if (idle != IdleState::Shown && !ClickAwayMainWindow(idle == IdleState::Minimized ? 75 : 15, 35)) {
            state.SkipWithError("the main window stayed");
            break;
        }
        const long ticks = TreeTicksOver(player.Pid(), kWindow);
        state.counters["ticks_in_10s"] = static_cast<double>(ticks);
        state.counters["core_percent"] = static_cast<double>(ticks) / kWindow.count();
    }
}
BENCHMARK_CAPTURE(BM_IdlePlayerTree, shown, IdleState::Shown)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_IdlePlayerTree, minimized, IdleState::Minimized)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_IdlePlayerTree, hidden_to_tray, IdleState::HiddenToTray)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

void BM_AnimatedPageBesideTheBareEngine(benchmark::State& state) {
    Stage* stage = Stage::Ready(state);
    if (stage == nullptr) return;
    for (auto _ : state) {
        (void)_;
        long playerTicks = 0;
        {
            const std::size_t known = stage->animated->RequestedTargets().size();
            PlayerRun player(*stage->animated, "shipinku=True\r\n");
            std::this_thread::sleep_for(kSettle);
            if (!Requested(*stage->animated, known, {"/vant/"})) {
                state.SkipWithError("the player did not load its library page");
                break;
            }
            playerTicks = TreeTicksOver(player.Pid(), kWindow);
        }
        long bareTicks = 0;
        {
            ChildProcess bare({ZEM_BENCH_BARE_ENGINE_WINDOW, stage->animated->Address() + "/vant/",
                               std::to_string(kLibraryViewWidth), std::to_string(kLibraryViewHeight)},
                              {{"DISPLAY", stage->xserver.Name()},
                               {"WEBKIT_DISABLE_COMPOSITING_MODE", "1"},
                               {"GTK_OVERLAY_SCROLLING", "0"},
                               {"NO_AT_BRIDGE", "1"}});
            std::this_thread::sleep_for(seconds(5));
            bareTicks = TreeTicksOver(bare.Pid(), kWindow);
        }
        state.counters["player_ticks_in_10s"] = static_cast<double>(playerTicks);
        state.counters["bare_ticks_in_10s"] = static_cast<double>(bareTicks);
        state.counters["ratio"] = bareTicks > 0 ? static_cast<double>(playerTicks) / bareTicks : 0.0;
    }
}
BENCHMARK(BM_AnimatedPageBesideTheBareEngine)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
