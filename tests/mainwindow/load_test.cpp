// The main window's load: its steps and hooks in order, the published values
// with their 255-byte rule, the ticker file, the installed version, the start
// view, and a window that opens without its skin.
#include <filesystem>
#include <string>
#include <vector>

#include "platform/forms/program.h"
#include "platform/network/content_server.h"
#include "platform/shell/tray.h"
#include "tests/mainwindow/main_window_fixture.h"

namespace zem::mainwindow_testing {
namespace {

using forms::FormInstance;

class LoadTest : public MainWindowFixture {
protected:
    // Forgets the window and the hooks, so the next Open loads anew.
    void StartAgain() {
        forms::DiscardAllForms();
        ResetModules();
    }
};

TEST_F(LoadTest, TheLoadRunsItsStepsInOrderWithTheHooksInnermostFirst) {
    PublishValues("[CONFIG]\r\nurl=http://127.0.0.1:1/base\r\nname=影视播放器\r\n[huangchong]\r\nhuangchong=1\r\n"
                  "[da]\r\nda=5\r\n");
    配置信息::WriteConfig("Version", "Version", "1.2");
    std::filesystem::create_directories(content.Path() / "zem");
    platform::ReplaceFileAtomically((content.Path() / "zem" / "link.txt").string(),
                                    platform::Utf8ToGbk("电影###http://a/\r\n"));
    Form1& main = Open();

    // The published values, the installed version.
    EXPECT_EQ(main.dizhi.Caption(), "http://127.0.0.1:1/base");
    EXPECT_EQ(main.Caption(), "影视播放器");
    EXPECT_EQ(main.huangchong.Caption(), "1");
    EXPECT_EQ(main.da.Caption(), "5");
    EXPECT_EQ(main.Label1.Caption(), "当前版本号：1.2");

    // The local loading page in the three views; only two are silent.
    const std::string loading = platform::ProgramPath("\\zemskin\\html\\Loading.html");
    EXPECT_EQ(main.ListWeb.LocationURL(), loading);
    EXPECT_EQ(main.PlayWeb.LocationURL(), loading);
    EXPECT_EQ(main.W2.LocationURL(), loading);
    EXPECT_TRUE(main.ListWeb.Silent());
    EXPECT_TRUE(main.PlayWeb.Silent());
    EXPECT_FALSE(main.W2.Silent());

    // The ticker file downloaded beside the program, the start pages and the ticker armed.
    EXPECT_EQ(folder.Read("link.txt"), platform::Utf8ToGbk("电影###http://a/\r\n"));
    EXPECT_TRUE(main.T4.Enabled());
    EXPECT_EQ(main.T4.Interval(), 3000);
    EXPECT_TRUE(main.gun.Enabled());
    EXPECT_FALSE(main.Timer8.Enabled());

    // The icon from the data folder, in the tray with the caption as its tip.
    ASSERT_TRUE(main.Icon());
    const std::vector<platform::TrayIcon> icons = platform::TrayIcons();
    ASSERT_EQ(icons.size(), 1u);
    EXPECT_EQ(icons[0].window, main.hWnd());
    EXPECT_EQ(icons[0].tip, "影视播放器");
    EXPECT_EQ(icons[0].icon, main.Icon()->Icon());

    // The taskbar menu is outermost; removing the tray icon takes it out with
    // the tray hook and leaves the maximize limit, the innermost.
    EXPECT_EQ(GetWindowLongPtrA(main.hWnd(), GWL_WNDPROC), reinterpret_cast<LONG_PTR>(&状态栏::TaskbarMenuWndProc));
    托盘气泡::RemoveTrayIcon(main);
    EXPECT_EQ(GetWindowLongPtrA(main.hWnd(), GWL_WNDPROC), reinterpret_cast<LONG_PTR>(&无边框窗体最大化::MaxWndProc));

    // The bottom bar's toggle shows its first look; the list panel shows.
    EXPECT_EQ(main.Picture8.Picture(), main.Image20.Picture());
    EXPECT_TRUE(main.Picture6.Visible());
}

TEST_F(LoadTest, TheStartViewFollowsTheLibrarySwitchAndAnythingButTrueIsThePlayerView) {
    struct Case {
        const char* value;
        bool library;
    };
    const Case cases[] = {{"True", true},   {"true", true},   {"TRUE", true}, {"1", true},  {"-3", true},
                          {"False", false}, {"false", false}, {"0", false},   {"", false}, {"yes", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        StartAgain();
        配置信息::WriteConfig("form", "shipinku", c.value);
        Form1& main = Open();
        EXPECT_EQ(main.Picture1.Visible(), c.library);
        EXPECT_EQ(main.cfgShipinku, c.value);
        const HWND window = main.hWnd();
        // Tab 1 is drawn after tab 0 and covers its right 7 pixels.
        EXPECT_TRUE(Shows(window, 400, 20, *main.Image9.Picture(), c.library ? 0 : 214, 0, 100, 80));
        EXPECT_TRUE(Shows(window, 500, 20, *main.Image10.Picture(), c.library ? 214 : 0, 0, 107, 80));
    }
}

TEST_F(LoadTest, PublishedValuesKeepTheirFirst255BytesAndBadBytesNeverStopTheLoad) {
    std::string wide;
    for (int i = 0; i < 200; ++i) wide += "影";
    struct Case {
        const char* name;
        std::optional<std::string> file;  // GBK bytes; nothing: no "/zem.ini"
        std::string caption;
        std::string base;
    };
    const Case cases[] = {
        {"no file", std::nullopt, "", ""},
        {"no sections", "; nothing here\r\n", "", ""},
        {"300 bytes", "[CONFIG]\r\nname=" + std::string(300, 'n') + "\r\n", std::string(255, 'n'), ""},
        {"10 000 bytes", "[CONFIG]\r\nurl=http://" + std::string(10000, 'u') + "\r\n", "",
         "http://" + std::string(248, 'u')},
        // 400 GBK bytes: the 128th character is cut in two at 255 and dropped.
        {"two-byte characters", "[CONFIG]\r\nname=" + platform::Utf8ToGbk(wide) + "\r\n",
         wide.substr(0, 127 * 3), ""},
        {"a NUL inside", std::string("[CONFIG]\r\nname=ab\0cd\r\nurl=http://x\r\n", 36), "ab", "http://x"},
        {"invalid GBK", "[CONFIG]\r\nname=a\xFF\r\n", "a\xEF\xBF\xBD", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartAgain();
        std::filesystem::remove(folder.Path() / "zem.ini");
        if (c.file) WriteRaw("zem.ini", *c.file);
        Form1& main = Open();
        EXPECT_EQ(main.Caption(), c.caption);
        EXPECT_EQ(main.dizhi.Caption(), c.base);
        EXPECT_EQ(main.huangchong.Caption(), "");
        EXPECT_TRUE(main.Visible());
    }
}

TEST_F(LoadTest, MissingOrBrokenSkinFilesAreNamedOnceAndTheWindowOpensWithWhatLoaded) {
    std::filesystem::remove(folder.Path() / "zemskin" / "skin" / "Close.jpg");
    WriteRaw("zemskin/skin/bf.jpg", "not a picture");
    std::filesystem::remove(folder.Path() / "zemskin" / "icon.ico");
    ::testing::internal::CaptureStderr();
    Form1& main = Open();
    const std::string said = ::testing::internal::GetCapturedStderr();

    auto count = [&](const std::string& text) {
        std::size_t found = 0;
        for (std::size_t at = said.find(text); at != std::string::npos; at = said.find(text, at + 1)) ++found;
        return found;
    };
    EXPECT_EQ(count("Close.jpg"), 1u);
    EXPECT_EQ(count("bf.jpg"), 1u);
    EXPECT_EQ(count("icon.ico"), 1u);
    EXPECT_EQ(count("zemplayer:"), 3u);
    EXPECT_TRUE(main.Visible());
    // Without the icon file the window keeps its design icon, in the taskbar and the tray.
    ASSERT_TRUE(main.Icon());
    EXPECT_NE(main.Icon()->Icon(), nullptr);
    EXPECT_EQ(platform::WindowIconHandle(main.hWnd()), main.Icon()->Icon());
    ASSERT_EQ(platform::TrayIcons().size(), 1u);
    EXPECT_EQ(platform::TrayIcons()[0].icon, main.Icon()->Icon());
    EXPECT_FALSE(main.Image4.Picture());
    EXPECT_FALSE(main.Image9.Picture());
    ASSERT_TRUE(main.Image5.Picture());
    EXPECT_TRUE(main.T4.Enabled());

    // The header paints and takes the mouse with the sprites it has.
    MoveTo(main, main.ScaleWidth() - 15, 50);
    MoveTo(main, 450, 50);
    EXPECT_TRUE(Shows(main.hWnd(), 1067 - 60, 20, *main.Image5.Picture(), 0, 0, 30, 80));
    ClickAt(main, 450, 50);
    EXPECT_FALSE(main.Picture1.Visible());
    EXPECT_TRUE(forms::LoadedForms().size() == 1u && !forms::Ended());
}

TEST_F(LoadTest, TheIconLoadsFromAProgramFolderWithABlankAndChineseCharacters) {
    testing::TempFolder other("程序 文件夹");
    std::filesystem::copy(folder.Path() / "zemskin", other.Path() / "zemskin", std::filesystem::copy_options::recursive);
    platform::ScopedProgramFolder programFolder(other.Path().string());
    ::testing::internal::CaptureStderr();
    Form1& main = Open();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    ASSERT_TRUE(main.Icon());
    ASSERT_EQ(platform::TrayIcons().size(), 1u);
    EXPECT_NE(platform::TrayIcons()[0].icon, nullptr);
    EXPECT_TRUE(main.Image1.Picture());
}

TEST_F(LoadTest, AWindowManagerCloseHidesTheWindowAndItStaysLoaded) {
    Form1& main = Open();
    const HWND window = main.hWnd();
    SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(FormInstance<Form1>::Loaded());
    EXPECT_TRUE(IsWindow(window));
    EXPECT_FALSE(main.Visible());
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(FormInstance<Form1>::Loaded());
    EXPECT_TRUE(IsWindow(window));
    // Back from the tray.
    ASSERT_TRUE(platform::ClickTrayIcon(window, 0, MouseButton::Left));
    EXPECT_TRUE(main.Visible());
}

}  // namespace
}  // namespace zem::mainwindow_testing
