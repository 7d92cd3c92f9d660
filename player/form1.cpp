#include "player/form1.h"

using namespace zem::forms;

namespace {

// No design caption (the load sets it from the published settings); 16005 x 9975 twips.
FormDesign Form1Design() {
    FormDesign design;
    design.caption = "";
    design.clientWidth = 1067;
    design.clientHeight = 665;
    design.borderStyle = 0;
    design.showInTaskbar = true;
    design.startUpPosition = vbStartUpScreen;
    return design;
}

}  // namespace

Form1::Form1() : Form(Form1Design()) {
    SetScaleMode(vbPixels);
    SetBackColor(0x1F1F1F);
    SetForeColor(0xFFFFFF);
}
