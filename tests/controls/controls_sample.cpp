// Writes the sample picture of the self-drawn controls: a host form with a
// play list of three groups and a long open one, a scroll bar and five
// switches, placed as its controls and driven by real input on a fresh
// desktop.
//   controls_sample out.png
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "controls/an.h"
#include "controls/sf_playlist.h"
#include "controls/sf_vscrollbar.h"
#include "platform/drawing/window_painting.h"
#include "platform/forms/form.h"
#include "platform/window/test_desktop.h"
#include "platform/window/window_system.h"

namespace {

zem::forms::FormDesign SampleDesign() {
    zem::forms::FormDesign design;
    design.caption = "controls";
    design.clientWidth = 380;
    design.clientHeight = 320;
    design.startUpPosition = zem::forms::vbStartUpManual;
    return design;
}

class SampleForm : public zem::forms::Form {
public:
    SampleForm() : Form(SampleDesign()) {
        SetScaleMode(zem::forms::vbPixels);
        SetBackColor(0x303030);
        // The design properties, as the player's own list has them.
        SFPlayList1.Load(zem::forms::PropertyBag{{"BackColor", std::int32_t{0x404040}}});
        SFPlayList1.Move(10, 10, 250, 300);
        SFVScrollBar1.InitNew();
        SFVScrollBar1.Move(275, 10, 17, 300);
        for (int i = 0; i < 5; ++i) {
            switches[static_cast<std::size_t>(i)].InitNew();
            switches[static_cast<std::size_t>(i)].Move(315, static_cast<float>(20 + 40 * i), 33, 19);
        }
    }

    SFPlayList SFPlayList1{*this, "SFPlayList1"};
    SFVScrollBar SFVScrollBar1{*this, "SFVScrollBar1"};
    std::array<an, 5> switches{an{*this, "an1"}, an{*this, "an2"}, an{*this, "an3"}, an{*this, "an4"},
                               an{*this, "an5"}};
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: controls_sample out.png\n");
        return 2;
    }
    zem::platform::TestDesktop desktop;
    SampleForm& form = zem::forms::FormInstance<SampleForm>::Get();
    form.Show();

    SFPlayList& list = form.SFPlayList1;
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

    form.SFVScrollBar1.SetMax(500);
    form.SFVScrollBar1.SetLargeChange(28);
    form.SFVScrollBar1.SetValue(120);
    for (int i = 0; i < 5; ++i) form.switches[static_cast<std::size_t>(i)].SetValve(i % 2 == 0);

    const bool written = zem::platform::WriteWindowSnapshot(form.hWnd(), argv[1]);
    if (!written) std::fprintf(stderr, "could not write %s\n", argv[1]);
    zem::forms::DiscardAllForms();
    return written ? 0 : 1;
}
