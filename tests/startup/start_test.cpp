// The whole start of the player against a sample server: single instance,
// the reachability probe, the fetched and saved version text, the upgrade
// question and its answers, and the server-unreachable window's retry and close.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/drawing/window_painting.h"
#include "platform/forms/msgbox.h"
#include "platform/shell/tray.h"
#include "platform/window/user32.h"
#include "player/form1.h"
#include "tests/startup/start_fixture.h"
#include "tests/system/argument_reporter.h"
#include "windows/form3.h"

namespace zem::startup_testing {
namespace {

using forms::FormInstance;

const std::string kQuestion = "是否立即升级新版本新版版本号：1.3";

bool MainWindowShown() { return FormInstance<Form1>::Loaded() && FormInstance<Form1>::Get().Visible(); }
bool StartWindowHiddenButLoaded() {
    return FormInstance<loadme>::Loaded() && !FormInstance<loadme>::Get().Visible();
}

// Every path under the folder, relative to it.
std::set<std::string> FolderListing(const std::filesystem::path& folder) {
    std::set<std::string> paths;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        paths.insert(std::filesystem::relative(entry.path(), folder).string());
    return paths;
}

class StartTest : public StartFixture {
protected:
    void ClickOn(HWND control) {
        desktop.clock().Advance(2000);  // no double click with an earlier one
        const RECT place = platform::WindowScreenRect(control);
        platform::Click(platform::MouseButton::Left, place.left + 5, place.top + 5);
        forms::FreeUnloadedForms();
    }
};

TEST_F(StartTest, ReachableAndCurrentSavesTheTextThenOpensTheMainWindow) {
    const std::string published = "; 发布版本 == 1.3\r\n[CONFIG]\r\nurl=http://127.0.0.1:1/base\r\nname=影视播放器\r\n";
    Publish(published);
    Install("1.3");
    ServeContent();
    forms::RunEventHandler([] { forms::ShowStartUpForm<loadme>(); });

    // Shown at the system's place, out of the taskbar, and fully transparent.
    loadme& start = FormInstance<loadme>::Get();
    ASSERT_TRUE(start.Visible());
    const RECT place = platform::WindowScreenRect(start.hWnd());
    EXPECT_EQ((std::vector<LONG>{place.left, place.top, place.right, place.bottom}), (std::vector<LONG>{0, 0, 81, 81}));
    EXPECT_TRUE(GetWindowLongA(start.hWnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_TRUE(GetWindowLongA(start.hWnd(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(platform::LayeredAlpha(start.hWnd()), std::optional<BYTE>(0));
    const platform::Bitmap withStart = platform::ComposeScreen();
    start.Hide();
    const platform::Bitmap withoutStart = platform::ComposeScreen();
    start.Show();
    for (int y = 0; y < 81; ++y)
        for (int x = 0; x < 81; ++x) ASSERT_EQ(withStart.At(x, y), withoutStart.At(x, y)) << x << "," << y;

    // The fetch at 100 ms saves the whole text with one CR LF, in GBK.
    desktop.clock().Advance(99);
    EXPECT_FALSE(SavedTextExists());
    desktop.clock().Advance(1);
    EXPECT_EQ(SavedText(), platform::Utf8ToGbk(published + "\r\n"));
    EXPECT_EQ(start.Text1.Text(), "1.3");
    EXPECT_EQ(start.Text2.Text(), "1.3");
    EXPECT_FALSE(FormInstance<Form1>::Loaded());

    // The check at 300 ms: nothing newer, so the main window opens and the start window hides.
    desktop.clock().Advance(199);
    EXPECT_FALSE(FormInstance<Form1>::Loaded());
    desktop.clock().Advance(1);
    EXPECT_TRUE(MainWindowShown());
    EXPECT_TRUE(StartWindowHiddenButLoaded());
    RunUntilStarted();
    EXPECT_TRUE(MainWindowShown());
    EXPECT_TRUE(script.Questions().empty());
    EXPECT_TRUE(launcher.started.empty());

    // The main window's design: centred, 1067 x 665, in the taskbar, with the caption the server published.
    Form1& main = FormInstance<Form1>::Get();
    const RECT screen = platform::WindowScreenRect(main.hWnd());
    EXPECT_EQ(screen.right - screen.left, 1067);
    EXPECT_EQ(screen.bottom - screen.top, 665);
    EXPECT_EQ(screen.left, (platform::CurrentDesktop().width - 1067) / 2);
    EXPECT_TRUE(GetWindowLongA(main.hWnd(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_EQ(main.Caption(), "影视播放器");
    EXPECT_EQ(main.BorderStyle(), 0);
}

// The built data folder with the settings file it ships, against the sample
// server's own content: a first start finds the player current and opens the
// main window without a question.
TEST_F(StartTest, TheShippedDataFolderOpensTheMainWindowAgainstTheSampleServer) {
    std::filesystem::remove_all(folder.Path() / "zemskin");
    std::filesystem::copy(ZEM_TEST_DATA_FOLDER, folder.Path() / "zemskin", std::filesystem::copy_options::recursive);
    std::filesystem::copy_file(ZEM_SHIPPED_SETTINGS_FILE, folder.Path() / "zemskin" / "Config.ini",
                               std::filesystem::copy_options::overwrite_existing);
    server.emplace(site::ServerOptions{});
    ASSERT_TRUE(server->Start());
    host.emplace("ZEM_HOST", server->Address());
    ProbeAt(0);
    StartPlayer();
    EXPECT_TRUE(MainWindowShown());
    EXPECT_TRUE(script.Questions().empty());
    EXPECT_TRUE(launcher.started.empty());
}

TEST_F(StartTest, TheQuestionIsAskedOnlyForANewerServerVersionAndABadTextKeepsTheSavedOne) {
    const std::string old = "; old == 1.0\r\n[CONFIG]\r\nurl=http://127.0.0.1:1\r\n\r\n";
    struct Case {
        const char* name;
        std::optional<std::string> installed;
        std::optional<std::string> published;  // nothing: the server has no version text
        bool asked;
        bool saved;  // else the earlier "/zem.ini" stays
    };
    const Case cases[] = {
        {"older installed", "1.2", "x == 1.3\r\n", true, true},
        {"same version", "1.3", "x == 1.3\r\n", false, true},
        {"newer installed", "2.0", "x == 1.9\r\n", false, true},
        {"nothing installed", std::nullopt, "x == 1.3\r\n", true, true},
        {"empty installed", "", "x == 1.3\r\n", true, true},
        {"no marker", "1.2", "<html>服务器错误</html>", false, false},
        {"empty text", "1.2", "", false, false},
        {"no text", "1.2", std::nullopt, false, false},
    };
    ServeContent();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetRun();
        WriteBytes(folder.Path() / "zem.ini", old);
        Install(c.installed);
        Publish(c.published);
        forms::ScopedModalScript answers;
        if (c.asked) answers.AnswerMessageBox(forms::vbNo);
        StartPlayer();
        ASSERT_EQ(answers.Questions().size(), c.asked ? 1u : 0u);
        if (c.asked) {
            EXPECT_EQ(answers.Questions()[0].text, kQuestion);
            EXPECT_EQ(answers.Questions()[0].title, "检测到更新");
            EXPECT_EQ(answers.Questions()[0].buttons, forms::vbYesNo | forms::vbInformation);
        }
        EXPECT_TRUE(MainWindowShown());
        EXPECT_TRUE(StartWindowHiddenButLoaded());
        EXPECT_EQ(SavedText(), c.saved ? platform::Utf8ToGbk(*c.published + "\r\n") : old);
        EXPECT_TRUE(launcher.started.empty());
    }
}

TEST_F(StartTest, AnsweringYesStartsTheUpdaterAndEndsOrOpensTheMainWindowWhenItCannot) {
    struct Case {
        const char* name;
        bool updaterThere;
        bool startFails;
        bool updaterStarted;  // and the player ends; else the main window opens
    };
    const Case cases[] = {
        {"updater there", true, false, true},
        {"updater missing", false, false, false},
        {"updater refuses to start", true, true, false},
    };
    Publish("x == 1.3\r\n");
    Install("1.2");
    ServeContent();
    const std::string updateLine = folder.Path().string() + "/update.exe 1.3###shengji###";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetRun();
        launcher.started.clear();
        launcher.fail = c.startFails;
        std::filesystem::remove(folder.Path() / "update.exe");
        if (c.updaterThere) folder.Write("update.exe", "updater");
        forms::ScopedModalScript answers;
        answers.AnswerMessageBox(forms::vbYes);
        StartPlayer();
        ASSERT_EQ(answers.Questions().size(), 1u);
        EXPECT_EQ(answers.Questions()[0].text, kQuestion);
        const auto expected = c.updaterThere ? std::vector<std::pair<std::string, int>>{{updateLine, SW_SHOWNORMAL}}
                                             : std::vector<std::pair<std::string, int>>{};
        EXPECT_EQ(launcher.started, expected);
        EXPECT_EQ(forms::Ended(), c.updaterStarted);
        EXPECT_EQ(MainWindowShown(), !c.updaterStarted);
        if (c.updaterStarted) {
            EXPECT_FALSE(FormInstance<Form1>::Loaded());
            EXPECT_TRUE(forms::LoadedForms().empty());
        }
    }
}

TEST_F(StartTest, TheUpdatersArgumentArrivesWholeFromAFolderWithBlanks) {
    testing::TempFolder blanks("program folder 影音\\盘");
    platform::ScopedProgramFolder programFolder(blanks.Path().string());
    std::filesystem::create_directories(blanks.Path() / "zemskin");
    testing::ArgumentReporter updater(blanks, "update");  // the updater's file, as the build names it
    platform::NativeProcessLauncher native;
    platform::ScopedProcessLauncher nativeScope(native);
    Publish("x == 1.3\r\n");
    配置信息::WriteConfig("Version", "Version", "1.2");
    ServeContent();
    script.AnswerMessageBox(forms::vbYes);
    StartPlayer();
    EXPECT_EQ(updater.Report(), "1\n[1.3###shengji###]\n");
    EXPECT_TRUE(forms::Ended());
    EXPECT_FALSE(FormInstance<Form1>::Loaded());
}

// The fixed host answers all along; only the probe address decides.
TEST_F(StartTest, UnreachableShowsForm3WhoseRetryStartsAgainUntilTheServerIsBack) {
    Publish("x == 1.3\r\n");
    Install("1.3");
    ServeContent();
    const int port = ClosedPort();
    ProbeNothing(port);
    StartPlayer();
    ASSERT_TRUE(FormInstance<Form3>::Loaded());
    EXPECT_TRUE(FormInstance<Form3>::Get().Visible());
    EXPECT_FALSE(FormInstance<loadme>::Loaded());
    EXPECT_FALSE(FormInstance<Form1>::Loaded());
    EXPECT_FALSE(SavedTextExists());

    // Retry while still down: this window goes and a new one comes.
    const HWND first = FormInstance<Form3>::Get().hWnd();
    ClickOn(FormInstance<Form3>::Get().Text1.hWnd());
    ASSERT_TRUE(FormInstance<Form3>::Loaded());
    EXPECT_TRUE(FormInstance<Form3>::Get().Visible());
    EXPECT_NE(FormInstance<Form3>::Get().hWnd(), first);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_FALSE(FormInstance<loadme>::Loaded());

    // Retry once the probe answers on that port: the start goes on to the main window.
    ProbeAt(port);
    ClickOn(FormInstance<Form3>::Get().Text1.hWnd());
    EXPECT_FALSE(FormInstance<Form3>::Loaded());
    RunUntilStarted();
    EXPECT_TRUE(MainWindowShown());
    EXPECT_TRUE(StartWindowHiddenButLoaded());
    EXPECT_EQ(SavedText(), platform::Utf8ToGbk("x == 1.3\r\n\r\n"));
    EXPECT_TRUE(script.Questions().empty());
}

TEST_F(StartTest, CloseOnForm3EndsThePlayersProcessesAndTouchesNothingElse) {
    Install("1.3");
    ServeContent();
    ProbeNothing(ClosedPort());
    StartPlayer();
    ASSERT_TRUE(FormInstance<Form3>::Loaded());
    const std::set<std::string> before = FolderListing(folder.Path());
    ClickOn(FormInstance<Form3>::Get().Text2.hWnd());
    EXPECT_EQ(launcher.started,
              (std::vector<std::pair<std::string, int>>{{"cmd.exe /c taskkill /im zemplayer.exe /f", SW_HIDE}}));
    EXPECT_EQ(FolderListing(folder.Path()), before);
    EXPECT_TRUE(platform::TrayIcons().empty());
    EXPECT_TRUE(script.Questions().empty());
}

TEST_F(StartTest, ASecondInstanceEndsSilentlyWithoutAnyWindow) {
    platform::ScopedPreviousInstance running(true);
    Publish("x == 1.3\r\n");
    Install("1.2");  // would ask, were it to go on
    ServeContent();
    forms::RunEventHandler([] { forms::ShowStartUpForm<loadme>(); });
    EXPECT_TRUE(forms::Ended());
    EXPECT_TRUE(forms::LoadedForms().empty());
    EXPECT_FALSE(FormInstance<loadme>::Loaded());
    for (HWND window : platform::TopLevelWindows()) EXPECT_EQ(window, platform::TaskbarWindow());
    desktop.clock().Advance(1000);
    EXPECT_FALSE(SavedTextExists());
    EXPECT_FALSE(FormInstance<Form1>::Loaded());
    EXPECT_TRUE(script.Questions().empty());
    EXPECT_TRUE(launcher.started.empty());
}

}  // namespace
}  // namespace zem::startup_testing
