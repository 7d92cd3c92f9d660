#include "updater/form1.h"

#include <cmath>
#include <cstdio>

#include "platform/forms/picture.h"
#include "platform/forms/program.h"
#include "platform/forms/runtime_error.h"
#include "platform/network/content_server.h"
#include "platform/system/files.h"
#include "platform/window/user32.h"
#include "shell/config_info.h"
#include "shell/icon_file.h"
#include "shell/taskbar_menu.h"
#include "shell/tray_icon.h"
#include "updater/rounding.h"
#include "updater/string_routines.h"
#include "updater/updater_argument.h"

using namespace zem::forms;

namespace {

constexpr COLORREF kFrameColor = 0xC0C0C0;
constexpr const char* kUpgradeMode = "shengji";
constexpr const char* kCurrentMode = "wu";

// 8250 x 6015 twips, centred on the screen, in the taskbar.
FormDesign Form1Design() {
    FormDesign design;
    design.caption = "在线升级";
    design.clientWidth = 550;
    design.clientHeight = 401;
    design.borderStyle = 0;
    design.showInTaskbar = true;
    design.startUpPosition = vbStartUpScreen;
    return design;
}

void PlacePicture(Image& image, const char* name, float left, float top, bool visible = true) {
    image.Move(left, top);
    image.SetPicture(DesignPicture(name));
    image.SetVisible(visible);
}

void DesignLabel(Label& label, float left, float top, float width, float height, FontRef font) {
    label.SetBackStyle(vbTransparent);
    label.Move(left, top, width, height);
    label.SetVisible(false);
    if (font) label.SetFont(std::move(font));
}

}  // namespace

std::string PackageSource() {
    return zem::content_server::Join(zem::content_server::FixedHost(), zem::content_server::kUpdatePackagePath);
}

// The program folder, a backslash, and the package's file name: "\zemdate.exe".
std::string PackageDestination(const std::string& source) {
    return zem::platform::ProgramPath(ModAddString::AddString("", "\\") +
                                      ModGetFileNameInPath::GetFileNameInPath(source, false));
}

Form1::Form1() : Form(Form1Design()) {
    SetScaleMode(vbPixels);
    // The design icon, until the load puts the icon file's in its place.
    SetIcon(DesignPicture("Form1.Icon"));
    PlacePicture(Image1, "Form1.Image1", 0, 0);
    PlacePicture(Image2, "Form1.Image2", 528, 8);
    PlacePicture(Image3, "Form1.Image3", 0, 0, false);
    PlacePicture(Image4, "Form1.Image4", 0, 0, false);
    PlacePicture(Image5, "Form1.Image5", 512, 8);
    PlacePicture(Image6, "Form1.Image6", 0, 0, false);
    PlacePicture(Image7, "Form1.Image7", 0, 0, false);
    PlacePicture(Image8, "Form1.Image8", 216, 352);
    PlacePicture(Image9, "Form1.Image9", 0, 0, false);
    PlacePicture(Image10, "Form1.Image10", 0, 0, false);
    DesignLabel(Label1, 128, 296, 281, 25, StdFont::Create("微软雅黑", 10.5, 134));
    DesignLabel(Label4, 104, 296, 385, 17, StdFont::Create("微软雅黑", 10.5, 134));
    DesignLabel(Label3, 424, 318, 57, 17, StdFont::Create("微软雅黑", 9, 134));
    DesignLabel(Label2, 344, 368, 33, 17, nullptr);
    Label2.SetCaption("取消");
    S.Move(120, 320, 297, 10);
    S.InitNew();
    S.SetVisible(false);
    for (Line* line : {&Line1, &Line2, &Line3, &Line4}) line->SetBorderColor(kFrameColor);
    BalloonTimer.SetEnabled(false);
    BalloonTimer.SetInterval(kBalloonTimeout);

    Image1.OnMouseDown = [this](int, int, float, float) { Image1_MouseDown(); };
    Image1.OnMouseMove = [this](int, int, float, float) { Image1_MouseMove(); };
    Image2.OnClick = [this] { Image2_Click(); };
    Image2.OnMouseMove = [this](int, int, float, float) { Image2_MouseMove(); };
    Image5.OnClick = [this] { Image5_Click(); };
    Image5.OnMouseMove = [this](int, int, float, float) { Image5_MouseMove(); };
    Image8.OnClick = [this] { Image8_Click(); };
    Image8.OnMouseMove = [this](int, int, float, float) { Image8_MouseMove(); };
    Label2.OnClick = [this] { Label2_Click(); };
    BalloonTimer.OnTimer = [this] { BalloonTimer_Timer(); };
}

void Form1::Form_Load() {
    oDownload = zem::platform::MakeCom<CFileDownload>();
    oDownload->OnProgressEvent = [this](std::int32_t progress, std::int32_t maximum, std::int32_t speed,
                                        std::int32_t status, const std::string& text) {
        oDownload_OnProgress(progress, maximum, speed, status, text);
    };
    // One updater at a time: a second one ends at once, without a word.
    if (App::PrevInstance()) {
        End();
        return;
    }
    状态栏::EnableTaskbarMenu(hWnd());
    // A missing or unreadable icon file leaves the window's own icon: the
    // upgrade matters more than the icon.
    SkipOnError([this] {
        if (PictureRef icon = 高清图标::LoadIconFile(zem::platform::ProgramPath("\\zemskin\\icon.ico")))
            SetIcon(std::move(icon));
    });
    sCommand = Command();
    // Nothing to offer without an argument, nor with one that holds no mode
    // word (no "###"): the updater ends quietly rather than with an error.
    const auto argument = zem::updater::ParseUpdaterArgument(sCommand);
    if (!argument) {
        End();
        return;
    }
    sVersion = argument->version;
    sMode = argument->mode;
    if (sMode == kUpgradeMode) {
        托盘气泡::AddTrayIcon(*this, Caption(), "在线升级", 1, kBalloonTimeout);
        Label1.SetCaption("检测到当前最新版为：" + sVersion + "版，是否立即升级");
        Label1.SetVisible(true);
    } else if (sMode == kCurrentMode) {
        Label4.SetCaption("您当前使用的已经是最新版，版本" + sVersion + "，无需升级");
        Label4.SetVisible(true);
        Image8.SetEnabled(false);
    }
}

void Form1::Form_Resize() {
    if (WindowState() == vbMinimized) return;
    const int width = static_cast<int>(std::lround(ScaleWidth()));
    const int height = static_cast<int>(std::lround(ScaleHeight()));
    // Only the top corners are rounded: the region reaches far below the window.
    SetWindowRgn(hWnd(), CreateRoundRectRgn(0, 0, width + 1, height + 200, 5, 5), TRUE);
    auto place = [](Line& line, int x1, int y1, int x2, int y2) {
        line.SetX1(static_cast<float>(x1));
        line.SetY1(static_cast<float>(y1));
        line.SetX2(static_cast<float>(x2));
        line.SetY2(static_cast<float>(y2));
    };
    place(Line1, 0, 0, width, 0);
    place(Line2, 0, 0, 0, height);
    place(Line3, width - 1, 0, width - 1, height);
    place(Line4, 0, height - 1, width - 1, height - 1);
}

void Form1::KillVodSoft(const std::string& SoftName) { 配置信息::KillVodSoft(SoftName); }

bool Form1::KnownMode() const { return sMode == kUpgradeMode || sMode == kCurrentMode; }

void Form1::Image1_MouseDown() {
    SetMousePointer(vbCustom);
    ReleaseCapture();
    SendMessageA(hWnd(), WM_SYSCOMMAND, 0xF012, 0);
}

void Form1::Image1_MouseMove() {
    Image2.SetPicture(Image3.Picture());
    Image5.SetPicture(Image6.Picture());
    Image8.SetPicture(Image9.Picture());
}

void Form1::Image2_MouseMove() {
    Image2.SetPicture(Image4.Picture());
    Image5.SetPicture(Image6.Picture());
}

void Form1::Image5_MouseMove() {
    Image5.SetPicture(Image7.Picture());
    Image2.SetPicture(Image3.Picture());
}

void Form1::Image8_MouseMove() { Image8.SetPicture(Image10.Picture()); }

void Form1::Image2_Click() {
    if (!KnownMode()) return;
    SkipOnError([this] { 托盘气泡::RemoveTrayIcon(*this); });
    SkipOnError([this] { KillVodSoft("update.exe"); });
}

void Form1::Image5_Click() {
    托盘气泡::ShowTrayBalloon(*this, "最小化升级", "我在这里呦！", 1, kBalloonTimeout);
    SetVisible(false);
}

void Form1::Label2_Click() {
    if (oDownload) oDownload->AbortDownloading();
}

void Form1::oDownload_OnProgress(std::int32_t lProgress, std::int32_t lMaxProgress, std::int32_t, std::int32_t,
                                 const std::string&) {
    if (lProgress == 0 || lMaxProgress == 0) return;
    const float percentage = static_cast<float>(lProgress) / static_cast<float>(lMaxProgress) * 100.0f;
    S.SetRedraw(false);
    SkipOnError([&] {
        // The bar's value is a 32-bit integer: a percentage beyond it overflows.
        const auto value = zem::updater::WholeToInt32(zem::updater::RoundToEven(percentage));
        if (!value) throw RuntimeError(errOverflow);
        S.SetValue(*value);
    });
    SkipOnError([&] {
        // "0.00": halves round up, as the rate's two decimals do.
        char text[48];
        std::snprintf(text, sizeof text, "%.2f%%", zem::updater::RoundToTwoDecimals(percentage));
        Label3.SetCaption(text);
    });
    // The caption's repaint waits for the frame too: its area of the form
    // is taken out of what is to be painted, and put back by the paint (so
    // anything else due there is painted then, a frame later at most).
    const RECT& inner = Label3.PixelBounds();
    const int border = BorderPixels();
    const RECT label{inner.left + border, inner.top + border, inner.right + border, inner.bottom + border};
    if (hWnd()) ValidateRect(hWnd(), &label);
    progressPaint_.Request();
}

void Form1::PaintProgress() {
    S.SetRedraw(true);
    InvalidateInner(Label3.PixelBounds());
}
