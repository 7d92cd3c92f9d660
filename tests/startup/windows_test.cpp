// The start's pieces on their own: the version text and the updater's command
// line, the server-unreachable window's design, frame and look, and the menu
// window's menus as the shell reaches them through the tray.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/drawing/bitmap.h"
#include "platform/drawing/gdi.h"
#include "platform/drawing/window_painting.h"
#include "platform/forms/form.h"
#include "platform/forms/modal.h"
#include "platform/forms/program.h"
#include "platform/shell/tray.h"
#include "platform/system/files.h"
#include "platform/window/test_desktop.h"
#include "platform/window/user32.h"
#include "platform/window/window_system.h"
#include "player/form1.h"
#include "shell/program_windows.h"
#include "shell/tray_icon.h"
#include "windows/form2.h"
#include "windows/form3.h"
#include "windows/player_windows.h"
#include "windows/version_check.h"

namespace {

using zem::forms::FormInstance;
using zem::platform::ColorFromPixel;

TEST(VersionText, TheServerVersionIsUpToThreeCharactersAfterTheFirstMarker) {
    struct Case {
        std::string text;
        std::optional<std::string> version;
    };
    const Case cases[] = {
        {"; 发布版本 == 1.3\r\n[CONFIG]\r\nurl=x\r\n", "1.3"},
        {"== 1.10", "1.1"},
        {"version ends with the marker and == 2", "2"},
        {"a == 1.3 b == 2.0", "1.3"},
        {"=== 1.4", "1.4"},
        {"== 中文版本", "中文版"},  // characters, not bytes
        {"== 1\r\n[CONFIG]", "1"},   // a line's end is no part of it
        {"== ", ""},
        {"==1.3 =2", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(版本检查::ServerVersion(c.text), c.version) << c.text;
}

TEST(VersionText, TheServerVersionIsNewerOnlyWhenTheInstalledTextIsOrdinallyLess) {
    struct Case {
        std::string installed, server;
        bool newer;
    };
    const Case cases[] = {
        {"1.2", "1.3", true},  {"1.3", "1.3", false}, {"2.0", "1.9", false}, {"", "1.3", true},
        {"1.3", "", false},    {"", "", false},       {"1.3", "1.3a", true}, {"1.10", "1.9", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(版本检查::ServerVersionIsNewer(c.installed, c.server), c.newer) << c.installed << " / " << c.server;
}

TEST(VersionText, TheUpdateCommandLineIsTheFolderTheUpdaterAndOneArgument) {
    zem::platform::ScopedProgramFolder folder("/opt/zem player");
    EXPECT_EQ(版本检查::UpdateCommandLine("1.3", 版本检查::UpgradeMode), "/opt/zem player/update.exe 1.3###shengji###");
    EXPECT_EQ(版本检查::UpdateCommandLine("1.3", 版本检查::CurrentMode), "/opt/zem player/update.exe 1.3###wu###");
    EXPECT_EQ(版本检查::SavedVersionTextPath(), "/opt/zem player/zem.ini");
}

class WindowsTest : public ::testing::Test {
protected:
    ~WindowsTest() override {
        zem::forms::DiscardAllForms();
        zem::shell::RegisterProgramWindows({});
    }
    zem::platform::TestDesktop desktop;
};

std::vector<LONG> Bounds(const zem::forms::Control& control) {
    const RECT& r = control.PixelBounds();
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

TEST_F(WindowsTest, Form3KeepsItsDesign) {
    Form3& form = FormInstance<Form3>::Get();
    form.Show();
    const RECT screen = zem::platform::WindowScreenRect(form.hWnd());
    const zem::platform::DesktopSettings desk = zem::platform::CurrentDesktop();
    EXPECT_EQ((std::vector<LONG>{screen.left, screen.top, screen.right - screen.left, screen.bottom - screen.top}),
              (std::vector<LONG>{(desk.width - 400) / 2, (desk.height - 170) / 2, 400, 170}));
    EXPECT_TRUE(GetWindowLongA(form.hWnd(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(form.Icon());
    ASSERT_TRUE(form.Image1.Picture());
    EXPECT_EQ(Bounds(form.Image1), (std::vector<LONG>{0, 0, 400, 170}));
    EXPECT_EQ(form.Label1.Caption(), "服务器连接失败,请检查你的网络是否连接，请重试！");
    EXPECT_EQ(form.Label1.BackStyle(), zem::forms::vbTransparent);
    EXPECT_EQ(Bounds(form.Label1), (std::vector<LONG>{56, 96, 289, 17}));
    struct Button {
        const zem::forms::TextBox& box;
        std::string text;
        std::vector<LONG> bounds;
        COLORREF color;
    };
    for (const Button& b : {Button{form.Text1, "重试", {88, 128, 41, 26}, 0x0000FF},
                            Button{form.Text2, "关闭", {144, 128, 41, 26}, 0x000000}}) {
        EXPECT_EQ(b.box.Text(), b.text);
        EXPECT_EQ(Bounds(b.box), b.bounds) << b.text;
        EXPECT_EQ(b.box.ForeColor(), b.color) << b.text;
        EXPECT_EQ(b.box.Font()->Name(), "微软雅黑");
        EXPECT_DOUBLE_EQ(b.box.Font()->Size(), 10.5);
        EXPECT_EQ(b.box.Font()->Charset(), 134);
    }
    EXPECT_NE(form.Text1.Font(), form.Text2.Font());  // each its own font object
}

TEST_F(WindowsTest, Form3LaysItsFrameBarsAlongItsEdges) {
    Form3& form = FormInstance<Form3>::Get();
    for (const auto& [width, height] : {std::pair{400, 170}, std::pair{300, 120}, std::pair{641, 333}}) {
        form.Move(0, 0, static_cast<float>(width * 15), static_cast<float>(height * 15));
        EXPECT_EQ(Bounds(form.P1), (std::vector<LONG>{0, 0, 2, height})) << width << "x" << height;
        EXPECT_EQ(Bounds(form.P2), (std::vector<LONG>{0, 0, width, 2})) << width << "x" << height;
        EXPECT_EQ(Bounds(form.P3), (std::vector<LONG>{width - 2, 0, 2, height})) << width << "x" << height;
        EXPECT_EQ(Bounds(form.P4), (std::vector<LONG>{0, height - 2, width, 2})) << width << "x" << height;
    }
}

TEST_F(WindowsTest, Form3ShowsItsPictureFrameLabelAndButtons) {
    Form3& form = FormInstance<Form3>::Get();
    form.Show();
    zem::forms::DoEvents();
    const zem::platform::Bitmap image = zem::platform::ComposeWindow(form.hWnd());
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    for (const auto& [x, y] : {std::pair{0, 85}, std::pair{1, 85}, std::pair{200, 0}, std::pair{200, 1},
                               std::pair{399, 85}, std::pair{398, 85}, std::pair{200, 169}, std::pair{200, 168}})
        EXPECT_EQ(ColorFromPixel(image.At(x, y)), highlight) << x << "," << y;
    // What lies in a rectangle: red text, dark text, the picture's own pixels.
    const auto any = [&image](RECT area, auto&& wanted) {
        for (LONG y = area.top; y < area.bottom; ++y)
            for (LONG x = area.left; x < area.right; ++x)
                if (wanted(ColorFromPixel(image.At(x, y)))) return true;
        return false;
    };
    const auto red = [](COLORREF c) { return GetRValue(c) > 160 && GetGValue(c) < 90 && GetBValue(c) < 90; };
    const auto dark = [](COLORREF c) { return GetRValue(c) < 90 && GetGValue(c) < 90 && GetBValue(c) < 90; };
    EXPECT_TRUE(any(RECT{88, 128, 129, 154}, red));
    EXPECT_FALSE(any(RECT{144, 128, 185, 154}, red));
    EXPECT_TRUE(any(RECT{144, 128, 185, 154}, dark));
    EXPECT_TRUE(any(RECT{56, 96, 345, 113}, dark));
    EXPECT_FALSE(any(RECT{2, 2, 398, 40}, [](COLORREF c) { return c == zem::platform::kNewSurfaceColor; }));
}

TEST_F(WindowsTest, Form2HoldsBothMenusInOrderAndIsNeverShown) {
    Form2& form = FormInstance<Form2>::Get();
    EXPECT_FALSE(form.Visible());
    EXPECT_TRUE(GetWindowLongA(form.hWnd(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    using Items = std::vector<std::pair<std::string, std::string>>;
    const auto items = [](const zem::forms::Menu& menu) {
        Items list;
        for (const auto& item : menu.Items()) list.emplace_back(item->Name(), item->Caption());
        return list;
    };
    EXPECT_EQ(form.menu.Caption(), "托盘菜单");
    EXPECT_EQ(items(form.menu), (Items{{"close", "退出程序"},
                                       {"dhhhh", "检测升级"},
                                       {"kkk", "留言求片"},
                                       {"df", "-"},
                                       {"gtt", "播放器反馈"},
                                       {"shouye", "访问首页"},
                                       {"hnn", "-"},
                                       {"dddde", "关于我们"},
                                       {"shnhhy", "软件设置"},
                                       {"dddecc", "-"},
                                       {"display", "显示或隐藏"}}));
    EXPECT_EQ(form.MyMenu.Caption(), "右键");
    EXPECT_EQ(items(form.MyMenu), (Items{{"houtui", "后退一页"},
                                         {"vgg", "-"},
                                         {"qianjin", "前进一页"},
                                         {"SSE", "-"},
                                         {"shuaxin", "刷新一下"},
                                         {"DES", "-"},
                                         {"O", "返回首页"}}));
}

TEST_F(WindowsTest, TheTrayReachesTheMainWindowAndTheTrayMenuThroughTheRegisteredWindows) {
    托盘气泡::ResetModuleState();
    RegisterPlayerWindows();
    EXPECT_EQ(zem::shell::RegisteredProgramWindows().trayCallback, &托盘气泡::TrayWndProc);
    Form1& main = FormInstance<Form1>::Get();
    main.Show();
    托盘气泡::AddTrayIcon(main, "", "欢迎使用", 1, 10000);
    const HWND window = main.hWnd();

    ASSERT_TRUE(zem::platform::ClickTrayIcon(window, 0, zem::platform::MouseButton::Left));
    EXPECT_FALSE(main.Visible());
    ASSERT_TRUE(zem::platform::ClickTrayIcon(window, 0, zem::platform::MouseButton::Left));
    EXPECT_TRUE(main.Visible());

    // The tray menu's "显示或隐藏" hides the visible main window.
    zem::forms::ScopedModalScript script;
    script.ChooseMenuItem("display");
    ASSERT_TRUE(zem::platform::ClickTrayIcon(window, 0, zem::platform::MouseButton::Right));
    ASSERT_EQ(script.Questions().size(), 1u);
    EXPECT_EQ(script.Questions()[0].kind, zem::forms::ModalQuestion::Kind::PopupMenu);
    EXPECT_EQ(script.Questions()[0].items.front(), "退出程序");
    EXPECT_EQ(script.Questions()[0].items.back(), "显示或隐藏");
    EXPECT_FALSE(main.Visible());
    托盘气泡::RemoveTrayIcon(main);
}

}  // namespace
