#include "windows/shezhitip.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>

#include "platform/base/text.h"
#include "platform/drawing/gdi.h"
#include "platform/forms/picture.h"
#include "shell/config_info.h"
#include "windows/frm_app_tip.h"
#include "windows/secondary_window.h"

using namespace zem::forms;

namespace {

// The system colours the design names, as OLE colours.
constexpr COLORREF kAppWorkspaceColor = 0x80000000 | COLOR_APPWORKSPACE;
constexpr COLORREF kScrollBarColor = 0x80000000 | COLOR_SCROLLBAR;

// 391 x 271 pixels in the middle of the screen, out of the taskbar, square corners.
FormDesign ShezhitipDesign() {
    FormDesign design;
    design.clientWidth = 391;
    design.clientHeight = 271;
    design.borderStyle = 0;
    design.showInTaskbar = false;
    design.startUpPosition = vbStartUpScreen;
    return design;
}

}  // namespace

shezhitip::shezhitip()
    : Form(ShezhitipDesign()),
      settings_{{{&an1, "form", &Label3, "最小化到托盘", "退出程序"},
                 {&an2, "run", &Label2, "已添加开机启动", "设置开机启动"},
                 {&an3, "renwulan", &Label4, "任务栏显示", "在托盘显示"},
                 {&an4, "shipinku", &Label5, "显示视频库窗口", "显示播放器窗口"},
                 {&an5, "update", &Label6, "为我自动升级新版本", "不自动升级信版本"}}} {
    // "run" and "update" are stored and shown only: starting with the
    // session or upgrading unasked would act behind the user's back in ways
    // nothing else in the player offers, so the window keeps to recording them.
    SetScaleMode(vbPixels);
    Image1.Move(0, 0, 390, 270);
    Image1.SetPicture(DesignPicture("shezhitip.Image1"));
    Label1.SetBackStyle(vbTransparent);
    Label1.Move(16, 8, 73, 25);
    Label1.SetCaption("软件设置");
    Label1.SetFont(StdFont::Create("微软雅黑", 12, 134));
    Label1.SetForeColor(kAppWorkspaceColor);
    // Tops of the switches and of their state texts, top to bottom.
    constexpr std::array<float, 5> kSwitchTops{64, 96, 128, 160, 192};
    constexpr std::array<float, 5> kStateTops{68, 99, 131, 163, 194};
    for (std::size_t row = 0; row < settings_.size(); ++row) {
        const Setting& setting = settings_[row];
        setting.control->InitNew();  // on, as designed
        setting.control->Move(88, kSwitchTops[row], an::kWidth, an::kHeight);
        setting.state->SetBackStyle(vbTransparent);
        setting.state->SetEnabled(false);  // drawn greyed
        setting.state->Move(128, kStateTops[row], 121, 17);
        setting.state->SetCaption(std::string(setting.onText));
        setting.control->Click = [this, &setting] { SwitchClick(setting); };
    }
    zem::windows::DesignButtonLooks("shezhitip", {Image2, Image3, Image4, Image5, Image6, Image7});
    for (Line* line : {&Line1, &Line2, &Line3, &Line4}) line->SetBorderColor(kScrollBarColor);

    Image2.OnClick = [this] { Image2_Click(); };
    Image2.OnMouseMove = [this](int, int, float, float) { Image2.SetPicture(Image4.Picture()); };
    Image5.OnClick = [this] { Image5_Click(); };
    Image5.OnMouseMove = [this](int, int, float, float) { Image5.SetPicture(Image7.Picture()); };
    Image1.OnMouseMove = [this](int, int, float, float) {
        Image2.SetPicture(Image3.Picture());
        Image5.SetPicture(Image6.Picture());
    };
    Image1.OnMouseDown = [this](int, int, float, float) { zem::windows::DragWindow(*this); };
    Label1.OnMouseDown = [this](int, int, float, float) { zem::windows::DragWindow(*this); };
}

void shezhitip::Form_Load() {
    // A key that is missing (a new Config.ini) or holds what is no truth
    // value reads as off, as the main window's load reads the same keys: the
    // switch then shows what the player will do at its next start.
    for (const Setting& setting : settings_) {
        const std::optional<bool> value =
            zem::platform::TextToBoolean(配置信息::ReadConfig("form", setting.key, ""));
        setting.control->SetValve(value.value_or(false));
    }
    for (const Setting& setting : settings_) ShowState(setting);
}

void shezhitip::Form_Resize() { zem::windows::PlaceFrameLines(*this, 0, Line1, Line2, Line3, Line4); }

void shezhitip::ShowState(const Setting& setting) {
    setting.state->SetCaption(std::string(setting.control->Valve() ? setting.onText : setting.offText));
}

// The switch has toggled itself already: show its state and store it at once.
void shezhitip::SwitchClick(const Setting& setting) {
    ShowState(setting);
    配置信息::WriteConfig("form", setting.key, setting.control->Valve() ? "True" : "False");
}

// Save: every switch is stored already, so this only confirms and closes.
void shezhitip::Image2_Click() {
    FrmAppTip& tip = FormInstance<FrmAppTip>::Get();
    tip.Label1.SetCaption("设置成功 下次启动生效");
    tip.Show();
    tip.Timer1.SetEnabled(true);
    Unload();
}

void shezhitip::Image5_Click() { Unload(); }
