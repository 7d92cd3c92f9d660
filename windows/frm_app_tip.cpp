#include "windows/frm_app_tip.h"

using namespace zem::forms;

namespace {

// 5340 x 495 twips in the middle of the screen, out of the taskbar.
FormDesign FrmAppTipDesign() {
    FormDesign design;
    design.clientWidth = 356;
    design.clientHeight = 33;
    design.borderStyle = 0;
    design.showInTaskbar = false;
    design.startUpPosition = vbStartUpScreen;
    return design;
}

}  // namespace

FrmAppTip::FrmAppTip() : Form(FrmAppTipDesign()) {
    SetBackColor(0x808080);
    Label1.SetBackStyle(vbTransparent);
    Label1.Move(120, 80, 5055, 375);
    Label1.SetAlignment(vbCenter);
    Label1.SetForeColor(0xFFFFFF);
    Label1.SetFont(StdFont::Create("微软雅黑", 12, 134));
    // Running from the moment the strip is made; its callers switch it on again.
    Timer1.SetInterval(3000);
    Timer1.OnTimer = [this] { Timer1_Timer(); };
}

void FrmAppTip::Timer1_Timer() {
    SetVisible(false);
    Timer1.SetEnabled(false);
}
