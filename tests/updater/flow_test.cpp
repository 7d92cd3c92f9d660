// The updater's window and upgrade against a sample server: its start in each
// mode, the upgrade's order, a transfer without a length, cancel, a nested
// upgrade, failing servers, minimize and the tray.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <poll.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <tuple>

#include "platform/drawing/picture.h"
#include "platform/drawing/window_painting.h"
#include "platform/network/urlmon.h"
#include "platform/window/user32.h"
#include "tests/network/scripted_server.h"
#include "tests/support/event_wait.h"
#include "tests/updater/updater_fixture.h"

namespace zem::updater_testing {
namespace {

using forms::FormInstance;

constexpr int kPackageSize = 600 * 1024;

std::string PackageBytes(std::size_t size) {
    std::string bytes = "#!/bin/sh\n";
    bytes.resize(size, '#');
    return bytes;
}

class UpdaterFlow : public UpdaterFixture {
protected:
    // What the user sees after each progress report.
    struct Seen {
        int bar;
        std::string percentage;
    };
    void WatchProgress(Form1& form) {
        form.oDownload->OnProgressEvent = [this, &form](std::int32_t progress, std::int32_t maximum,
                                                        std::int32_t speed, std::int32_t status,
                                                        const std::string& text) {
            form.oDownload_OnProgress(progress, maximum, speed, status, text);
            seen.push_back({form.S.Value(), form.Label3.Caption()});
        };
    }
    void ExpectFailureShown(const Form1& form) {
        const auto icon = Icon(form);
        ASSERT_TRUE(icon.has_value());
        ASSERT_TRUE(icon->balloon.has_value());
        EXPECT_EQ(icon->balloon->title, "下载失败");
        EXPECT_EQ(icon->balloon->text, "网络可能处于蜗牛状态，请稍后重试");
        EXPECT_EQ(icon->balloon->flags, 1u);
        EXPECT_EQ(icon->balloon->timeout, 10000u);
        EXPECT_FALSE(form.Visible());
        EXPECT_EQ(form.oDownload.Get(), nullptr);  // the unload released it
        EXPECT_TRUE(Started().empty());
        EXPECT_EQ(InstalledVersion(), "1.2");
        EXPECT_FALSE(std::filesystem::exists(PackagePath()));
    }
    // A peer as the fixed host that sends the head and the first 1000 of
    // 1000000 bytes, then nothing.
    void ServeStalledPackage() {
        stalled.emplace([](testing::ScriptedConnection& connection) {
            if (connection.Send("HTTP/1.1 200 OK\r\nContent-Length: 1000000\r\n\r\n" + PackageBytes(1000)))
                connection.WaitForClose(60000);
        });
        host.emplace("ZEM_HOST", stalled->Address());
    }
    // Where the bar's fill ends on the screen: its first column that shows
    // the empty track (the right border when the bar is full).
    static int DrawnFillEnd(const Form1& form) {
        const auto skin = platform::LoadResPicture(101);
        const platform::Bitmap* surface = platform::WindowSurface(form.S.hWnd());
        if (surface == nullptr) return -1;
        for (int x = 0; x + 1 < surface->Width(); ++x) {
            bool track = true;
            for (int y = 0; y < 10 && track; ++y) track = surface->At(x, y) == skin->Pixels().At(8, y);
            if (track) return x;
        }
        return surface->Width() - 1;
    }
    // The pixels of the percentage's place on the form's screen.
    static std::vector<platform::Pixel> PercentagePixels(const Form1& form) {
        const platform::Bitmap* surface = platform::WindowSurface(form.hWnd());
        std::vector<platform::Pixel> pixels;
        const RECT& place = form.Label3.PixelBounds();
        for (LONG y = place.top; surface != nullptr && y < place.bottom; ++y)
            for (LONG x = place.left; x < place.right; ++x) pixels.push_back(surface->At(x, y));
        return pixels;
    }
    std::vector<Seen> seen;
    std::optional<testing::ScriptedServer> stalled;
};

TEST_F(UpdaterFlow, WithoutAUsableArgumentOrBesideAnotherUpdaterItEndsAtOnce) {
    for (const std::string argument : {"", "1.3", "1.3##shengji##"}) {
        EXPECT_EQ(Start(argument), nullptr) << argument;
        EXPECT_TRUE(forms::Ended()) << argument;
        EXPECT_TRUE(forms::LoadedForms().empty()) << argument;
        forms::ResetProgramState();
    }
    platform::ScopedPreviousInstance another{true};
    EXPECT_EQ(Start("1.3###shengji###"), nullptr);
    EXPECT_TRUE(platform::TrayIcons().empty());
    EXPECT_TRUE(Started().empty());
}

TEST_F(UpdaterFlow, EachModeShowsItsTextIconAndButton) {
    struct Case {
        std::string argument;
        std::string offer, current;  // visible label's caption, "" when hidden
        std::optional<std::string> tip;
        bool upgradeEnabled;
    } cases[] = {
        {"1.3###shengji###", "检测到当前最新版为：1.3版，是否立即升级", "", "在线升级", true},
        {"1.3###wu###", "", "您当前使用的已经是最新版，版本1.3，无需升级", std::nullopt, false},
        {"1.3###test###", "", "", std::nullopt, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.argument);
        Form1* form = Start(c.argument);
        ASSERT_NE(form, nullptr);
        EXPECT_TRUE(form->Visible());
        EXPECT_EQ(form->sVersion, "1.3");
        EXPECT_EQ(form->Label1.Visible() ? form->Label1.Caption() : "", c.offer);
        EXPECT_EQ(form->Label4.Visible() ? form->Label4.Caption() : "", c.current);
        EXPECT_FALSE(form->S.Visible() || form->Label2.Visible() || form->Label3.Visible());
        EXPECT_EQ(form->Image8.Enabled(), c.upgradeEnabled);
        const auto icon = Icon(*form);
        EXPECT_EQ(icon ? std::optional<std::string>(icon->tip) : std::nullopt, c.tip);
        // 550 x 401, centred.
        const RECT place = platform::WindowScreenRect(form->hWnd());
        EXPECT_EQ(place.right - place.left, 550);
        EXPECT_EQ(place.bottom - place.top, 401);
        EXPECT_TRUE(GetWindowLongA(form->hWnd(), GWL_STYLE) & WS_SYSMENU);
        // The close glyph ends the updater in both known modes, its icon gone first.
        ClickAt(*form, 528 + 4, 8 + 4);
        const bool known = c.argument != "1.3###test###";
        EXPECT_EQ(Started(), known ? std::vector<std::string>{kEndUpdater} : std::vector<std::string>{});
        EXPECT_FALSE(Icon(*form).has_value());
        launcher.started.clear();
        forms::DiscardAllForms();
        托盘气泡::ResetModuleState();
    }
}

TEST_F(UpdaterFlow, TheWindowHasItsFrameLinesAndOnlyItsTopCornersRounded) {
    Form1* form = Start("1.3###shengji###");
    ASSERT_NE(form, nullptr);
    const auto region = platform::WindowRegion(form->hWnd());
    ASSERT_TRUE(region);
    EXPECT_FALSE(region->Contains(0, 0));
    EXPECT_FALSE(region->Contains(549, 0));
    EXPECT_TRUE(region->Contains(0, 400));
    EXPECT_TRUE(region->Contains(549, 400));
    platform::ProcessPendingMessages();
    const platform::Bitmap* surface = platform::WindowSurface(form->hWnd());
    ASSERT_NE(surface, nullptr);
    const platform::Pixel frame = platform::PixelFromColor(0xC0C0C0);
    for (const POINT point : {POINT{275, 0}, POINT{0, 200}, POINT{549, 200}, POINT{275, 400}, POINT{549, 400}})
        EXPECT_EQ(surface->At(point.x, point.y), frame) << point.x << "," << point.y;
    for (const POINT point : {POINT{275, 1}, POINT{1, 200}, POINT{548, 200}, POINT{275, 399}})
        EXPECT_NE(surface->At(point.x, point.y), frame) << point.x << "," << point.y;
}

TEST_F(UpdaterFlow, TheGlyphsAndButtonShowTheirHoverLooksAndTheBackgroundDragsTheWindow) {
    Form1* form = Start("1.3###shengji###");
    ASSERT_NE(form, nullptr);
    const RECT place = platform::WindowScreenRect(form->hWnd());
    auto moveTo = [&](int x, int y) { platform::MovePointer(place.left + x, place.top + y); };
    auto looks = [&] {
        return std::vector<bool>{form->Image2.Picture() == form->Image4.Picture(),
                                 form->Image5.Picture() == form->Image7.Picture(),
                                 form->Image8.Picture() == form->Image10.Picture()};
    };
    moveTo(516, 12);  // the minimize glyph
    EXPECT_EQ(looks(), (std::vector<bool>{false, true, false}));
    moveTo(532, 12);  // the close glyph
    EXPECT_EQ(looks(), (std::vector<bool>{true, false, false}));
    moveTo(266, 368);  // the upgrade button
    EXPECT_EQ(looks(), (std::vector<bool>{true, false, true}));
    moveTo(100, 100);  // the background puts all three back
    EXPECT_EQ(looks(), (std::vector<bool>{false, false, false}));
    EXPECT_EQ(form->Image2.Picture(), form->Image3.Picture());

    // A press on the background moves the window with the pointer until the release.
    for (const auto& [kind, x, y] : {std::tuple{platform::InputEvent::Kind::Press, 100, 100},
                                     std::tuple{platform::InputEvent::Kind::Move, 130, 120},
                                     std::tuple{platform::InputEvent::Kind::Release, 150, 140}}) {
        platform::InputEvent event;
        event.kind = kind;
        event.position = POINT{place.left + x, place.top + y};
        platform::QueueInput(event);
    }
    platform::ProcessPendingMessages();
    const RECT moved = platform::WindowScreenRect(form->hWnd());
    EXPECT_EQ(moved.left - place.left, 50);
    EXPECT_EQ(moved.top - place.top, 40);
    EXPECT_EQ(form->MousePointer(), forms::vbCustom);
}

TEST_F(UpdaterFlow, UpgradeAdvancesTheBarThenEndsThePlayerStartsThePackageAndRecordsTheVersion) {
    Publish(PackageBytes(kPackageSize));
    配置信息::WriteConfig("Version", "Version", "1.2");
    ServeContent();
    Form1* form = Start("1.4###shengji###");
    ASSERT_NE(form, nullptr);
    WatchProgress(*form);
    // What holds when each process start is asked for.
    std::vector<std::string> order;
    launcher.onStart = [&](const std::string& line) {
        const bool executable =
            (std::filesystem::status(PackagePath()).permissions() & std::filesystem::perms::owner_exec) !=
            std::filesystem::perms::none;
        order.push_back(line + " | version " + InstalledVersion() + (Icon(*form) ? " | icon" : "") +
                        (executable ? " | executable" : ""));
    };
    ClickUpgrade(*form);

    const std::string package = PackagePath();
    EXPECT_EQ(order, (std::vector<std::string>{
                         kEndPlayer + " | version 1.2 | icon",
                         package + " | version 1.2 | icon | executable",
                         kEndUpdater + " | version 1.4 | executable",
                     }));
    EXPECT_EQ(launcher.started.at(1).second, forms::vbNormalFocus);
    std::error_code error;
    EXPECT_EQ(platform::ReadFileBytes(package, error).value_or(""), PackageBytes(kPackageSize));
    EXPECT_TRUE(form->S.Visible() && form->Label2.Visible() && form->Label3.Visible());
    ASSERT_GE(seen.size(), 2u);
    for (std::size_t index = 1; index < seen.size(); ++index) EXPECT_GE(seen[index].bar, seen[index - 1].bar);
    EXPECT_EQ(seen.back().bar, 100);
    EXPECT_EQ(seen.back().percentage, "100.00%");
    // The clock stood still: every report after the first fell in one frame,
    // and the last one's values are on the screen all the same.
    EXPECT_EQ(DrawnFillEnd(*form), 296);
}

// The sample server's own package, saved into a folder whose name holds a
// blank and CJK characters, is started for real (only it: the ends of
// processes stay recorded) and leaves its mark beside itself.
TEST_F(UpdaterFlow, TheSamplePackageRunsFromTheProgramFolder) {
    server.emplace(site::ServerOptions{});
    ASSERT_TRUE(server->Start());
    host.emplace("ZEM_HOST", server->Address());
    pid_t package = 0;
    launcher.onStart = [&](const std::string& line) {
        if (line == PackagePath()) package = static_cast<pid_t>(platform::NativeProcessLauncher().Start(line, 1));
    };
    Form1* form = Start("1.4###shengji###");
    ASSERT_NE(form, nullptr);
    ClickUpgrade(*form);
    ASSERT_GT(package, 0);
    // The launcher reaps its children itself: wait for the end through a
    // process descriptor (none when the package has already ended).
    const int descriptor = static_cast<int>(syscall(SYS_pidfd_open, package, 0));
    if (descriptor >= 0) {
        pollfd ended{descriptor, POLLIN, 0};
        EXPECT_EQ(poll(&ended, 1, zem::testing::kEventWaitMilliseconds), 1);
        close(descriptor);
    }
    EXPECT_EQ(folder.Read("zemdate-ran.txt"), "zemdate: the sample package ran\n");
    EXPECT_EQ(InstalledVersion(), "1.4");
}

TEST_F(UpdaterFlow, WithoutALengthTheBarStaysAndTheUpgradeCompletes) {
    配置信息::WriteConfig("Version", "Version", "1.2");
    ServeTestRoute("/_test/bytes?count=300000&length=0&chunk=60000");
    Form1* form = Start("1.4###shengji###");
    ASSERT_NE(form, nullptr);
    WatchProgress(*form);
    ClickUpgrade(*form);
    ASSERT_FALSE(seen.empty());
    for (const Seen& each : seen) {
        EXPECT_EQ(each.bar, 0);
        EXPECT_EQ(each.percentage, "");
    }
    EXPECT_EQ(Started(), (std::vector<std::string>{kEndPlayer, PackagePath(), kEndUpdater}));
    EXPECT_EQ(InstalledVersion(), "1.4");
}

TEST_F(UpdaterFlow, CancelDuringTheTransferShowsTheFailureAndEndsAfterTheBalloon) {
    配置信息::WriteConfig("Version", "Version", "1.2");
    ServeTestRoute("/_test/bytes?count=8000000&chunk=4096");
    Form1* form = Start("1.4###shengji###");
    ASSERT_NE(form, nullptr);
    WatchProgress(*form);
    desktop.clock().Advance(2000);
    QueueClickAt(*form, 216 + 50, 352 + 16);  // upgrade
    QueueClickAt(*form, 344 + 10, 368 + 8);   // "取消", read inside the transfer
    platform::ProcessPendingMessages();
    ExpectFailureShown(*form);
    EXPECT_FALSE(seen.empty());
    EXPECT_FALSE(forms::Ended());
    // A left click on the icon meanwhile leaves the window hidden: its download is gone.
    ASSERT_TRUE(platform::ClickTrayIcon(form->hWnd(), 0, platform::MouseButton::Left));
    EXPECT_FALSE(form->Visible());

    // The balloon's time over, the icon goes and the updater ends.
    desktop.clock().Advance(9999);
    EXPECT_TRUE(Icon(*form).has_value());
    desktop.clock().Advance(1);
    EXPECT_FALSE(Icon(*form).has_value());
    EXPECT_TRUE(forms::Ended());
    EXPECT_TRUE(Started().empty());
}

TEST_F(UpdaterFlow, ANestedUpgradeIsRefusedAndItsUnloadFailsTheFirstToo) {
    配置信息::WriteConfig("Version", "Version", "1.2");
    ServeTestRoute("/_test/bytes?count=8000000&chunk=4096");
    Form1* form = Start("1.4###shengji###");
    ASSERT_NE(form, nullptr);
    desktop.clock().Advance(2000);
    QueueClickAt(*form, 216 + 50, 352 + 16);
    QueueClickAt(*form, 216 + 90, 352 + 16);  // away from the first: no double click
    platform::ProcessPendingMessages();
    ExpectFailureShown(*form);
}

TEST_F(UpdaterFlow, AFailingServerShowsTheFailureAndStartsNothing) {
    const struct Case {
        const char* name;
        std::string route;  // "" for the content folder
        std::optional<std::string> package;
    } cases[] = {
        {"HTTP error", "/_test/status?code=500", std::nullopt},
        {"no package", "", std::nullopt},
        {"cut in the middle", "/_test/bytes?count=400000&cut=200000&chunk=50000", std::nullopt},
        {"empty answer", "", std::string()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(content.Path() / "vant" / "app" / "zemdate.exe");
        if (c.package) Publish(*c.package);
        std::filesystem::remove(PackagePath());
        配置信息::WriteConfig("Version", "Version", "1.2");
        if (c.route.empty())
            ServeContent();
        else
            ServeTestRoute(c.route);
        Form1* form = Start("1.4###shengji###");
        ASSERT_NE(form, nullptr);
        ClickUpgrade(*form);
        const auto icon = Icon(*form);
        ASSERT_TRUE(icon && icon->balloon);
        EXPECT_EQ(icon->balloon->title, "下载失败");
        EXPECT_TRUE(Started().empty());
        EXPECT_EQ(InstalledVersion(), "1.2");
        if (!c.package) {
            EXPECT_FALSE(std::filesystem::exists(PackagePath()));
        }
        forms::DiscardAllForms();
        forms::ResetProgramState();
        托盘气泡::ResetModuleState();
    }
}

TEST_F(UpdaterFlow, APackageLargerThanAnnouncedIsNeverStarted) {
    配置信息::WriteConfig("Version", "Version", "1.2");
    testing::ScriptedServer peer([](testing::ScriptedConnection& connection) {
        connection.Send("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n" + PackageBytes(2000));
    });
    host.emplace("ZEM_HOST", peer.Address());
    Form1* form = Start("1.4###shengji###");
    ASSERT_NE(form, nullptr);
    ClickUpgrade(*form);
    ExpectFailureShown(*form);
}

// A server that sends the head and a little, then nothing: the window still
// reads its input while the transfer waits, so cancel ends it at once.
TEST_F(UpdaterFlow, CancelStopsATransferThatStalls) {
    配置信息::WriteConfig("Version", "Version", "1.2");
    ServeStalledPackage();
    Form1* form = Start("1.4###shengji###");
    ASSERT_NE(form, nullptr);
    // The cancel comes with the third report that brings nothing new.
    int idleReports = 0;
    std::chrono::steady_clock::time_point cancelled;
    form->oDownload->OnProgressEvent = [&](std::int32_t progress, std::int32_t maximum, std::int32_t, std::int32_t,
                                           const std::string&) {
        if (progress == 1000 && maximum == 1000000 && ++idleReports == 3) {
            QueueClickAt(*form, 344 + 10, 368 + 8);
            cancelled = std::chrono::steady_clock::now();
        }
    };
    desktop.clock().Advance(2000);
    QueueClickAt(*form, 216 + 50, 352 + 16);
    platform::ProcessPendingMessages();
    const auto afterCancel = std::chrono::steady_clock::now() - cancelled;
    EXPECT_GE(idleReports, 3);
    EXPECT_LT(afterCancel, std::chrono::milliseconds(100));
    ExpectFailureShown(*form);
}

// A download object that counts the transfers it is given.
class CountingDownload : public CFileDownload {
public:
    HRESULT OnStartBinding(DWORD reserved, IBinding* binding) override {
        ++transfers;
        return CFileDownload::OnStartBinding(reserved, binding);
    }
    int transfers = 0;
};

// Cancel and upgrade read in one batch while a server stalls: the cancelled
// transfer unwinds with the failure, and the second click starts nothing.
TEST_F(UpdaterFlow, CancelAndUpgradeInOneBatchStartExactlyOneTransfer) {
    配置信息::WriteConfig("Version", "Version", "1.2");
    ServeStalledPackage();
    Form1* form = Start("1.4###shengji###");
    ASSERT_NE(form, nullptr);
    const auto counting = platform::MakeCom<CountingDownload>();
    form->oDownload = platform::ComRef<CFileDownload>::Share(counting.Get());
    int idleReports = 0;
    counting->OnProgressEvent = [&](std::int32_t progress, std::int32_t, std::int32_t, std::int32_t,
                                    const std::string&) {
        if (progress == 1000 && ++idleReports == 3) {
            QueueClickAt(*form, 344 + 10, 368 + 8);   // "取消"
            QueueClickAt(*form, 216 + 90, 352 + 16);  // upgrade
        }
    };
    desktop.clock().Advance(2000);
    QueueClickAt(*form, 216 + 50, 352 + 16);
    platform::ProcessPendingMessages();
    EXPECT_EQ(counting->transfers, 1);
    EXPECT_FALSE(counting->Downloading() || counting->Stopping());
    ExpectFailureShown(*form);
}

// A page saved in the package's place cannot start: the player has been
// ended, but the version stays, so the upgrade is offered again, and the
// failure shows instead of the updater ending.
TEST_F(UpdaterFlow, APackageThatCannotStartRecordsNoVersionAndShowsTheFailure) {
    Publish("<html><body>Service unavailable</body></html>\n");
    配置信息::WriteConfig("Version", "Version", "1.2");
    ServeContent();
    launcher.onStart = [&](const std::string& line) {
        if (line == PackagePath()) platform::NativeProcessLauncher().Start(line, forms::vbNormalFocus);
    };
    Form1* form = Start("1.4###shengji###");
    ASSERT_NE(form, nullptr);
    ClickUpgrade(*form);
    EXPECT_EQ(Started(), (std::vector<std::string>{kEndPlayer, PackagePath()}));
    EXPECT_EQ(InstalledVersion(), "1.2");
    const auto icon = Icon(*form);
    ASSERT_TRUE(icon && icon->balloon);
    EXPECT_EQ(icon->balloon->title, "下载失败");
    EXPECT_FALSE(form->Visible());
    desktop.clock().Advance(kBalloonTimeout);
    EXPECT_TRUE(forms::Ended());
    EXPECT_FALSE(Icon(*form).has_value());
}

// A settings file that cannot take the version (a folder, a pipe, a
// read-only file) leaves the upgrade to be offered again at every start: the
// installation goes on, and standard error names the version and the file.
TEST_F(UpdaterFlow, AVersionThatCannotBeRecordedIsSaidWithThePath) {
    Publish(PackageBytes(kPackageSize));
    ServeContent();
    const std::filesystem::path config = folder.Path() / "zemskin" / "Config.ini";
    const struct Case {
        const char* name;
        std::function<void()> make;
    } cases[] = {
        {"a folder", [&] { std::filesystem::create_directory(config); }},
        {"a pipe", [&] { ASSERT_EQ(mkfifo(config.c_str(), 0644), 0); }},
        {"a read-only file",
         [&] {
             配置信息::WriteConfig("Version", "Version", "1.2");
             std::filesystem::permissions(config, std::filesystem::perms::owner_read);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.make();
        Form1* form = Start("1.4###shengji###");
        ASSERT_NE(form, nullptr);
        ::testing::internal::CaptureStderr();
        ClickUpgrade(*form);
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(said, "update: the version 1.4 could not be recorded in " + 配置信息::ConfigPath() + "\n");
        EXPECT_EQ(Started(), (std::vector<std::string>{kEndPlayer, PackagePath(), kEndUpdater}));
        EXPECT_NE(InstalledVersion(), "1.4");
        launcher.started.clear();
        forms::DiscardAllForms();
        forms::ResetProgramState();
        forms::SetEndAction([] { forms::UnloadAllFormsSilently(); });
        托盘气泡::ResetModuleState();
        std::error_code ignored;
        std::filesystem::remove_all(config, ignored);
    }
    // A settings file that takes the version says nothing.
    Form1* form = Start("1.4###shengji###");
    ASSERT_NE(form, nullptr);
    ::testing::internal::CaptureStderr();
    ClickUpgrade(*form);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(InstalledVersion(), "1.4");
}

TEST_F(UpdaterFlow, MinimizeShowsItsBalloonAndTheTrayBringsTheWindowBack) {
    for (const std::string argument : {"1.3###wu###", "1.3###shengji###"}) {
        SCOPED_TRACE(argument);
        Form1* form = Start(argument);
        ASSERT_NE(form, nullptr);
        ClickAt(*form, 512 + 4, 8 + 4);
        const auto icon = Icon(*form);
        ASSERT_TRUE(icon.has_value());
        EXPECT_EQ(icon->tip, "最小化升级");
        ASSERT_TRUE(icon->balloon.has_value());
        EXPECT_EQ(icon->balloon->title, "最小化升级");
        EXPECT_EQ(icon->balloon->text, "我在这里呦！");
        EXPECT_FALSE(form->Visible());
        ASSERT_TRUE(platform::ClickTrayIcon(form->hWnd(), 0, platform::MouseButton::Left));
        EXPECT_TRUE(form->Visible());
        platform::ClickTrayIcon(form->hWnd(), 0, platform::MouseButton::Left);
        EXPECT_FALSE(form->Visible());
        forms::DiscardAllForms();
        托盘气泡::ResetModuleState();
    }
}

TEST_F(UpdaterFlow, TheTrayMenuComesToTheForegroundAndItsItemEndsTheUpdater) {
    Form1* form = Start("1.3###shengji###");
    ASSERT_NE(form, nullptr);
    SetForegroundWindow(platform::TaskbarWindow());
    HWND foregroundAtPopup = nullptr;
    launcher.onStart = [&](const std::string&) { foregroundAtPopup = GetForegroundWindow(); };
    script.ChooseMenuItem("zzz");
    ASSERT_TRUE(platform::ClickTrayIcon(form->hWnd(), 0, platform::MouseButton::Right));
    EXPECT_EQ(Started(), std::vector<std::string>{kEndUpdater});
    EXPECT_EQ(foregroundAtPopup, form->hWnd());
    ASSERT_EQ(script.Questions().size(), 1u);
    // A click on the balloon opens the same menu.
    ClickAt(*form, 512 + 4, 8 + 4);
    script.DismissMenu();
    ASSERT_TRUE(platform::ClickTrayBalloon(form->hWnd(), 0));
    EXPECT_EQ(script.Questions().size(), 2u);
    EXPECT_EQ(script.Unused(), 0u);
}

// Reports come far faster than the screen shows them: the values change at
// once, the bar and the percentage are painted at most once per display
// frame, and the frame's last values are the ones painted at its end.
TEST_F(UpdaterFlow, TheProgressIsPaintedAtMostOncePerFrameWithTheLastValues) {
    Form1* form = Start("1.3###shengji###");
    ASSERT_NE(form, nullptr);
    form->S.SetVisible(true);
    form->Label3.SetVisible(true);
    forms::DoEvents();
    const auto report = [&](std::int32_t progress, std::int32_t maximum) {
        form->oDownload_OnProgress(progress, maximum, 0, 0, "");
        forms::DoEvents();
    };
    report(1, 8);  // the first report of a frame is painted at once
    EXPECT_EQ(DrawnFillEnd(*form), 36);  // 12: 295 / 100 x 12 + 1
    const std::vector<platform::Pixel> first = PercentagePixels(*form);
    for (const auto& [progress, maximum, value] : {std::tuple{3, 8, 38}, std::tuple{1, 2, 50}, std::tuple{3, 4, 75}}) {
        desktop.clock().Advance(5);
        report(progress, maximum);
        EXPECT_EQ(form->S.Value(), value);
        EXPECT_EQ(DrawnFillEnd(*form), 36) << value;
        EXPECT_EQ(PercentagePixels(*form), first) << value;
    }
    EXPECT_EQ(form->Label3.Caption(), "75.00%");
    desktop.clock().Advance(zem::updater::kDisplayFrame - 15 - 1);
    forms::DoEvents();
    EXPECT_EQ(DrawnFillEnd(*form), 36);
    desktop.clock().Advance(1);  // the frame is over
    forms::DoEvents();
    EXPECT_EQ(DrawnFillEnd(*form), 222);  // 295 / 100 x 75 + 1
    const std::vector<platform::Pixel> painted = PercentagePixels(*form);
    EXPECT_NE(painted, first);
    form->Refresh();  // a whole repaint shows the same caption
    EXPECT_EQ(PercentagePixels(*form), painted);
    // A report a frame after the last paint is painted at once again.
    desktop.clock().Advance(zem::updater::kDisplayFrame);
    report(1, 1);
    EXPECT_EQ(DrawnFillEnd(*form), 296);
}

TEST_F(UpdaterFlow, ProgressRoundsTheBarToEvenAndShowsTwoDecimals) {
    Form1* form = Start("1.3###shengji###");
    ASSERT_NE(form, nullptr);
    const struct Case {
        std::int32_t progress, maximum;
        int bar;
        std::string text;
    } cases[] = {
        {1, 3, 33, "33.33%"},   {1, 8, 12, "12.50%"},     {3, 8, 38, "37.50%"},
        {0, 100, 38, "37.50%"}, {5, 0, 38, "37.50%"},     {2, 1, 38, "200.00%"},  // the bar refuses 200
        {1, 1, 100, "100.00%"}, {1, 200, 0, "0.50%"},      // 0.5 rounds to even: 0
        {1, 800, 0, "0.13%"},   {5, 800, 1, "0.63%"},       // the text rounds halves up
    };
    for (const Case& c : cases) {
        form->oDownload_OnProgress(c.progress, c.maximum, 0, 0, "");
        EXPECT_EQ(form->S.Value(), c.bar) << c.progress << "/" << c.maximum;
        EXPECT_EQ(form->Label3.Caption(), c.text) << c.progress << "/" << c.maximum;
    }
    // Beyond 32 bits the bar's statement overflows and is skipped: the bar is
    // not even asked. The text still shows.
    std::vector<std::string> asked;
    form->S.OnPropertyChanged = [&](const std::string& key) { asked.push_back(key); };
    for (const auto& [progress, text] :
         {std::pair{INT32_MAX, "214748364800.00%"}, std::pair{INT32_MIN, "-214748364800.00%"}}) {
        form->oDownload_OnProgress(progress, 1, 0, 0, "");
        EXPECT_EQ(form->Label3.Caption(), text);
    }
    EXPECT_EQ(form->S.Value(), 1);
    EXPECT_TRUE(asked.empty());
}

}  // namespace
}  // namespace zem::updater_testing
