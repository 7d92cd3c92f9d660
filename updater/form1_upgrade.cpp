// The upgrade of the updater's window: the download with its bar, then the
// installation on success, or the failure balloon.
#include <filesystem>
#include <iostream>

#include "platform/forms/program.h"
#include "platform/system/files.h"
#include "shell/config_info.h"
#include "shell/tray_icon.h"
#include "updater/form1.h"

using namespace zem::forms;

// Every statement of the upgrade skips its own failure and the next one runs.
// The upgrade button stays usable while a download runs, as do the close
// glyph and the tray item: a nested upgrade is refused by the download
// object and takes the failure path, whose unload stops the running transfer.
// Once that transfer is cancelled, the button does nothing until its call has
// unwound: the cancelled upgrade shows the failure itself.
void Form1::Image8_Click() {
    if (oDownload && oDownload->Stopping()) return;
    SkipOnError([this] {
        Label2.SetVisible(true);
        Label3.SetVisible(true);
        S.SetVisible(true);
    });
    bool ok = false;
    SkipOnError([&] {
        const std::string source = PackageSource();
        // A download object released by a nested unload is no download.
        if (oDownload) ok = oDownload->StartDownloading(source, PackageDestination(source));
    });
    // The last report's values are on the screen, whatever comes next.
    progressPaint_.Flush();
    // An empty answer is complete but holds no package: nothing to start.
    if (ok) ok = PackageHoldsBytes();
    if (ok)
        InstallPackage();
    else
        ShowFailure();
}

// The download is complete and in place (a cut transfer never reaches the
// package's name): the player goes, the package starts, the version is
// recorded, and the updater ends itself. The ends are started, not awaited.
// A package that cannot start (a page saved in its place) installed nothing:
// the version stays as it was, so the upgrade is offered again, and the
// failure shows instead.
void Form1::InstallPackage() {
    const std::string package = PackageDestination(PackageSource());
    SkipOnError([this] { KillVodSoft("zemplayer.exe"); });
    const bool started = SkipOnError([&] {
        zem::platform::MarkExecutable(package);
        Shell(package, vbNormalFocus);
    });
    if (!started) {
        ShowFailure();
        return;
    }
    SkipOnError([this] { RecordVersion(); });
    SkipOnError([this] { 托盘气泡::RemoveTrayIcon(*this); });
    SkipOnError([this] { KillVodSoft("update.exe"); });
}

// The installation goes on without the record, but the player would offer
// the same upgrade at every start: the user is told where it failed.
void Form1::RecordVersion() {
    if (配置信息::WriteConfig("Version", "Version", sVersion)) return;
    std::cerr << "update: the version " << sVersion << " could not be recorded in " << 配置信息::ConfigPath()
              << '\n';
}

bool Form1::PackageHoldsBytes() const {
    std::error_code error;
    const auto size = std::filesystem::file_size(PackageDestination(PackageSource()), error);
    return !error && size > 0;
}

void Form1::ShowFailure() {
    SkipOnError([this] {
        托盘气泡::ShowTrayBalloon(*this, "下载失败", "网络可能处于蜗牛状态，请稍后重试", 1, kBalloonTimeout);
    });
    failed_ = true;
    SkipOnError([this] { Unload(); });
}

// The icon lives on this window, and the balloon with it: so that the balloon
// stays readable, the window of a failed upgrade stays, hidden, until the
// balloon's time is over. Then the icon goes and the updater ends, also when
// its tray menu's window is loaded: no process is left without a window.
void Form1::Form_Unload(int& Cancel) {
    if (oDownload) oDownload->AbortDownloading();
    oDownload.Reset();
    if (failed_) {
        Cancel = 1;
        SetVisible(false);
        BalloonTimer.SetEnabled(false);
        BalloonTimer.SetEnabled(true);
    }
}

void Form1::BalloonTimer_Timer() {
    BalloonTimer.SetEnabled(false);
    SkipOnError([this] { 托盘气泡::RemoveTrayIcon(*this); });
    End();
}
