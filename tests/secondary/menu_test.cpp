// The menu window's items chosen through the tray icon (and the page menu over
// the main window), with the main window loaded against a sample server: the
// exit's order, the manual upgrade check, the content server's pages, the
// about and settings windows, show and hide, and the library view's steps.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/forms/program.h"
#include "platform/network/content_server.h"
#include "platform/shell/tray.h"
#include "player/form1.h"
#include "tests/secondary/secondary_fixture.h"
#include "windows/form2.h"
#include "windows/shezhigy.h"
#include "windows/shezhitip.h"

namespace zem::secondary_testing {
namespace {

using forms::FormInstance;

class MenuTest : public MainWindowFixture {
protected:
    // Chooses the item of the page menu, popped up over the main window.
    void ChooseFromPageMenu(const std::string& item) {
        script.ChooseMenuItem(item);
        forms::RunEventHandler(
            [] { FormInstance<Form1>::Get().PopupMenu(FormInstance<Form2>::Get().MyMenu); });
    }
    void PlaceUpdater() const { folder.Write("update.exe", "#!/bin/sh\n"); }
};

// A launcher that notes, at the first command, what the exit had done by then.
class ExitOrderLauncher : public startup_testing::RecordingLauncher {
public:
    explicit ExitOrderLauncher(std::filesystem::path playList) : playList_(std::move(playList)) {}
    DWORD Start(std::string_view commandLine, int showMode) override {
        if (started.empty()) {
            listSavedFirst = std::filesystem::exists(playList_);
            iconGoneFirst = platform::TrayIcons().empty();
        }
        return RecordingLauncher::Start(commandLine, showMode);
    }
    bool listSavedFirst = false;
    bool iconGoneFirst = false;

private:
    std::filesystem::path playList_;
};

TEST_F(MenuTest, ExitSavesTheListThenRemovesTheIconThenEndsEveryPlayer) {
    Form1& main = OpenMain();
    main.SFPlayList1.AddNode("电视剧 城市之光");
    main.SFPlayList1.AddItem(0, "第1集", "http://127.0.0.1:1/1");
    ASSERT_EQ(platform::TrayIcons().size(), 1u);
    const std::filesystem::path list = folder.Path() / "zemskin" / "zemplaylist.xml";
    ExitOrderLauncher order(list);
    platform::ScopedProcessLauncher scope(order);

    ChooseFromTray("close");
    EXPECT_TRUE(order.listSavedFirst);
    EXPECT_TRUE(order.iconGoneFirst);
    EXPECT_NE(folder.Read("zemskin/zemplaylist.xml").find("第1集"), std::string::npos);
    std::vector<std::string> lines;
    for (const auto& [line, mode] : order.started) {
        lines.push_back(line);
        EXPECT_EQ(mode, SW_HIDE);
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"cmd.exe /c taskkill /im BaiduP2PService.exe /f",
                                               "cmd.exe /c taskkill /im QvodPlayer.exe /f",
                                               "cmd.exe /c taskkill /im QvodTerminal.exe /f",
                                               "cmd.exe /c taskkill /im zemplayer.exe /f",
                                               "cmd.exe /c taskkill /im bofangqi.exe /f"}));
}

TEST_F(MenuTest, ExitWhoseCommandsCannotStartEndsQuietly) {
    OpenMain();
    launcher.fail = true;
    ChooseFromTray("close");
    EXPECT_FALSE(forms::Ended());  // no run-time error, no message
    EXPECT_EQ(script.Questions().size(), 1u);
    EXPECT_EQ(launcher.started.size(), 1u);
    EXPECT_TRUE(platform::TrayIcons().empty());
}

// A save that fails (the list's file name taken by a folder) is reported and
// the exit goes on as the close button's does: the icon goes, every player is
// ended, and no run-time error shows.
TEST_F(MenuTest, ExitWithAFailedSaveReportsItAndStillRemovesTheIconAndEndsThePlayers) {
    OpenMain();
    std::filesystem::create_directory(folder.Path() / "zemskin" / "zemplaylist.xml");
    ::testing::internal::CaptureStderr();
    ChooseFromTray("close");
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("the play list was not saved"), std::string::npos) << said;
    EXPECT_FALSE(forms::Ended());
    EXPECT_EQ(script.Questions().size(), 1u);  // the menu only: no error box
    EXPECT_TRUE(platform::TrayIcons().empty());
    ASSERT_EQ(launcher.started.size(), 5u);
    EXPECT_EQ(launcher.started.back().first, "cmd.exe /c taskkill /im bofangqi.exe /f");
}

TEST_F(MenuTest, UpgradeCheckStartsTheUpdaterWithItsModeAndAsksNothing) {
    struct Case {
        const char* name;
        std::optional<std::string> installed;
        std::optional<std::string> published;
        bool updater;
        std::optional<std::string> argument;  // nothing: no updater started
    };
    const std::string text = "; 发布 == 1.3\r\n[CONFIG]\r\nurl=http://127.0.0.1:2/new\r\n";
    const Case cases[] = {
        {"current", "1.3", text, true, "1.3###wu###"},
        {"older", "1.2", text, true, "1.3###shengji###"},
        {"newer", "2.0", text, true, "1.3###wu###"},
        {"nothing installed", std::nullopt, text, true, "1.3###shengji###"},
        {"no updater", "1.2", text, false, std::nullopt},
        {"no version text", "1.2", std::nullopt, true, std::nullopt},
        {"no marker", "1.2", "<html>not found</html>", true, std::nullopt},
    };
    OpenMain();
    const std::string before = SavedText();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Install(c.installed);
        Publish(c.published);
        std::filesystem::remove(folder.Path() / "update.exe");
        if (c.updater) PlaceUpdater();
        WriteBytes(folder.Path() / "zem.ini", before);
        launcher.started.clear();

        ChooseFromTray("dhhhh");
        if (c.argument) {
            ASSERT_EQ(launcher.started.size(), 1u);
            const std::string& line = launcher.started[0].first;
            EXPECT_TRUE(line.starts_with(forms::App::Path())) << line;
            EXPECT_TRUE(line.ends_with("update.exe " + *c.argument)) << line;
            EXPECT_EQ(launcher.started[0].second, forms::vbNormalFocus);
        } else {
            EXPECT_TRUE(launcher.started.empty());
        }
        // The fetched text is saved whenever it holds a version, and only then.
        EXPECT_EQ(SavedText(), c.published && c.published->find("== ") != std::string::npos
                                   ? platform::Utf8ToGbk(*c.published + "\r\n")
                                   : before);
        EXPECT_FALSE(forms::Ended());
        EXPECT_TRUE(FormInstance<Form1>::Get().Visible());
    }
    // Every question was a menu: no message box in any case.
    for (const forms::ModalQuestion& question : script.Questions())
        EXPECT_EQ(question.kind, forms::ModalQuestion::Kind::PopupMenu);
    EXPECT_EQ(FormInstance<Form1>::Get().dizhi.Caption(), kBase);  // the running window keeps its settings
}

TEST_F(MenuTest, UpgradeCheckAgainstAServerThatIsDownDoesNothing) {
    OpenMain();
    Install("1.2");
    PlaceUpdater();
    const std::string before = SavedText();
    host.emplace("ZEM_HOST", "http://127.0.0.1:" + std::to_string(startup_testing::ClosedPort()));
    ChooseFromTray("dhhhh");
    EXPECT_TRUE(launcher.started.empty());
    EXPECT_EQ(SavedText(), before);
    EXPECT_EQ(script.Questions().size(), 1u);
}

TEST_F(MenuTest, TheServerPagesOpenInTheBrowserFromTheFixedHost) {
    OpenMain();
    // The paths as the server's pages are named: its sample ignores queries, so only the text tells them.
    const std::pair<const char*, std::string_view> items[] = {
        {"kkk", "/guestbook"},
        {"gtt", "/guestbook/index.asp?boardid=1"},
        {"shouye", "/index.html?=orke"},
    };
    for (const auto& [item, path] : items) {
        launcher.started.clear();
        ChooseFromTray(item);
        ASSERT_EQ(launcher.started.size(), 1u) << item;
        const std::string& line = launcher.started[0].first;
        const std::string address = content_server::FixedHost() + std::string(path);
        EXPECT_TRUE(line.ends_with("IEXPLORE.exe " + address)) << line;
        EXPECT_EQ(launcher.started[0].second, SW_SHOWMINIMIZED);
    }
    EXPECT_EQ(content_server::FixedHost(), server->Address());
}

TEST_F(MenuTest, AServerPageWithoutABrowserLeavesThePlayerRunning) {
    Form1& main = OpenMain();
    launcher.fail = true;  // no browser can be started
    for (const char* item : {"kkk", "gtt", "shouye"}) {
        ::testing::internal::CaptureStderr();
        ChooseFromTray(item);
        EXPECT_NE(::testing::internal::GetCapturedStderr().find("no web browser was found"), std::string::npos) << item;
        EXPECT_FALSE(forms::Ended()) << item;
    }
    EXPECT_TRUE(main.Visible());
    EXPECT_EQ(script.Questions().size(), 3u);  // the three menus, no message box
}

TEST_F(MenuTest, AboutAndSettingsAreNeverLoadedTogether) {
    Form1& main = OpenMain();
    ChooseFromTray("shnhhy");
    ASSERT_TRUE(FormInstance<shezhitip>::Loaded());
    EXPECT_EQ(FormInstance<shezhitip>::Get().Owner(), &main);
    EXPECT_TRUE(FormInstance<shezhitip>::Get().Visible());

    ChooseFromTray("dddde");
    EXPECT_FALSE(FormInstance<shezhitip>::Loaded());
    ASSERT_TRUE(FormInstance<shezhigy>::Loaded());
    EXPECT_EQ(FormInstance<shezhigy>::Get().Owner(), &main);
    EXPECT_TRUE(FormInstance<shezhigy>::Get().Visible());

    ChooseFromTray("shnhhy");
    EXPECT_FALSE(FormInstance<shezhigy>::Loaded());
    ASSERT_TRUE(FormInstance<shezhitip>::Loaded());

    // Chosen again while it is open, the settings window is the same one:
    // it is brought forward, not read afresh.
    shezhitip* open = &FormInstance<shezhitip>::Get();
    open->an1.SetValve(false);
    ChooseFromTray("shnhhy");
    EXPECT_EQ(&FormInstance<shezhitip>::Get(), open);
    EXPECT_FALSE(open->an1.Valve());
}

TEST_F(MenuTest, ShowOrHideTogglesTheMainWindowAndKeepsItsState) {
    Form1& main = OpenMain();
    ChooseFromTray("display");
    EXPECT_FALSE(main.Visible());
    ChooseFromTray("display");
    EXPECT_TRUE(main.Visible());
    EXPECT_EQ(main.WindowState(), forms::vbNormal);

    main.SetWindowState(forms::vbMinimized);
    ChooseFromTray("display");
    EXPECT_FALSE(main.Visible());
    ChooseFromTray("display");
    EXPECT_TRUE(main.Visible());
    EXPECT_EQ(main.WindowState(), forms::vbMinimized);
}

TEST_F(MenuTest, PageMenuStepsTheLibraryViewAndSkipsWhatFails) {
    Form1& main = OpenMain();
    Form2& menus = FormInstance<Form2>::Get();
    const RecordingView* library = ViewOf(main.ListWeb);
    ASSERT_NE(library, nullptr);

    for (const bool failing : {false, true}) {
        SCOPED_TRACE(failing ? "every step fails" : "every step works");
        if (failing) views.failing = {"GoBack", "GoForward", "Refresh", "Navigate"};
        const std::size_t mark = library->steps.size();
        for (const char* item : {"houtui", "qianjin", "shuaxin", "O"}) ChooseFromPageMenu(item);
        EXPECT_EQ(std::vector<std::string>(library->steps.begin() + static_cast<std::ptrdiff_t>(mark), library->steps.end()), (std::vector<std::string>{"GoBack", "GoForward", "Refresh",
                                                                "Navigate " + std::string(kBase) + "/index.asp"}));
        EXPECT_FALSE(forms::Ended());
        EXPECT_TRUE(menus.O.Checked());
    }
    EXPECT_EQ(library->LocationURL(), std::string(kBase) + "/index.asp");
}

TEST_F(MenuTest, HomeIsNotCheckedBeforeItsFirstUse) {
    OpenMain();
    EXPECT_FALSE(FormInstance<Form2>::Get().O.Checked());
    ChooseFromPageMenu("houtui");
    EXPECT_FALSE(FormInstance<Form2>::Get().O.Checked());
    ChooseFromPageMenu("O");
    ChooseFromPageMenu("shuaxin");
    EXPECT_TRUE(FormInstance<Form2>::Get().O.Checked());
}

}  // namespace
}  // namespace zem::secondary_testing
