// Writes the sample picture of the self-drawn controls: a host window with a
// play list of three groups and a long open one, a scroll bar and five
// switches, driven by real input on a fresh desktop.
//   controls_sample out.png
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "controls/an.h"
#include "controls/sf_playlist.h"
#include "controls/sf_vscrollbar.h"
#include "platform/drawing/gdi.h"
#include "platform/drawing/window_painting.h"
#include "platform/window/test_desktop.h"
#include "platform/window/window_system.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: controls_sample out.png\n");
        return 2;
    }
    zem::platform::TestDesktop desktop;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "ControlsSample";
    RegisterClassA(&windowClass);
    HWND host = CreateWindowExA(0, "ControlsSample", "", WS_POPUP | WS_VISIBLE, 0, 0, 380, 320, nullptr, nullptr,
                                nullptr, nullptr);
    {
        HDC dc = GetDC(host);
        RECT all{0, 0, 380, 320};
        HBRUSH brush = CreateSolidBrush(0x303030);
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        ReleaseDC(host, dc);
    }
    zem::forms::PropertyBag saved{{"BackColor", std::int32_t{0x404040}}};
    SFPlayList list(host, RECT{10, 10, 260, 310}, &saved);
    const std::vector<std::pair<std::string, int>> groups = {
        {"最近播放", 3}, {"电视剧 城市之光", 2}, {"纪录片 山河", 4}, {"动画片 第一季", 40}};
    for (std::size_t i = 0; i < groups.size(); ++i) {
        list.AddNode(groups[i].first);
        for (int j = 0; j < groups[i].second; ++j)
            list.AddItem(static_cast<int>(i), "第" + std::to_string(j + 1) + "集", "http://127.0.0.1/" + std::to_string(j));
    }
    zem::platform::Click(zem::platform::MouseButton::Left, 60, 10 + 28 * 5 + 14);  // select the second episode
    desktop.clock().Advance(1000);
    zem::platform::MovePointer(60, 10 + 28 * 7 + 14);  // hover the fourth

    SFVScrollBar bar(host, RECT{275, 10, 292, 310});
    bar.SetMax(500);
    bar.SetLargeChange(28);
    bar.SetValue(120);

    std::vector<std::unique_ptr<an>> switches;
    for (int i = 0; i < 5; ++i) {
        switches.push_back(std::make_unique<an>(host, RECT{315, 20 + 40 * i, 348, 39 + 40 * i}));
        switches.back()->SetValve(i % 2 == 0);
    }
    const bool written = zem::platform::WriteWindowSnapshot(host, argv[1]);
    if (!written) std::fprintf(stderr, "could not write %s\n", argv[1]);
    return written ? 0 : 1;
}
