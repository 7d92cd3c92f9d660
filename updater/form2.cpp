#include "updater/form2.h"

#include "shell/config_info.h"

using namespace zem::forms;

namespace {

// Never shown, with no taskbar entry.
FormDesign Form2Design() {
    FormDesign design;
    design.borderStyle = 0;
    design.showInTaskbar = false;
    return design;
}

}  // namespace

Form2::Form2() : Form(Form2Design()) { zzz.OnClick = [this] { zzz_Click(); }; }

void Form2::KillVodSoft(const std::string& SoftName) { 配置信息::KillVodSoft(SoftName); }

void Form2::zzz_Click() { KillVodSoft("update.exe"); }
