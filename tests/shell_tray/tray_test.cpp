#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "platform/shell/tray.h"
#include "platform/window/test_desktop.h"
#include "platform/window/user32.h"

using zem::platform::MouseButton;

namespace {

constexpr UINT kCallback = WM_USER + 1;
std::vector<LPARAM> g_events;

LRESULT TrayOwner(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kCallback) g_events.push_back(lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

class Tray : public ::testing::Test {
protected:
    void SetUp() override {
        g_events.clear();
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = TrayOwner;
        windowClass.lpszClassName = "TrayOwner";
        RegisterClassA(&windowClass);
        window = CreateWindowExA(0, "TrayOwner", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    }
    void TearDown() override {
        NOTIFYICONDATAA record = Record(0);
        Shell_NotifyIconA(NIM_DELETE, &record);
    }
    NOTIFYICONDATAA Record(UINT flags) const {
        NOTIFYICONDATAA record{};
        record.cbSize = sizeof record;
        record.hWnd = HandleField(window);
        record.uFlags = flags;
        record.uCallbackMessage = kCallback;
        record.hIcon = 0x49000001;
        return record;
    }
    zem::platform::TestDesktop desktop;
    HWND window = nullptr;
};

TEST_F(Tray, AnAddedIconKeepsItsFieldsWithTheTextDecodedFromGbk) {
    NOTIFYICONDATAA record = Record(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_STATE | NIF_INFO);
    // The tooltip as the programs lay it out: the text, a NUL, then blanks.
    std::memset(record.szTip, ' ', sizeof record.szTip);
    std::memcpy(record.szTip, "\xBB\xB6\xD3\xAD\xCA\xB9\xD3\xC3\0", 9);
    ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &record));
    auto icon = zem::platform::FindTrayIcon(window, 0);
    ASSERT_TRUE(icon.has_value());
    EXPECT_EQ(icon->tip, "欢迎使用");
    EXPECT_EQ(icon->callbackMessage, kCallback);
    EXPECT_EQ(icon->icon, FieldHandle<HICON>(0x49000001));
    EXPECT_FALSE(icon->balloon.has_value());  // an empty balloon text shows none
    EXPECT_FALSE(Shell_NotifyIconA(NIM_ADD, &record));

    NOTIFYICONDATAA balloon = Record(NIF_INFO);
    std::strcpy(balloon.szInfo, "\xCF\xC2\xD4\xD8");  // 下载
    std::memset(balloon.szInfoTitle, 'x', sizeof balloon.szInfoTitle);  // no NUL: the field's end bounds it
    balloon.dwInfoFlags = NIIF_INFO;
    balloon.uTimeout = 10000;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &balloon));
    icon = zem::platform::FindTrayIcon(window, 0);
    ASSERT_TRUE(icon->balloon.has_value());
    EXPECT_EQ(icon->balloon->text, "下载");
    EXPECT_EQ(icon->balloon->title, std::string(64, 'x'));
    EXPECT_EQ(icon->tip, "欢迎使用");  // fields outside the flags stay

    // A byte that is no GBK comes through as a replacement character.
    NOTIFYICONDATAA broken = Record(NIF_TIP);
    std::strcpy(broken.szTip, "a\xFF" "b");
    Shell_NotifyIconA(NIM_MODIFY, &broken);
    EXPECT_EQ(zem::platform::FindTrayIcon(window, 0)->tip, "a\xEF\xBF\xBD" "b");
}

TEST_F(Tray, RecordsThatCannotApplyAreRefused) {
    NOTIFYICONDATAA record = Record(NIF_MESSAGE);
    EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &record));
    EXPECT_FALSE(Shell_NotifyIconA(NIM_DELETE, &record));
    NOTIFYICONDATAA wrongSize = record;
    wrongSize.cbSize = 504;
    EXPECT_FALSE(Shell_NotifyIconA(NIM_ADD, &wrongSize));
    NOTIFYICONDATAA noWindow = record;
    noWindow.hWnd = 0x7777;
    EXPECT_FALSE(Shell_NotifyIconA(NIM_ADD, &noWindow));
    EXPECT_TRUE(Shell_NotifyIconA(NIM_ADD, &record));
    EXPECT_TRUE(Shell_NotifyIconA(NIM_DELETE, &record));
    EXPECT_TRUE(zem::platform::TrayIcons().empty());
}

TEST_F(Tray, ClicksReachTheWindowAsItsCallbackMessage) {
    NOTIFYICONDATAA record = Record(NIF_MESSAGE | NIF_INFO);
    std::strcpy(record.szInfo, "hello");
    ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &record));
    struct Case {
        bool twice;
        MouseButton button;
        std::vector<LPARAM> expected;
    };
    const Case cases[] = {
        {false, MouseButton::Left, {WM_LBUTTONDOWN, WM_LBUTTONUP}},
        {false, MouseButton::Right, {WM_RBUTTONDOWN, WM_RBUTTONUP}},
        {true, MouseButton::Left, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}},
    };
    for (const Case& each : cases) {
        g_events.clear();
        EXPECT_TRUE(each.twice ? zem::platform::DoubleClickTrayIcon(window, 0, each.button)
                               : zem::platform::ClickTrayIcon(window, 0, each.button));
        EXPECT_EQ(g_events, each.expected);
    }
    g_events.clear();
    EXPECT_TRUE(zem::platform::ClickTrayBalloon(window, 0));
    EXPECT_EQ(g_events, std::vector<LPARAM>{NIN_BALLOONUSERCLICK});
    EXPECT_FALSE(zem::platform::ClickTrayBalloon(window, 0));  // the balloon closed
    EXPECT_FALSE(zem::platform::ClickTrayIcon(window, 5, MouseButton::Left));
}

TEST_F(Tray, AnIconGoesAwayWithItsWindow) {
    NOTIFYICONDATAA record = Record(NIF_MESSAGE);
    ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &record));
    DestroyWindow(window);
    EXPECT_TRUE(zem::platform::TrayIcons().empty());
}

}  // namespace
