#include "windows/loadme.h"

#include <optional>
#include <string>

#include "platform/forms/msgbox.h"
#include "platform/forms/program.h"
#include "platform/network/content_server.h"
#include "platform/network/wininet.h"
#include "platform/window/user32.h"
#include "player/form1.h"
#include "shell/config_info.h"
#include "windows/form3.h"
#include "windows/version_check.h"

using namespace zem::forms;

namespace {

// 1215 x 1215 twips, at the system's place.
FormDesign LoadmeDesign() {
    FormDesign design;
    design.clientWidth = 81;
    design.clientHeight = 81;
    design.borderStyle = 0;
    design.showInTaskbar = false;
    design.startUpPosition = vbStartUpWindowsDefault;
    return design;
}

}  // namespace

loadme::loadme() : Form(LoadmeDesign()) {
    Text1.SetVisible(false);
    Text2.SetVisible(false);
    nolink.SetInterval(100);
    nolink.SetEnabled(false);
    TmrLoad.SetInterval(300);
    TmrLoad.SetEnabled(false);
    nolink.OnTimer = [this] { nolink_Timer(); };
    TmrLoad.OnTimer = [this] { TmrLoad_Timer(); };
}

void loadme::Form_Load() {
    // One instance only: a second start ends at once, without a word or a window.
    if (App::PrevInstance()) {
        End();
        return;
    }
    // From here on a failing statement is skipped and the load goes on.
    // Fully transparent before the window is first shown.
    const LONG style = GetWindowLongA(hWnd(), GWL_EXSTYLE);
    SetWindowLongA(hWnd(), GWL_EXSTYLE, static_cast<LONG>(static_cast<DWORD>(style) | WS_EX_LAYERED));
    SetLayeredWindowAttributes(hWnd(), 0xFFFFFF, 0, LWA_ALPHA);
    const std::string probe = zem::content_server::ProbeAddress();
    if (InternetCheckConnectionA(probe.c_str(), FLAG_ICC_FORCE_CONNECTION, 0) == 0) {
        SkipOnError([] { FormInstance<Form3>::Get().Show(); });
        SkipOnError([this] { Unload(); });
        return;
    }
    // Both count from here: the fetch (100 ms) holds the thread, so the
    // check (300 ms) always runs after it and sees the saved "/zem.ini".
    nolink.SetEnabled(true);
    TmrLoad.SetEnabled(true);
}

void loadme::nolink_Timer() {
    nolink.SetEnabled(false);
    const std::optional<std::string> text = Inet1.OpenURL(版本检查::VersionTextAddress());
    const std::optional<std::string> version = text ? 版本检查::ServerVersion(*text) : std::nullopt;
    // Without a version text (no answer, or a text without the marker, such
    // as an error page) there is no server version, so the check asks
    // nothing and opens the main window, and the "/zem.ini" of the last good
    // start stays for it rather than being replaced by what is not one.
    Text2.SetText(version.value_or(""));
    Text1.SetText(配置信息::ReadConfig("Version", "Version", ""));
    // A file that cannot be written leaves the earlier one whole; the main
    // window then reads that one.
    if (version) 版本检查::SaveVersionText(*text);
}

void loadme::TmrLoad_Timer() {
    TmrLoad.SetEnabled(false);
    if (版本检查::ServerVersionIsNewer(Text1.Text(), Text2.Text())) {
        const int answer =
            MsgBox("是否立即升级新版本" "新版版本号：" + Text2.Text(), vbYesNo | vbInformation, "检测到更新");
        if (answer == vbYes && StartUpdater()) {
            End();
            return;
        }
    }
    FormInstance<Form1>::Get().Show();
    SetVisible(false);
}

// Starts the updater when it is there. A missing updater, or one that cannot
// be started, leaves the player to open its main window: the user keeps a
// working player instead of a start that silently stops (or a run-time error).
bool loadme::StartUpdater() {
    if (!版本检查::UpdaterPresent()) return false;
    return SkipOnError(
        [this] { Shell(版本检查::UpdateCommandLine(Text2.Text(), 版本检查::UpgradeMode), vbNormalFocus); });
}
