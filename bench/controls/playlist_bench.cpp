// The play list with 1000 entries in its open group: one full paint, one
// mouse-move repaint, and 1000 AddItem calls into an open group.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "controls/sf_playlist.h"
#include "platform/forms/form.h"
#include "platform/window/test_desktop.h"

namespace {

class BenchForm : public zem::forms::Form {
public:
    BenchForm() : Form(zem::forms::FormDesign{"bench", 300, 600}) { SetScaleMode(zem::forms::vbPixels); }
};

// A host form with a list 250 x 600 on it.
class Scene {
public:
    Scene() {
        zem::forms::FormInstance<BenchForm>::Get().Show();
        list = std::make_unique<SFPlayList>(zem::forms::FormInstance<BenchForm>::Get(), "SFPlayList1");
        list->Move(0, 0, 250, 600);
        list->InitNew();
    }
    ~Scene() {
        list.reset();
        zem::forms::DiscardAllForms();
    }
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;
    void Fill(int entries) {
        list->AddNode("group");
        for (int i = 0; i < entries; ++i) list->AddItem(0, "第" + std::to_string(i + 1) + "集", "http://127.0.0.1/");
    }

    zem::platform::TestDesktop desktop;
    std::unique_ptr<SFPlayList> list;
};

void BM_PlayListFullPaint(benchmark::State& state) {
    Scene scene;
    scene.Fill(1000);
    scene.list->ScrollTo(14000);
    for (auto _ : state) {
        InvalidateRect(scene.list->hWnd(), nullptr, FALSE);
        UpdateWindow(scene.list->hWnd());
    }
}
BENCHMARK(BM_PlayListFullPaint)->Unit(benchmark::kMicrosecond);

void BM_PlayListMouseMoveRepaint(benchmark::State& state) {
    Scene scene;
    scene.Fill(1000);
    int y = 0;
    for (auto _ : state) {
        SendMessageA(scene.list->hWnd(), WM_MOUSEMOVE, 0, MAKELPARAM(100, static_cast<WORD>(y)));
        y = (y + 7) % 600;
    }
}
BENCHMARK(BM_PlayListMouseMoveRepaint)->Unit(benchmark::kMicrosecond);

void BM_PlayListThousandAddItems(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto scene = std::make_unique<Scene>();
        scene->list->AddNode("group");
        state.ResumeTiming();
        for (int i = 0; i < 1000; ++i) scene->list->AddItem(0, "entry", "http://127.0.0.1/");
        state.PauseTiming();
        scene.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PlayListThousandAddItems)->Unit(benchmark::kMillisecond);

}  // namespace
