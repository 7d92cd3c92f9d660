#include "windows/form2.h"

#include <optional>
#include <string>
#include <string_view>

#include "platform/forms/program.h"
#include "platform/network/content_server.h"
#include "player/form1.h"
#include "player/player_exit.h"
#include "shell/config_info.h"
#include "windows/shezhigy.h"
#include "windows/shezhitip.h"
#include "windows/version_check.h"

using namespace zem::forms;

namespace {

// Never shown, with no taskbar entry.
FormDesign Form2Design() {
    FormDesign design;
    design.borderStyle = 0;
    design.showInTaskbar = false;
    return design;
}

// A page of the content server's fixed host, in the desktop's web browser.
void OpenHostPage(std::string_view path) {
    配置信息::OpenInIE(zem::content_server::Join(zem::content_server::FixedHost(), path));
}

}  // namespace

Form2::Form2() : Form(Form2Design()) {
    close.OnClick = [this] { close_Click(); };
    dhhhh.OnClick = [this] { dhhhh_Click(); };
    kkk.OnClick = [this] { kkk_Click(); };
    gtt.OnClick = [this] { gtt_Click(); };
    shouye.OnClick = [this] { shouye_Click(); };
    dddde.OnClick = [this] { dddde_Click(); };
    shnhhy.OnClick = [this] { shnhhy_Click(); };
    display.OnClick = [this] { display_Click(); };
    houtui.OnClick = [this] { houtui_Click(); };
    qianjin.OnClick = [this] { qianjin_Click(); };
    shuaxin.OnClick = [this] { shuaxin_Click(); };
    O.OnClick = [this] { O_Click(); };
}

// The exit, the same as the close button's: a failed save is reported and
// the rest of the exit runs in its order.
void Form2::close_Click() { zem::player::ExitPlayer(FormInstance<Form1>::Get()); }

void Form2::dhhhh_Click() { shengji(); }

void Form2::shengji() {
    const std::optional<std::string> text = Inet1.OpenURL(版本检查::VersionTextAddress());
    const std::optional<std::string> version = text ? 版本检查::ServerVersion(*text) : std::nullopt;
    // No version text (no answer, or a text without the marker, such as an
    // error page): the check starts nothing, says nothing and keeps the saved
    // text, as the start does.
    if (!version) return;
    Text2.SetText(*version);
    Text1.SetText(配置信息::ReadConfig("Version", "Version", ""));
    版本检查::SaveVersionText(*text);
    const std::string_view mode =
        版本检查::ServerVersionIsNewer(Text1.Text(), Text2.Text()) ? 版本检查::UpgradeMode : 版本检查::CurrentMode;
    if (!版本检查::UpdaterPresent()) return;
    // An updater that is there but cannot be started leaves the player as it
    // is, as a missing one does, rather than ending it with a run-time error.
    SkipOnError([&] { Shell(版本检查::UpdateCommandLine(Text2.Text(), mode), vbNormalFocus); });
}

void Form2::kkk_Click() { OpenHostPage(zem::content_server::kGuestbookPath); }
void Form2::gtt_Click() { OpenHostPage(zem::content_server::kFeedbackPagePath); }
void Form2::shouye_Click() { OpenHostPage(zem::content_server::kHostHomePagePath); }

// At most one of the about and settings windows is loaded: each item shows
// its window, then unloads the other.
void Form2::dddde_Click() {
    FormInstance<shezhigy>::Get().Show(vbModeless, &FormInstance<Form1>::Get());
    FormInstance<shezhitip>::Unload();
}

void Form2::shnhhy_Click() {
    FormInstance<shezhitip>::Get().Show(vbModeless, &FormInstance<Form1>::Get());
    FormInstance<shezhigy>::Unload();
}

// Only the visibility changes: a window hidden while minimized comes back minimized.
void Form2::display_Click() {
    Form1& main = FormInstance<Form1>::Get();
    main.SetVisible(!main.Visible());
}

// The page menu acts on the library view; a step that fails (going back with
// no history) is skipped.
void Form2::houtui_Click() {
    SkipOnError([] { FormInstance<Form1>::Get().ListWeb.GoBack(); });
}

void Form2::qianjin_Click() {
    SkipOnError([] { FormInstance<Form1>::Get().ListWeb.GoForward(); });
}

void Form2::shuaxin_Click() {
    SkipOnError([] { FormInstance<Form1>::Get().ListWeb.Refresh(); });
}

// The check mark stays from the first use on.
void Form2::O_Click() {
    O.SetChecked(true);
    SkipOnError([] {
        Form1& main = FormInstance<Form1>::Get();
        main.ListWeb.Navigate(zem::content_server::Join(main.dizhi.Caption(), zem::content_server::kHomePagePath));
    });
}
