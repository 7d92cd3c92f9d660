// The tray icon on a main form: its record, the hook of the tray callback,
// clicks on the icon and its balloon, and the icon loader.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <cstring>
#include <string>
#include <unistd.h>

#include "platform/base/text.h"
#include "platform/forms/form.h"
#include "platform/forms/modal.h"
#include "platform/shell/icons.h"
#include "platform/shell/tray.h"
#include "platform/window/test_desktop.h"
#include "platform/window/user32.h"
#include "platform/system/files.h"
#include "shell/icon_file.h"
#include "shell/program_windows.h"
#include "shell/taskbar_menu.h"
#include "shell/tray_icon.h"

namespace {

using zem::platform::MouseButton;

class MainForm : public zem::forms::Form {
public:
    MainForm() : Form(zem::forms::FormDesign{"主窗口", 200, 100}) {
        tray.Add("show", "显示或隐藏").OnClick = [this] { ++chosen; };
    }
    zem::forms::Menu tray{"menu", ""};
    int chosen = 0;
};

MainForm& Main() { return zem::forms::FormInstance<MainForm>::Get(); }

struct TrayFixture : ::testing::Test {
    TrayFixture() {
        托盘气泡::ResetModuleState();
        状态栏::ResetModuleState();
        zem::shell::ProgramWindows windows;
        windows.mainVisible = [] { return Main().Visible(); };
        windows.setMainVisible = [](bool visible) { Main().SetVisible(visible); };
        windows.popupTrayMenu = [] { Main().PopupMenu(Main().tray); };
        zem::shell::RegisterProgramWindows(windows);
        Main().Show();
    }
    ~TrayFixture() override {
        托盘气泡::RemoveTrayIcon(Main());
        zem::forms::DiscardAllForms();
        zem::shell::RegisterProgramWindows({});
    }
    LONG_PTR Procedure() const { return GetWindowLongPtrA(Main().hWnd(), GWL_WNDPROC); }
    zem::platform::TestDesktop desktop;
};

TEST_F(TrayFixture, RecordsFillTheFieldsAndPadTheTip) {
    const NOTIFYICONDATAA add = 托盘气泡::AddRecord(Main().hWnd(), nullptr, "播放器");
    EXPECT_EQ(add.cbSize, 488u);
    EXPECT_EQ(add.uFlags, 0x1Fu);
    EXPECT_EQ(add.uCallbackMessage, 0x401u);
    const std::string gbk = zem::platform::Utf8ToGbk("播放器");
    EXPECT_EQ(std::string(add.szTip, gbk.size()), gbk);
    EXPECT_EQ(add.szTip[gbk.size()], '\0');
    EXPECT_EQ(std::string(add.szTip + gbk.size() + 1, 128 - gbk.size() - 1), std::string(128 - gbk.size() - 1, ' '));
    // A tip too long is cut between characters and keeps its NUL.
    std::string longTip;
    for (int i = 0; i < 100; ++i) longTip += "长";
    const NOTIFYICONDATAA cut = 托盘气泡::AddRecord(Main().hWnd(), nullptr, longTip);
    EXPECT_EQ(std::strlen(cut.szTip), 126u);
    const NOTIFYICONDATAA remove = 托盘气泡::DeleteRecord(Main().hWnd(), nullptr);
    EXPECT_EQ(remove.uFlags, 7u);
    EXPECT_EQ(std::string(remove.szTip, 128), std::string(128, ' '));
}

TEST_F(TrayFixture, ASecondAddModifiesWithoutHookingAgain) {
    托盘气泡::RemoveTrayIcon(Main());  // nothing added: nothing happens
    EXPECT_TRUE(zem::platform::TrayIcons().empty());
    const LONG_PTR own = Procedure();
    托盘气泡::AddTrayIcon(Main(), "一", "欢迎使用", 1, 10000);
    const LONG_PTR hooked = Procedure();
    EXPECT_NE(hooked, own);
    托盘气泡::AddTrayIcon(Main(), "二", "欢迎使用", 1, 10000);
    EXPECT_EQ(Procedure(), hooked);
    ASSERT_EQ(zem::platform::TrayIcons().size(), 1u);
    EXPECT_EQ(zem::platform::TrayIcons()[0].tip, "二");
    EXPECT_FALSE(zem::platform::TrayIcons()[0].balloon.has_value());
    托盘气泡::RemoveTrayIcon(Main());
    EXPECT_EQ(Procedure(), own);
    EXPECT_TRUE(zem::platform::TrayIcons().empty());
}

TEST_F(TrayFixture, LeftReleaseTogglesTheMainWindowRightReleaseAndBalloonClicksPopTheMenu) {
    托盘气泡::AddTrayIcon(Main(), "播放器", "欢迎使用", 1, 10000);
    HWND window = Main().hWnd();
    // The release acts, not the press.
    ASSERT_TRUE(zem::platform::NotifyTrayIcon(window, 0, WM_LBUTTONDOWN));
    EXPECT_TRUE(Main().Visible());
    ASSERT_TRUE(zem::platform::NotifyTrayIcon(window, 0, WM_LBUTTONUP));
    EXPECT_FALSE(Main().Visible());
    ASSERT_TRUE(zem::platform::ClickTrayIcon(window, 0, MouseButton::Left));
    EXPECT_TRUE(Main().Visible());
    // A double click toggles twice, ending where it began.
    ASSERT_TRUE(zem::platform::DoubleClickTrayIcon(window, 0, MouseButton::Left));
    EXPECT_TRUE(Main().Visible());

    zem::forms::ScopedModalScript script;
    script.ChooseMenuItem("显示或隐藏").ChooseMenuItem("显示或隐藏");
    ASSERT_TRUE(zem::platform::NotifyTrayIcon(window, 0, WM_RBUTTONDOWN));
    EXPECT_TRUE(script.Questions().empty());
    ASSERT_TRUE(zem::platform::NotifyTrayIcon(window, 0, WM_RBUTTONUP));
    SendMessageA(window, 托盘气泡::TrayCallbackMessage, 0, NIN_BALLOONUSERCLICK);
    EXPECT_EQ(Main().chosen, 2);
    EXPECT_TRUE(Main().Visible());
}

TEST_F(TrayFixture, RemovingTheIconTakesLaterHooksOutOfTheChain) {
    const LONG_PTR own = Procedure();
    托盘气泡::AddTrayIcon(Main(), "播放器", "", 0, 0);
    状态栏::EnableTaskbarMenu(Main().hWnd());
    EXPECT_EQ(Procedure(), reinterpret_cast<LONG_PTR>(&状态栏::TaskbarMenuWndProc));
    托盘气泡::RemoveTrayIcon(Main());
    EXPECT_EQ(Procedure(), own);
}

TEST(IconFileTest, LoadsTheFirstIconOrNothingAndReportsAMissingFile) {
    zem::platform::TestDesktop desktop;
    const std::filesystem::path root = std::filesystem::temp_directory_path() / ("zem_icon_" + std::to_string(::getpid()));
    // The program folder's name holds a blank, CJK characters and a backslash:
    // only the part after it converts.
    const std::filesystem::path programFolder = root / "zem player 影音\\盘";
    const std::filesystem::path folder = programFolder / "zemskin";
    std::filesystem::create_directories(folder);
    zem::platform::ScopedProgramFolder scopedFolder(programFolder.string());
    const std::string notIcon = (folder / "plain.ico").string();
    std::ofstream(notIcon) << "not an icon";
    EXPECT_EQ(高清图标::LoadIconFile(notIcon), nullptr);
    EXPECT_THROW(高清图标::LoadIconFile((folder / "missing.ico").string()), zem::forms::RuntimeError);
    // A 1 x 1 icon of one 32-bit BMP image: header, directory entry, image.
    const unsigned char icon[] = {0, 0, 1, 0, 1, 0,                                    // header
                                  1, 1, 0, 0, 1, 0, 32, 0, 48, 0, 0, 0, 22, 0, 0, 0,  // entry
                                  40, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 1, 0, 32, 0,  // info
                                  0, 0, 0, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                  0, 0, 0, 0, 0, 0, 0, 0,
                                  0x30, 0x20, 0x10, 0xFF,                             // the pixel
                                  0, 0, 0, 0};                                        // its mask
    const std::string iconFile = (folder / "icon.ico").string();
    std::ofstream(iconFile, std::ios::binary).write(reinterpret_cast<const char*>(icon), sizeof icon);
    zem::forms::PictureRef picture = 高清图标::LoadIconFile(zem::platform::ProgramPath("\\zemskin\\icon.ico"));
    ASSERT_NE(picture, nullptr);
    const HICON handle = picture->Icon();
    EXPECT_NE(handle, nullptr);
    EXPECT_EQ(picture->Width(), 1);
    // The picture owns the icon: it is live while the picture is, and gone with it.
    EXPECT_NE(zem::platform::IconFromHandle(handle), nullptr);
    zem::forms::PictureRef copy = picture;
    picture.reset();
    EXPECT_NE(zem::platform::IconFromHandle(handle), nullptr);
    copy.reset();
    EXPECT_EQ(zem::platform::IconFromHandle(handle), nullptr);
    std::filesystem::remove_all(root);
}

}  // namespace
