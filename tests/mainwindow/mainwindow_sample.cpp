// Writes the main window's snapshots: the player view with a play list, the
// library view, and the countdown over the player page, from a program folder
// of its own holding a copy of the built data folder, on a fresh desktop
// driven by real input. The web views show no pages here (the headless engine).
//   mainwindow_sample <data folder> <out folder>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/base/text.h"
#include "platform/drawing/window_painting.h"
#include "platform/forms/form.h"
#include "platform/system/files.h"
#include "platform/system/process.h"
#include "platform/window/test_desktop.h"
#include "platform/window/window_system.h"
#include "player/form1.h"
#include "shell/config_info.h"
#include "windows/player_windows.h"

namespace {

// Ends nothing: the tabs and the list press would end the external players.
class NoProcesses : public zem::platform::ProcessLauncher {
public:
    DWORD Start(std::string_view, int) override { return 1; }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: mainwindow_sample <data folder> <out folder>\n");
        return 2;
    }
    namespace fs = std::filesystem;
    std::string pattern = (fs::temp_directory_path() / "zem-sample-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return 1;
    const fs::path folder = pattern;
    fs::copy(argv[1], folder / "zemskin", fs::copy_options::recursive);
    const fs::path out = argv[2];
    bool written = true;
    {
        zem::platform::ScopedProgramFolder programFolder(folder.string());
        NoProcesses none;
        zem::platform::ScopedProcessLauncher launcher(none);
        setenv("ZEM_HOST", "http://127.0.0.1:9", 1);  // the discard port: the ticker file fails at once
        zem::platform::ReplaceFileAtomically(
            (folder / "zem.ini").string(),
            zem::platform::Utf8ToGbk("[CONFIG]\r\nurl=http://127.0.0.1:9\r\nname=影视播放器\r\n[huangchong]\r\n"
                                     "huangchong=1\r\n[da]\r\nda=15\r\n"));
        zem::platform::ReplaceFileAtomically(
            (folder / "zemskin" / "zemplaylist.xml").string(),
            "<playlist><ul><Class Name=\"电影 远方\"/><li Name=\"正片\" URL=\"u\"/></ul>"
            "<ul><Class Name=\"电视剧 城市之光\"/><li Name=\"第01集\" URL=\"u1\"/><li Name=\"第02集\" URL=\"u2\"/>"
            "<li Name=\"第03集\" URL=\"u3\"/><li Name=\"第04集\" URL=\"u4\"/></ul></playlist>");
        配置信息::WriteConfig("Version", "Version", "1.2");

        zem::platform::TestDesktop desktop;
        RegisterPlayerWindows();
        Form1& main = zem::forms::FormInstance<Form1>::Get();
        main.Show();
        zem::platform::ProcessPendingMessages();
        const RECT place = zem::platform::WindowScreenRect(main.hWnd());
        const RECT list = zem::platform::WindowScreenRect(main.SFPlayList1.hWnd());
        zem::platform::MovePointer(list.left + 60, list.top + 28 * 3 + 14);  // hover the second episode
        zem::platform::MovePointer(place.right - 45, place.top + 50);         // and the maximize button
        written = written && zem::platform::WriteWindowSnapshot(main.hWnd(), (out / "mainwindow-player.png").string());

        main.广告倒计时();
        desktop.clock().Advance(3000);
        zem::platform::ProcessPendingMessages();
        written = written && zem::platform::WriteWindowSnapshot(main.hWnd(), (out / "mainwindow-countdown.png").string());

        desktop.clock().Advance(1000);
        zem::platform::Click(zem::platform::MouseButton::Left, place.left + 550, place.top + 50);  // the library tab
        zem::platform::MovePointer(place.left + 850, place.top + 10);
        zem::platform::ProcessPendingMessages();
        written = written && zem::platform::WriteWindowSnapshot(main.hWnd(), (out / "mainwindow-library.png").string());
        zem::forms::DiscardAllForms();
    }
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return written ? 0 : 1;
}
