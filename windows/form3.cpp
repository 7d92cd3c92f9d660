#include "windows/form3.h"

#include "platform/forms/picture.h"
#include "shell/config_info.h"
#include "windows/loadme.h"

using namespace zem::forms;

namespace {

// The system's highlight colour, as an OLE colour.
constexpr COLORREF kHighlightColor = 0x8000000D;

void DesignButton(TextBox& button, float left, std::string text, COLORREF color) {
    button.Move(left, 128, 41, 26);
    button.SetText(std::move(text));
    button.SetForeColor(color);
    button.SetFont(StdFont::Create("微软雅黑", 10.5, 134));
}

// 6000 x 2550 twips, centred on the screen.
FormDesign Form3Design() {
    FormDesign design;
    design.clientWidth = 400;
    design.clientHeight = 170;
    design.borderStyle = 0;
    design.showInTaskbar = false;
    design.startUpPosition = vbStartUpScreen;
    return design;
}

}  // namespace

Form3::Form3() : Form(Form3Design()) {
    SetScaleMode(vbPixels);
    Image1.Move(0, 0);
    Image1.SetPicture(DesignPicture("Form3.Image1"));
    Label1.SetBackStyle(vbTransparent);
    Label1.Move(56, 96, 289, 17);
    Label1.SetCaption("服务器连接失败,请检查你的网络是否连接，请重试！");
    DesignButton(Text1, 88, "重试", 0x0000FF);
    DesignButton(Text2, 144, "关闭", 0x000000);
    for (PictureBox* bar : {&P1, &P2, &P3, &P4}) bar->SetBackColor(kHighlightColor);
    Text1.OnClick = [this] { Text1_Click(); };
    Text2.OnClick = [this] { Text2_Click(); };
}

void Form3::Form_Resize() {
    const float width = ScaleWidth();
    const float height = ScaleHeight();
    P1.Move(0, 0, 2, height);
    P2.Move(0, 0, width, 2);
    P3.Move(width - 2, 0, 2, height);
    P4.Move(0, height - 2, width, 2);
}

void Form3::KillVodSoft(const std::string& SoftName) { 配置信息::KillVodSoft(SoftName); }

void Form3::Text1_Click() {
    // Retry: this window goes first, then the start-up window runs its whole
    // start again (which may show this window anew); failures are skipped.
    SkipOnError([this] { Unload(); });
    SkipOnError([] { FormInstance<loadme>::Get().Show(); });
}

void Form3::Text2_Click() { KillVodSoft("zemplayer.exe"); }
