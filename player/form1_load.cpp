// Form1's load: skin, play list, the local loading page, the three window
// hooks, the published values, the ticker file, the installed version, the
// [form] switches and the start view; and the close from outside.
#include <cmath>
#include <cstring>
#include <string>

#include "platform/base/text.h"
#include "platform/forms/program.h"
#include "platform/network/content_server.h"
#include "platform/network/urlmon.h"
#include "platform/system/files.h"
#include "platform/system/profile.h"
#include "platform/webview/web_view.h"
#include "player/form1.h"
#include "player/skin_loader.h"
#include "shell/config_info.h"
#include "shell/max_size.h"
#include "shell/taskbar_menu.h"
#include "shell/tray_icon.h"

using namespace zem::forms;

namespace {

// One value of "/zem.ini": the text before the first NUL of a 256-byte
// buffer, so at most 255 bytes (a character cut in two there is dropped).
std::string PublishedValue(const char* section, const char* key, const std::string& path) {
    char buffer[256] = {};
    GetPrivateProfileStringA(section, key, "", buffer, sizeof buffer, path.c_str());
    return zem::platform::GbkToUtf8(std::string_view(buffer, strnlen(buffer, sizeof buffer)));
}

}  // namespace

void Form1::Form_Load() {
    namespace server = zem::content_server;
    using zem::platform::ProgramPath;

    // 1. The skin; this also arms the start pages (T4).
    皮肤加载::LoadSkinImages();
    // 2. The saved play list.
    LoadPlayList(ProgramPath("\\zemskin\\zemplaylist.xml"));
    // 3. The local loading page until the start pages come.
    const std::string loading = ProgramPath("\\zemskin\\html\\Loading.html");
    ListWeb.SetSilent(true);
    ListWeb.Navigate(loading);
    PlayWeb.SetSilent(true);
    PlayWeb.Navigate(loading);
    W2.Navigate(loading);
    // 4. The first hook: the maximized window keeps off the taskbar.
    const LONG maxWidth = std::lround(Screen::Width() / TwipsPerPixel);
    const LONG maxHeight = std::lround((Screen::Height() - 无边框窗体最大化::GetTaskbarHeight()) / TwipsPerPixel);
    无边框窗体最大化::SetMaxSize(hWnd(), 0, 0, maxWidth, maxHeight);
    // 5. The second hook: the tray icon and its callback.
    托盘气泡::AddTrayIcon(*this, Caption(), "欢迎使用", 1, 10000);
    // 6. The values the server published.
    ReadPublishedValues();
    // The icon was added before the caption was known; its tooltip takes the
    // caption now, so the tray names the player like the taskbar does.
    if (!Caption().empty()) 托盘气泡::AddTrayIcon(*this, Caption(), "欢迎使用", 1, 10000);
    // 7. The third hook: the taskbar button's menu.
    状态栏::EnableTaskbarMenu(hWnd());
    // 8. The ticker file; a failed download leaves an earlier copy in use.
    const std::string tickerUrl = server::Join(server::FixedHost(), server::kTickerFilePath);
    URLDownloadToFileA(nullptr, tickerUrl.c_str(), ProgramPath("\\link.txt").c_str(), 0, nullptr);
    // 9. The ticker.
    gun.SetEnabled(true);
    // 10. The installed version.
    Label1.SetCaption("当前版本号：" + 配置信息::ReadConfig("Version", "Version", ""));
    // 11. The [form] switches.
    ReadFormSwitches();
    // 12. The start view, with its tabs drawn.
    if (zem::platform::TextToBoolean(cfgShipinku).value_or(false)) {
        Picture1.SetVisible(true);
        PaintTab(0, 0);
        PaintTab(1, 214);
    } else {
        Picture1.SetVisible(false);
        PaintTab(0, 214);
        PaintTab(1, 0);
    }
    // 13. The bottom bar's toggle shows its first look.
    Picture8.SetPicture(Image20.Picture());
}

void Form1::ReadPublishedValues() {
    const std::string path = zem::platform::ProgramPath("/zem.ini");
    // Every view opens addresses built on the base address: one that is not
    // an http or https address is no base address at all.
    const std::string base = PublishedValue("CONFIG", "url", path);
    dizhi.SetCaption(zem::platform::webview::IsWebAddress(base) ? base : "");
    SetCaption(PublishedValue("CONFIG", "name", path));
    huangchong.SetCaption(PublishedValue("huangchong", "huangchong", path));
    da.SetCaption(PublishedValue("da", "da", path));
}

void Form1::ReadFormSwitches() {
    cfgForm = 配置信息::ReadConfig("form", "form", "");
    cfgRun = 配置信息::ReadConfig("form", "run", "");
    cfgRenwulan = 配置信息::ReadConfig("form", "renwulan", "");
    cfgShipinku = 配置信息::ReadConfig("form", "shipinku", "");
}

// The window is never unloaded: a close from the window manager or the
// taskbar has already hidden it (the taskbar-menu hook), and the player stays
// reachable from its tray icon. The player ends by ending its own process.
void Form1::Form_Unload(int& Cancel) { Cancel = 1; }
