// The header through real input: caption buttons (hover, press, click), the
// double click on the window's own surface, the view tabs, the resting
// repaint, and the region and frame lines.
#include <filesystem>
#include <string>
#include <vector>

#include "platform/network/content_server.h"
#include "platform/shell/tray.h"
#include "platform/window/region.h"
#include "tests/mainwindow/main_window_fixture.h"

namespace zem::mainwindow_testing {
namespace {

class FrameTest : public MainWindowFixture {
protected:
    static int Width(const Form1& main) { return static_cast<int>(main.ScaleWidth()); }
    // The caption sprite of button `index` (close, maximize, minimize, menu) in its frame at its place.
    static bool ButtonShows(const Form1& main, int index, const forms::Image& sprite, int frame) {
        return Shows(main.hWnd(), Width(main) - 30 * (index + 1), 20, *sprite.Picture(), frame, 0, 30, 80);
    }
    // Neighbouring tabs overlap by 7 pixels and the one drawn later covers the
    // overlap, so a tab is told by the 93 pixels between.
    static bool TabShows(const Form1& main, int index, int frame) {
        const forms::Image* sprites[] = {&main.Image9, &main.Image10, &main.zb, &main.yy};
        return Shows(main.hWnd(), 400 + 100 * index + 7, 20, *sprites[index]->Picture(), frame + 7, 0, 93, 80);
    }
    // The four tabs show these frames, in order.
    static ::testing::AssertionResult TabsShow(const Form1& main, std::vector<int> frames) {
        for (int index = 0; index < 4; ++index)
            if (!TabShows(main, index, frames[index]))
                return ::testing::AssertionFailure() << "tab " << index << " is not in frame " << frames[index];
        return ::testing::AssertionSuccess();
    }
};

TEST_F(FrameTest, HoverAndPressPaintTheCaptionSpritesAndTheMouseOverTheSurfacePutsThemBack) {
    Form1& main = Open();
    const forms::Image* sprites[] = {&main.Image4, &main.Image5, &main.Image6, &main.Image7};
    for (int hovered = 0; hovered < 4; ++hovered) {
        SCOPED_TRACE(hovered);
        main.SetMousePointer(forms::vbSizeNS);
        MoveTo(main, Width(main) - 30 * hovered - 15, 50);
        for (int index = 0; index < 4; ++index)
            EXPECT_TRUE(ButtonShows(main, index, *sprites[index], index == hovered ? 30 : 0)) << index;
        EXPECT_EQ(main.MousePointer(), forms::vbDefault);
    }
    EXPECT_EQ(main.Button1[1].ToolTipText(), "最大化");

    // A press of any button shows the pressed frame; nothing happens until a click.
    PressAt(main, Width(main) - 75, 50, MouseButton::Right);
    EXPECT_TRUE(ButtonShows(main, 2, main.Image6, 60));
    ReleaseAt(main, Width(main) - 75, 50, MouseButton::Right);
    EXPECT_TRUE(main.Visible());
    EXPECT_TRUE(ButtonShows(main, 2, main.Image6, 60));  // no release handler

    // Over the window's own surface the resting frames come back.
    MoveTo(main, 850, 10);
    for (int index = 0; index < 4; ++index) EXPECT_TRUE(ButtonShows(main, index, *sprites[index], 0)) << index;

    // The logo's label takes the mouse: no paint, no drag, no maximize.
    MoveTo(main, Width(main) - 15, 50);
    main.SetMousePointer(forms::vbSizeWE);
    MoveTo(main, 40, 50);
    EXPECT_TRUE(ButtonShows(main, 0, main.Image4, 30));
    EXPECT_EQ(main.MousePointer(), forms::vbDefault);
    EXPECT_EQ(main.Button1[7].ToolTipText(), "菜单导航");
    DoubleClickAt(main, 40, 50);
    EXPECT_EQ(main.WindowState(), forms::vbNormal);
}

TEST_F(FrameTest, MaximizeTakesTheSizeTheHookAllowsAndRestoreBringsThePlaceBack) {
    Form1& main = Open();
    const RECT before = ScreenRect(main.hWnd());
    ClickAt(main, Width(main) - 45, 50);
    EXPECT_EQ(main.WindowState(), forms::vbMaximized);
    const RECT maximized = ScreenRect(main.hWnd());
    EXPECT_EQ((std::vector<LONG>{maximized.left, maximized.top, maximized.right, maximized.bottom}),
              (std::vector<LONG>{0, 0, 1366, 768 - 40}));

    // Maximized: the restore sprite, its hover frame and tooltip, at the new right edge.
    EXPECT_TRUE(ButtonShows(main, 1, main.Image8, 0));
    MoveTo(main, 1366 - 45, 50);
    EXPECT_TRUE(ButtonShows(main, 1, main.Image8, 30));
    EXPECT_EQ(main.Button1[1].ToolTipText(), "还原");
    PressAt(main, 1366 - 45, 50);
    EXPECT_TRUE(ButtonShows(main, 1, main.Image8, 60));
    ReleaseAt(main, 1366 - 45, 50);
    EXPECT_EQ(main.WindowState(), forms::vbNormal);
    const RECT after = ScreenRect(main.hWnd());
    EXPECT_EQ((std::vector<LONG>{after.left, after.top, after.right, after.bottom}),
              (std::vector<LONG>{before.left, before.top, before.right, before.bottom}));
    MoveTo(main, Width(main) - 45, 50);
    EXPECT_EQ(main.Button1[1].ToolTipText(), "最大化");
}

TEST_F(FrameTest, TheDoubleClickMaximizesOnlyOnTheWindowsOwnSurface) {
    Form1& main = Open();
    struct Case {
        const char* name;
        int x, y;
        bool toggles;
    };
    const Case cases[] = {
        {"header", 850, 10, true},       {"left margin", 1, 300, true},     {"header underline", 300, 100, true},
        {"tab label", 450, 50, false},   {"hy", 1067 - 70, 80, false},      {"panel", 300, 300, false},
        {"close label", 1067 - 15, 30, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DoubleClickAt(main, c.x, c.y);
        EXPECT_EQ(main.WindowState(), c.toggles ? forms::vbMaximized : forms::vbNormal);
        if (main.WindowState() != forms::vbNormal) main.SetWindowState(forms::vbNormal);
    }
    // And back: a double click on the maximized header restores.
    DoubleClickAt(main, 850, 10);
    DoubleClickAt(main, 850, 10);
    EXPECT_EQ(main.WindowState(), forms::vbNormal);
}

TEST_F(FrameTest, CloseHidesForTheTraySwitchOrSavesRemovesTheIconAndEndsThePlayersInThatOrder) {
    struct Case {
        const char* value;
        bool hides;
    };
    for (const Case& c : {Case{"True", true}, Case{"true", true}, Case{"False", false}, Case{"", false},
                          Case{"maybe", false}}) {
        SCOPED_TRACE(c.value);
        forms::DiscardAllForms();
        ResetModules();
        std::filesystem::remove(PlayListPath());
        launcher.started.clear();
        配置信息::WriteConfig("form", "form", c.value);
        Form1& main = Open();
        main.SFPlayList1.AddNode("组");
        bool savedFirst = false, iconGoneFirst = false;
        launcher.onStart = [&](const std::string&) {
            if (launcher.started.size() != 1) return;
            savedFirst = std::filesystem::exists(PlayListPath());
            iconGoneFirst = platform::TrayIcons().empty();
        };
        ClickAt(main, Width(main) - 15, 50);
        launcher.onStart = nullptr;
        if (c.hides) {
            EXPECT_FALSE(main.Visible());
            EXPECT_FALSE(std::filesystem::exists(PlayListPath()));
            EXPECT_EQ(platform::TrayIcons().size(), 1u);
            EXPECT_TRUE(launcher.started.empty());
            continue;
        }
        EXPECT_TRUE(savedFirst);
        EXPECT_TRUE(iconGoneFirst);
        std::vector<std::string> commands;
        for (const auto& [line, show] : launcher.started) {
            commands.push_back(line);
            EXPECT_EQ(show, SW_HIDE);
        }
        EXPECT_EQ(commands, (std::vector<std::string>{"cmd.exe /c taskkill /im BaiduP2PService.exe /f",
                                                      "cmd.exe /c taskkill /im QvodPlayer.exe /f",
                                                      "cmd.exe /c taskkill /im QvodTerminal.exe /f",
                                                      "cmd.exe /c taskkill /im zemplayer.exe /f",
                                                      "cmd.exe /c taskkill /im bofangqi.exe /f"}));
        EXPECT_EQ(folder.Read("zemskin/zemplaylist.xml"), "<playlist><ul><Class Name=\"组\"/></ul></playlist>");
    }
}

TEST_F(FrameTest, ACloseWhoseCommandCannotStartStopsThereAndThePlayerKeepsRunning) {
    Form1& main = Open();
    launcher.fail = true;
    ClickAt(main, Width(main) - 15, 50);
    EXPECT_EQ(launcher.started.size(), 1u);
    EXPECT_TRUE(main.Visible());
    EXPECT_FALSE(forms::Ended());
    EXPECT_TRUE(platform::TrayIcons().empty());
    EXPECT_TRUE(std::filesystem::exists(PlayListPath()));
}

TEST_F(FrameTest, MinimizeGoesToTheTaskbarForItsSwitchAndHidesOtherwise) {
    for (const char* value : {"True", "False", ""}) {
        SCOPED_TRACE(value);
        forms::DiscardAllForms();
        ResetModules();
        配置信息::WriteConfig("form", "renwulan", value);
        Form1& main = Open();
        ClickAt(main, Width(main) - 75, 50);
        const bool taskbar = std::string(value) == "True";
        EXPECT_EQ(main.WindowState(), taskbar ? forms::vbMinimized : forms::vbNormal);
        EXPECT_EQ(main.Visible(), taskbar);
    }
}

TEST_F(FrameTest, TheMenuButtonPopsUpTheTrayMenu) {
    Form1& main = Open();
    script.DismissMenu();
    ClickAt(main, Width(main) - 105, 50);
    ASSERT_EQ(script.Questions().size(), 1u);
    EXPECT_EQ(script.Questions()[0].kind, forms::ModalQuestion::Kind::PopupMenu);
    EXPECT_EQ(script.Questions()[0].items.front(), "退出程序");
}

TEST_F(FrameTest, TabsSwitchTheViewsEndThePlayersOnlyWithoutAPlayerPageAndOpenTheirPages) {
    配置信息::WriteConfig("form", "shipinku", "False");
    Form1& main = Open();
    namespace server = zem::content_server;

    ClickAt(main, 550, 50);  // tab 1
    EXPECT_TRUE(main.Picture1.Visible());
    EXPECT_TRUE(TabsShow(main, {0, 214, 0, 0}));
    EXPECT_EQ(launcher.started.size(), 4u);

    ClickAt(main, 650, 50);  // tab 2: the nested tab 1 ends the players again before the page loads
    EXPECT_EQ(launcher.started.size(), 8u);
    EXPECT_EQ(main.W4.LocationURL(), server::Join(server::FixedHost(), "/cctv/logo.html"));
    EXPECT_TRUE(main.W4.Visible());
    EXPECT_TRUE(TabsShow(main, {0, 0, 214, 0}));

    ClickAt(main, 450, 50);  // tab 0 leaves W4 as it was
    EXPECT_FALSE(main.Picture1.Visible());
    EXPECT_TRUE(main.W4.Visible());
    EXPECT_TRUE(TabsShow(main, {214, 0, 0, 0}));

    main.W3.SetVisible(true);  // a player page is open: nothing is ended
    main.W2.SetVisible(true);
    ClickAt(main, 750, 50);  // tab 3
    EXPECT_EQ(launcher.started.size(), 8u);
    EXPECT_FALSE(main.W2.Visible());
    EXPECT_EQ(main.W4.LocationURL(), server::Join(server::FixedHost(), "/vant/orke.html"));
    EXPECT_TRUE(TabsShow(main, {0, 0, 0, 214}));

    // The next move over the header shows the resting look: tab 1 for the library panel.
    MoveTo(main, 850, 10);
    EXPECT_TRUE(TabsShow(main, {0, 214, 0, 0}));

    main.Button2_Click(4);
    main.Button2_Click(-1);
    EXPECT_TRUE(main.Picture1.Visible());
    EXPECT_TRUE(TabsShow(main, {0, 214, 0, 0}));
}

TEST_F(FrameTest, HoverFramesOfTheTabs) {
    struct Case {
        bool library;
        int from;  // the tab hovered first, or -1 for the header's resting look
        int tab;
        std::vector<int> frames;
    };
    const Case cases[] = {
        {true, -1, 0, {107, 214, 0, 0}},  {false, -1, 0, {214, 0, 0, 0}}, {true, -1, 1, {0, 214, 0, 0}},
        {false, -1, 1, {214, 107, 0, 0}}, {true, -1, 2, {0, 214, 214, 0}}, {false, -1, 3, {214, 0, 0, 214}},
        // Coming from a hovered tab: the tabs that one lit go back to their normal frame.
        {false, 1, 0, {214, 0, 0, 0}},   {false, 3, 0, {214, 0, 0, 0}},   {true, 0, 1, {0, 214, 0, 0}},
        {true, 3, 2, {0, 214, 214, 0}},  {true, 2, 3, {0, 214, 0, 214}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.library) + "/" + std::to_string(c.from) + "/" + std::to_string(c.tab));
        forms::DiscardAllForms();
        ResetModules();
        配置信息::WriteConfig("form", "shipinku", c.library ? "True" : "False");
        Form1& main = Open();
        MoveTo(main, 850, 10);
        if (c.from >= 0) MoveTo(main, 400 + 100 * c.from + 50, 50);
        main.SetMousePointer(forms::vbSizeNS);
        MoveTo(main, 400 + 100 * c.tab + 50, 50);
        EXPECT_TRUE(TabsShow(main, c.frames));
        EXPECT_EQ(main.MousePointer(), forms::vbDefault);
    }
}

TEST_F(FrameTest, TheRegionRoundsOnlyTheTopCornersAndTheFrameLinesLieInTheMargins) {
    Form1& main = Open();
    for (bool maximized : {false, true}) {
        SCOPED_TRACE(maximized);
        if (maximized) main.SetWindowState(forms::vbMaximized);
        platform::ProcessPendingMessages();
        const int width = Width(main), height = static_cast<int>(main.ScaleHeight());
        const auto region = platform::WindowRegion(main.hWnd());
        ASSERT_TRUE(region);
        EXPECT_FALSE(region->Contains(0, 0));
        EXPECT_FALSE(region->Contains(width - 1, 0));
        EXPECT_TRUE(region->Contains(width / 2, 0));
        EXPECT_TRUE(region->Contains(0, height - 1));
        EXPECT_TRUE(region->Contains(width - 1, height - 1));
        const platform::Bitmap& surface = *platform::WindowSurface(main.hWnd());
        const std::uint32_t line = 0xFFE0C0;  // COLORREF 0xC0E0FF as surface pixels
        EXPECT_EQ(surface.At(width / 2, 100), line);
        EXPECT_EQ(surface.At(1, height / 2), line);
        EXPECT_EQ(surface.At(width - 2, height / 2), line);
        EXPECT_EQ(surface.At(width / 2, height - 2), line);
        // A line leaves out its last point: the outermost pixels keep the back colour.
        EXPECT_EQ(surface.At(width - 2, 100), line);
        EXPECT_EQ(surface.At(width - 1, 100), 0x1F1F1Fu);
        EXPECT_EQ(surface.At(1, height - 2), line);
        EXPECT_EQ(surface.At(1, height - 1), 0x1F1F1Fu);
        EXPECT_EQ(surface.At(0, height / 2), 0x1F1F1Fu);
        EXPECT_EQ(surface.At(width / 2, height - 1), 0x1F1F1Fu);
        // The header at the right edge: hy and the close button follow it.
        EXPECT_EQ(main.hy.Left(), width - 145);
        EXPECT_TRUE(ButtonShows(main, 0, main.Image4, 0));
    }
    // Minimizing (a size change to no client area) leaves region and layout
    // alone; restoring replaces the region and lays out again.
    const RECT panel = main.Picture1.PixelBounds();
    const auto region = platform::WindowRegion(main.hWnd());
    main.SetWindowState(forms::vbMinimized);
    platform::ProcessPendingMessages();
    EXPECT_EQ(main.ScaleWidth(), 0);
    EXPECT_EQ(platform::WindowRegion(main.hWnd()), region);
    EXPECT_EQ(main.Picture1.PixelBounds().right, panel.right);
    main.SetWindowState(forms::vbMaximized);
    platform::ProcessPendingMessages();
    EXPECT_NE(platform::WindowRegion(main.hWnd()), region);
    EXPECT_EQ(main.Picture1.PixelBounds().right, panel.right);
}

}  // namespace
}  // namespace zem::mainwindow_testing
