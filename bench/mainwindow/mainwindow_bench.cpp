// The main window: reading a saved play list of 1000 entries into the list
// (the load's step, while the window is not yet on screen), one step of an
// edge resize of the maximized-size window up to the composed screen, and a
// mouse move over the caption buttons.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/drawing/window_painting.h"
#include "platform/forms/form.h"
#include "platform/system/files.h"
#include "platform/system/process.h"
#include "platform/window/test_desktop.h"
#include "platform/window/window_system.h"
#include "player/form1.h"
#include "shell/max_size.h"
#include "shell/taskbar_menu.h"
#include "shell/tray_icon.h"
#include "windows/player_windows.h"

namespace {

namespace fs = std::filesystem;

class NoProcesses : public zem::platform::ProcessLauncher {
public:
    DWORD Start(std::string_view, int) override { return 1; }
};

// A program folder of its own with the data folder, and the main window shown.
class Scene {
public:
    Scene() {
        std::string pattern = (fs::temp_directory_path() / "zem-bench-XXXXXX").string();
        folder_ = mkdtemp(pattern.data());
        fs::copy(ZEM_BENCH_DATA_FOLDER, folder_ / "zemskin", fs::copy_options::recursive);
        programFolder_.emplace(folder_.string());
        setenv("ZEM_HOST", "http://127.0.0.1:9", 1);  // the discard port: the ticker file fails at once
        RegisterPlayerWindows();
        main_ = &zem::forms::FormInstance<Form1>::Get();
        main_->Show();
        zem::platform::ProcessPendingMessages();
    }
    ~Scene() {
        zem::forms::DiscardAllForms();
        无边框窗体最大化::ResetModuleState();
        状态栏::ResetModuleState();
        托盘气泡::ResetModuleState();
        programFolder_.reset();
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;
    Form1& Main() { return *main_; }
    std::string PlayListPath() const { return (folder_ / "zemskin" / "zemplaylist.xml").string(); }

private:
    zem::platform::TestDesktop desktop_;
    NoProcesses none_;
    zem::platform::ScopedProcessLauncher launcher_{none_};
    fs::path folder_;
    std::optional<zem::platform::ScopedProgramFolder> programFolder_;
    Form1* main_ = nullptr;
};

void BM_LoadPlayListOf1000Entries(benchmark::State& state) {
    Scene scene;
    Form1& main = scene.Main();
    for (int group = 0; group < 10; ++group) {
        main.SFPlayList1.AddNode("电视剧 第" + std::to_string(group + 1) + "部");
        for (int entry = 0; entry < 100; ++entry)
            main.SFPlayList1.AddItem(group, "第" + std::to_string(entry + 1) + "集",
                                     "http://127.0.0.1/vant/play.asp?id=" + std::to_string(group * 100 + entry));
    }
    main.SavePlayList(scene.PlayListPath());
    main.Picture6.SetVisible(false);  // as during the load: the list is not on screen while it fills
    for (auto _ : state) {
        main.SFPlayList1.ClearNodes();
        main.LoadPlayList(scene.PlayListPath());
        benchmark::DoNotOptimize(main.SFPlayList1.NodesCount());
    }
}
BENCHMARK(BM_LoadPlayListOf1000Entries)->Unit(benchmark::kMillisecond);

// The window at the maximized size (1366 x 728), its bottom edge moved by one
// pixel per step: Form_Resize, the panels' layouts, the paints and the
// composed screen.
void BM_EdgeResizeStepAtMaximizedSize(benchmark::State& state) {
    Scene scene;
    Form1& main = scene.Main();
    main.Move(0, 0, 1366 * 15, 728 * 15);
    zem::platform::ProcessPendingMessages();
    int step = 0;
    for (auto _ : state) {
        const float height = static_cast<float>((728 - (step++ % 2)) * 15);
        main.Move(0, 0, 1366 * 15, height);
        zem::platform::ProcessPendingMessages();
        benchmark::DoNotOptimize(zem::platform::ComposeScreen());
    }
}
BENCHMARK(BM_EdgeResizeStepAtMaximizedSize)->Unit(benchmark::kMillisecond);

// The composed screen alone, for the share of the step above.
void BM_ComposeScreenAtMaximizedSize(benchmark::State& state) {
    Scene scene;
    scene.Main().Move(0, 0, 1366 * 15, 728 * 15);
    zem::platform::ProcessPendingMessages();
    for (auto _ : state) benchmark::DoNotOptimize(zem::platform::ComposeScreen());
}
BENCHMARK(BM_ComposeScreenAtMaximizedSize)->Unit(benchmark::kMillisecond);

// Between the close and the maximize label: each move repaints the four caption sprites.
void BM_MouseMoveOverTheCaptionButtons(benchmark::State& state) {
    Scene scene;
    const RECT place = zem::platform::WindowScreenRect(scene.Main().hWnd());
    int step = 0;
    for (auto _ : state) {
        const LONG x = place.right - ((step++ % 2) != 0 ? 15 : 45);
        zem::platform::MovePointer(x, place.top + 50);
    }
}
BENCHMARK(BM_MouseMoveOverTheCaptionButtons)->Unit(benchmark::kMicrosecond);

}  // namespace
