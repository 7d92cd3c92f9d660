// The desktop display under a virtual X server of the test's own, with real
// input injected through XTest and pixels read back from the server.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/text.h"
#include "platform/display/display.h"
#include "platform/display/message_box.h"
#include "platform/forms/menu.h"
#include "platform/shell/icons.h"
#include "platform/shell/tray.h"
#include "platform/forms/msgbox.h"
#include "platform/display/menu_window.h"
#include "platform/base/event_loop.h"
#include "platform/drawing/gdi.h"
#include "platform/drawing/window_painting.h"
#include "platform/forms/form.h"
#include "platform/window/test_desktop.h"
#include "platform/window/user32.h"
#include "platform/window/window_system.h"
#include "tests/support/event_wait.h"
#include "tests/support/pump_until.h"
#include "tests/support/test_tray_manager.h"
#include "tests/support/x_geometry.h"
#include "tests/support/xvfb_server.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>
#include <X11/keysym.h>

using zem::testing::TestTrayManager;
using zem::testing::XvfbServer;
using zem::testing::PumpFor;
using zem::testing::PumpUntil;

namespace {

struct Received {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Received> g_log;
COLORREF g_fill = RGB(220, 30, 40);

// Paints itself in g_fill; a left press on its top strip (y < 20) starts the move loop.
LRESULT TestProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_MOUSEMOVE && message <= WM_MBUTTONDBLCLK && message != WM_MOUSEMOVE)
        g_log.push_back({message, wParam, lParam});
    if (message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR || message == WM_USER + 5)
        g_log.push_back({message, wParam, lParam});
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT whole{0, 0, 4000, 4000};
        HBRUSH brush = CreateSolidBrush(g_fill);
        FillRect(dc, &whole, brush);
        DeleteObject(brush);
        EndPaint(window, &paint);
        return 0;
    }
    if (message == WM_LBUTTONDOWN && static_cast<SHORT>(HIWORD(lParam)) < 20) {
        ReleaseCapture();
        return SendMessageA(window, WM_SYSCOMMAND, 0xF012, 0);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class DisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(server.Name().empty()) << "Xvfb did not start";
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = TestProc;
        windowClass.lpszClassName = "DisplayTest";
        RegisterClassA(&windowClass);
        ASSERT_TRUE(zem::platform::StartDesktopDisplay(server.Name().c_str()));
        observer = XOpenDisplay(server.Name().c_str());
        ASSERT_NE(observer, nullptr);
        g_log.clear();
    }
    void TearDown() override {
        zem::platform::StopDesktopDisplay();
        if (observer != nullptr) XCloseDisplay(observer);
    }

    HWND MakeWindow(const char* title, int x, int y, int width, int height, DWORD exStyle = 0) {
        HWND window = CreateWindowExA(exStyle, "DisplayTest", title, WS_POPUP, x, y, width, height, nullptr, nullptr,
                                      nullptr, nullptr);
        ShowWindow(window, SW_SHOW);
        return window;
    }
    // Waits until the window is mapped at the server (and drawn).
    ::Window Shown(HWND window) {
        ::Window shown = 0;
        PumpUntil([&] {
            shown = zem::platform::XWindowOf(window);
            if (shown == 0) return false;
            XWindowAttributes attributes{};
            return XGetWindowAttributes(observer, shown, &attributes) != 0 && attributes.map_state == IsViewable;
        });
        return shown;
    }
    unsigned long RootPixel(int x, int y) {
        XImage* image = XGetImage(observer, DefaultRootWindow(observer), x, y, 1, 1, AllPlanes, ZPixmap);
        const unsigned long pixel = image != nullptr ? XGetPixel(image, 0, 0) & 0xFFFFFF : ~0UL;
        if (image != nullptr) XDestroyImage(image);
        return pixel;
    }
    RECT RootRect(::Window window) { return zem::testing::RootRect(observer, window); }
    void MoveTo(int x, int y) {
        XTestFakeMotionEvent(observer, 0, x, y, 0);
        XFlush(observer);
    }
    void Button(unsigned button, bool press) {
        XTestFakeButtonEvent(observer, button, press ? True : False, 0);
        XFlush(observer);
    }
    void Key(KeySym keysym, bool press) {
        XTestFakeKeyEvent(observer, XKeysymToKeycode(observer, keysym), press ? True : False, 0);
        XFlush(observer);
    }
    // For what the program does on its own, outside the loop (a drawing, a
    // request to a tray manager): it happens at the loop's next wait, which
    // nothing may end, so the loop waits in short steps.
    bool HappensSoon(const std::function<bool()>& done) {
        return zem::testing::PollUntil([&] {
            zem::platform::ProcessPendingMessages();
            zem::platform::EventLoop::Get().WaitForEvents(10);
            return done();
        });
    }
    bool Logged(UINT message) {
        return PumpUntil([&] {
            for (const Received& each : g_log)
                if (each.message == message) return true;
            return false;
        });
    }
    // Runs `wait` (a modal window's nested loop) while a wait hook plays the
    // person: once a window of the class `className` is on the screen, the
    // hook hands it to `answer`, once. What `wait` returns comes back.
    template <class Wait>
    auto AnswerWhenShown(const char* className, const std::function<void(HWND)>& answer, Wait wait) {
        bool done = false;
        const auto hook = zem::platform::EventLoop::Get().RegisterWaitHook(
            {[&]() -> std::optional<zem::platform::Milliseconds> {
                 if (done) return std::nullopt;
                 for (HWND top : zem::platform::TopLevelWindows()) {
                     if (zem::platform::WindowClassName(top) != className) continue;
                     const ::Window shown = zem::platform::XWindowOf(top);
                     XWindowAttributes attributes{};
                     if (shown == 0 || XGetWindowAttributes(observer, shown, &attributes) == 0 ||
                         attributes.map_state != IsViewable)
                         continue;
                     done = true;
                     answer(top);
                 }
                 return std::nullopt;
             },
             nullptr});
        auto result = wait();
        zem::platform::EventLoop::Get().UnregisterWaitHook(hook);
        return result;
    }

    zem::platform::TestDesktop desktop;
    XvfbServer server;
    Display* observer = nullptr;
};

unsigned long Rgb(COLORREF color) {
    return (static_cast<unsigned long>(GetRValue(color)) << 16) | (GetGValue(color) << 8) | GetBValue(color);
}

TEST_F(DisplayTest, ATopLevelWindowIsAnXWindowWithItsPlaceSizeShapeCaptionAndPixels) {
    HWND window = MakeWindow(zem::platform::Utf8ToGbk("播放器").c_str(), 100, 80, 200, 120, WS_EX_TOOLWINDOW);
    // The desktop behind shows through where the window's rounded region
    // cuts its corners off.
    XSetWindowBackground(observer, DefaultRootWindow(observer), 0x3366FF);
    XClearWindow(observer, DefaultRootWindow(observer));
    SetWindowRgn(window, CreateRoundRectRgn(0, 0, 201, 121, 40, 40), TRUE);
    const ::Window shown = Shown(window);
    ASSERT_NE(shown, 0u);
    ASSERT_TRUE(PumpUntil([&] { return RootPixel(150, 140) == Rgb(g_fill); }));
    const RECT rect = RootRect(shown);
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.top, 80);
    EXPECT_EQ(rect.right - rect.left, 200);
    EXPECT_EQ(rect.bottom - rect.top, 120);
    EXPECT_EQ(RootPixel(101, 81), 0x3366FFu) << "the cut corner is not part of the window";
    EXPECT_EQ(RootPixel(130, 81), Rgb(g_fill));

    EXPECT_EQ(zem::testing::WindowName(observer, shown), "播放器");
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(observer, shown, XInternAtom(observer, "_NET_WM_STATE", False), 0, 8, False, XA_ATOM, &type,
                       &format, &count, &after, &data);
    ASSERT_NE(data, nullptr);
    ASSERT_EQ(count, 1u);
    EXPECT_EQ(reinterpret_cast<Atom*>(data)[0], XInternAtom(observer, "_NET_WM_STATE_SKIP_TASKBAR", False));
    XFree(data);

    zem::platform::IconImage image;
    image.width = image.height = 4;
    image.pixels.assign(16, 0xFF112233);
    zem::platform::SetWindowIconHandle(window, zem::platform::CreateIconFromImage(image));
    ASSERT_TRUE(PumpUntil([&] {
        unsigned char* icon = nullptr;
        XGetWindowProperty(observer, shown, XInternAtom(observer, "_NET_WM_ICON", False), 0, 64, False, XA_CARDINAL,
                           &type, &format, &count, &after, &icon);
        const bool found = icon != nullptr && count == 18 && reinterpret_cast<unsigned long*>(icon)[0] == 4 &&
                           (reinterpret_cast<unsigned long*>(icon)[2] & 0xFFFFFFFFUL) == 0xFF112233UL;
        if (icon != nullptr) XFree(icon);
        return found;
    }));

    // The program's move and size reach the server.
    SetWindowPos(window, nullptr, 300, 200, 150, 90, SWP_NOZORDER);
    EXPECT_TRUE(PumpUntil([&] {
        const RECT moved = RootRect(shown);
        return moved.left == 300 && moved.top == 200 && moved.right == 450 && moved.bottom == 290;
    }));
}

// Alpha 0 is no window at all where no compositing manager runs: it shows
// nothing and takes no click; a window of no size is never mapped.
TEST_F(DisplayTest, AnInvisibleLayeredWindowAndAWindowOfNoSizeShowNothing) {
    HWND below = MakeWindow("", 20, 20, 200, 200);
    ASSERT_NE(Shown(below), 0u);
    g_fill = RGB(10, 200, 30);
    HWND invisible = MakeWindow("", 50, 50, 100, 100, WS_EX_LAYERED);
    SetLayeredWindowAttributes(invisible, 0, 0, LWA_ALPHA);
    HWND empty = MakeWindow("", 300, 300, 0, 40);
    ASSERT_NE(Shown(invisible), 0u);
    EXPECT_FALSE(PumpUntil([&] { return RootPixel(100, 100) == Rgb(g_fill); }, std::chrono::milliseconds(300)));
    // The click goes through to the window below.
    MoveTo(100, 100);
    Button(1, true);
    Button(1, false);
    ASSERT_TRUE(Logged(WM_LBUTTONUP));
    EXPECT_EQ(GetFocus(), below);
    EXPECT_EQ(zem::platform::XWindowOf(empty), 0u);
    g_fill = RGB(220, 30, 40);
}

// A click reaches the window at its client point; a press on the top strip
// runs the move loop, which moves the X window with the pointer.
TEST_F(DisplayTest, AClickArrivesAndADragMovesTheXWindow) {
    HWND window = MakeWindow("", 200, 150, 300, 200);
    const ::Window shown = Shown(window);
    ASSERT_NE(shown, 0u);
    MoveTo(260, 250);
    Button(1, true);
    Button(1, false);
    ASSERT_TRUE(Logged(WM_LBUTTONUP));
    ASSERT_GE(g_log.size(), 2u);
    EXPECT_EQ(g_log[0].message, static_cast<UINT>(WM_LBUTTONDOWN));
    EXPECT_EQ(LOWORD(g_log[0].lParam), 60);
    EXPECT_EQ(HIWORD(g_log[0].lParam), 100);

    // The whole drag is at the server before the program reads its press: the
    // move loop then reads the rest inside the press's handler.
    MoveTo(210, 160);
    Button(1, true);
    MoveTo(260, 190);
    MoveTo(290, 220);
    Button(1, false);
    ASSERT_TRUE(PumpUntil([&] { return zem::platform::WindowScreenRect(window).left == 280; }));
    EXPECT_EQ(zem::platform::WindowScreenRect(window).top, 210);
    EXPECT_TRUE(PumpUntil([&] { return RootRect(shown).left == 280 && RootRect(shown).top == 210; }));
}

// Keys go to the focused window as virtual keys and typed characters.
TEST_F(DisplayTest, TypedKeysArriveAsKeyDownCharAndKeyUp) {
    HWND window = MakeWindow("", 100, 100, 200, 100);
    ASSERT_NE(Shown(window), 0u);
    MoveTo(150, 150);
    Button(1, true);
    Button(1, false);
    ASSERT_TRUE(Logged(WM_LBUTTONUP));
    EXPECT_EQ(GetFocus(), window);
    g_log.clear();
    Key(XK_Shift_L, true);
    Key(XK_b, true);
    Key(XK_b, false);
    Key(XK_Shift_L, false);
    Key(XK_Return, true);
    Key(XK_Return, false);
    ASSERT_TRUE(PumpUntil([&] {
        return std::count_if(g_log.begin(), g_log.end(), [](const Received& r) { return r.message == WM_KEYUP; }) == 3;
    }));
    std::vector<std::pair<UINT, WPARAM>> seen;
    for (const Received& each : g_log) seen.emplace_back(each.message, each.wParam);
    const std::vector<std::pair<UINT, WPARAM>> expected = {
        {WM_KEYDOWN, VK_SHIFT}, {WM_KEYDOWN, 'B'},     {WM_CHAR, 'B'},         {WM_KEYUP, 'B'},
        {WM_KEYUP, VK_SHIFT},   {WM_KEYDOWN, VK_RETURN}, {WM_CHAR, '\r'}, {WM_KEYUP, VK_RETURN}};
    EXPECT_EQ(seen, expected);
}

// The window manager's close comes through the window's procedure as the
// system command; a window destroyed behind the program's back is an X error
// that is logged and survived.
TEST_F(DisplayTest, TheWindowManagersCloseIsTheCloseCommandAndAnXErrorIsSurvived) {
    HWND window = MakeWindow("", 100, 100, 100, 100);
    const ::Window shown = Shown(window);
    ASSERT_NE(shown, 0u);
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = shown;
    close.xclient.message_type = XInternAtom(observer, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(observer, "WM_DELETE_WINDOW", False));
    XSendEvent(observer, shown, False, NoEventMask, &close);
    XFlush(observer);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(window); }));

    HWND other = MakeWindow("", 100, 100, 100, 100);
    const ::Window otherShown = Shown(other);
    ASSERT_NE(otherShown, 0u);
    XDestroyWindow(observer, otherShown);
    XSync(observer, False);
    SetWindowPos(other, nullptr, 120, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    HWND third = MakeWindow("", 400, 100, 100, 100);
    EXPECT_NE(Shown(third), 0u);
}

// While a message box waits, a wait hook of the test plays the person: once
// the box is on the screen it clicks a button or presses a key.
class MessageBoxTest : public DisplayTest {
protected:
    int Ask(int flags, std::function<void(HWND box)> answer) {
        return AnswerWhenShown("ZemMessageBox", answer,
                               [&] { return zem::forms::MsgBox("要现在升级吗？", flags, "检测到更新"); });
    }
    void ClickButton(HWND box, std::size_t index) {
        const std::vector<RECT> buttons = zem::platform::MessageBoxButtons(box);
        ASSERT_LT(index, buttons.size());
        const RECT place = zem::platform::WindowScreenRect(box);
        MoveTo(place.left + (buttons[index].left + buttons[index].right) / 2,
               place.top + (buttons[index].top + buttons[index].bottom) / 2);
        Button(1, true);
        Button(1, false);
    }
};

TEST_F(MessageBoxTest, AClickOnAButtonReturnsThatButton) {
    HWND main = MakeWindow("", 0, 0, 400, 300);
    ASSERT_NE(Shown(main), 0u);
    EXPECT_EQ(Ask(zem::forms::vbYesNo | zem::forms::vbQuestion, [&](HWND box) { ClickButton(box, 1); }),
              zem::forms::vbNo);
    EXPECT_EQ(Ask(zem::forms::vbYesNo, [&](HWND box) { ClickButton(box, 0); }), zem::forms::vbYes);
    // The other windows take input again once the box is answered.
    EXPECT_TRUE(IsWindowEnabled(main));
}

TEST_F(MessageBoxTest, EnterChoosesTheDefaultButtonAndEscapeCancels) {
    struct Case {
        int flags;
        KeySym key;
        int expected;
    };
    const Case cases[] = {
        {zem::forms::vbYesNo, XK_Return, zem::forms::vbYes},
        {zem::forms::vbOKCancel | 256, XK_Return, zem::forms::vbCancel},  // the second button is the default
        {zem::forms::vbYesNoCancel, XK_Escape, zem::forms::vbCancel},
        {zem::forms::vbOKOnly, XK_Escape, zem::forms::vbOK},
    };
    for (const Case& each : cases) {
        // Escape's answer is also what a box left unanswered returns once the
        // loop's bounded real wait (as long as a test's wait for an event)
        // runs out: the answer must come long before that.
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(Ask(each.flags,
                      [&](HWND) {
                          Key(each.key, true);
                          Key(each.key, false);
                      }),
                  each.expected)
            << each.flags;
        EXPECT_LT(std::chrono::steady_clock::now() - start, zem::testing::kEventWait / 2) << each.flags;
    }
}

// A pop-up menu at the pointer: a click on an item chooses it, a disabled
// item cannot be chosen, a press outside closes the menu without a choice.
class MenuTest : public DisplayTest {
protected:
    zem::forms::MenuItem* Pop(zem::forms::MenuItem& menu, std::function<void(HWND)> answer) {
        return AnswerWhenShown("ZemPopupMenu", answer, [&] { return zem::forms::TrackPopupMenu(menu); });
    }
    void ClickRow(HWND menu, std::size_t index) {
        const std::vector<RECT> rows = zem::platform::MenuWindowRows(menu);
        ASSERT_LT(index, rows.size());
        const RECT place = zem::platform::WindowScreenRect(menu);
        MoveTo(place.left + 40, place.top + (rows[index].top + rows[index].bottom) / 2);
        Button(1, true);
        Button(1, false);
    }
};

TEST_F(MenuTest, AClickChoosesAnItemAndAPressOutsideCloses) {
    HWND main = MakeWindow("", 0, 0, 600, 500);
    ASSERT_NE(Shown(main), 0u);
    zem::forms::MenuItem menu("menu", "menu");
    menu.Add("play", "播放");
    menu.Add("line", "-");
    menu.Add("pause", "暂停").SetEnabled(false);
    menu.Add("mute", "静音").SetChecked(true);
    int muted = 0;
    menu["mute"].OnClick = [&] { ++muted; };
    MoveTo(100, 100);
    ASSERT_TRUE(PumpUntil([] {
        POINT point{};
        GetCursorPos(&point);
        return point.x == 100 && point.y == 100;
    }));
    zem::forms::MenuItem* chosen = Pop(menu, [&](HWND window) { ClickRow(window, 3); });
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(chosen->Name(), "mute");
    EXPECT_EQ(muted, 1);
    // The disabled item does not close the menu; the press outside then does,
    // long before the loop's bounded real wait would end it.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Pop(menu,
                  [&](HWND window) {
                      ClickRow(window, 2);
                      MoveTo(500, 400);
                      Button(1, true);
                      Button(1, false);
                  }),
              nullptr);
    EXPECT_LT(std::chrono::steady_clock::now() - start, zem::testing::kEventWait / 2);
}

// A quit posted while a message box or a menu waits ends the wait: the box
// gives its cancel answer, the menu no choice, and the outer loop still gets
// the quit with its exit code.
TEST_F(DisplayTest, AQuitEndsAWaitingBoxOrMenuAndIsLeftForTheOuterLoop) {
    HWND main = MakeWindow("", 0, 0, 400, 300);
    ASSERT_NE(Shown(main), 0u);
    zem::forms::MenuItem menu("menu", "menu");
    menu.Add("play", "播放");
    const auto quit = [](HWND) { PostQuitMessage(9); };
    const auto quitLeft = [] {
        MSG message{};
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
        return -1;
    };
    EXPECT_EQ(AnswerWhenShown("ZemMessageBox", quit,
                              [] { return zem::forms::MsgBox("要现在升级吗？", zem::forms::vbYesNoCancel, "检测到更新"); }),
              zem::forms::vbCancel);
    EXPECT_EQ(quitLeft(), 9);
    EXPECT_TRUE(IsWindowEnabled(main));
    EXPECT_EQ(AnswerWhenShown("ZemPopupMenu", quit, [&] { return zem::forms::TrackPopupMenu(menu); }), nullptr);
    EXPECT_EQ(quitLeft(), 9);
}

std::vector<LPARAM> TrayCallbacks() {
    std::vector<LPARAM> found;
    for (const Received& each : g_log)
        if (each.message == WM_USER + 5) found.push_back(each.lParam);
    return found;
}

NOTIFYICONDATAA TrayRecord(HWND window) {
    NOTIFYICONDATAA record{};
    record.cbSize = sizeof record;
    record.hWnd = HandleField(window);
    record.uID = 1;
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record.uCallbackMessage = WM_USER + 5;
    zem::platform::IconImage image;
    image.width = image.height = 16;
    image.pixels.assign(256, 0xFFE02020);
    record.hIcon = HandleField(zem::platform::CreateIconFromImage(image));
    const std::string tip = zem::platform::Utf8ToGbk("播放器");
    std::copy(tip.begin(), tip.end(), record.szTip);
    return record;
}

// The icon docks, shows its tip, and its clicks, double clicks and balloon
// click reach the window's callback message as the model delivers them.
TEST_F(DisplayTest, TheTrayIconDocksIntoATrayManagerAndTakesClicks) {
    TestTrayManager manager(observer);
    ASSERT_TRUE(zem::platform::TrayManagerPresent());
    HWND window = MakeWindow("", 0, 0, 100, 100);
    NOTIFYICONDATAA record = TrayRecord(window);
    ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &record));
    ::Window icon = 0;
    ASSERT_TRUE(PumpUntil([&] { return (icon = manager.TakeDockRequest()) != 0; }));
    EXPECT_EQ(icon, zem::platform::XTrayIconWindow(window, 1));
    ASSERT_TRUE(PumpUntil([&] { return RootPixel(811, 741) == 0xE02020u; })) << "the icon's pixels";
    EXPECT_EQ(zem::testing::WindowName(observer, icon), "播放器");

    MoveTo(811, 741);
    Button(1, true);
    Button(1, false);
    Button(1, true);
    Button(1, false);
    ASSERT_TRUE(PumpUntil([] { return TrayCallbacks().size() == 4; }));
    EXPECT_EQ(TrayCallbacks(), (std::vector<LPARAM>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}));

    record.uFlags = NIF_INFO;
    const std::string info = zem::platform::Utf8ToGbk("发现新版本");
    std::copy(info.begin(), info.end(), record.szInfo);
    ASSERT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &record));
    HWND balloon = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        for (HWND top : zem::platform::TopLevelWindows())
            if (zem::platform::WindowClassName(top) == "ZemBalloon" && IsWindowVisible(top)) balloon = top;
        return balloon != nullptr;
    }));
    ASSERT_NE(Shown(balloon), 0u);
    const RECT place = zem::platform::WindowScreenRect(balloon);
    MoveTo(place.left + 100, place.top + 50);
    Button(1, true);
    Button(1, false);
    EXPECT_TRUE(PumpUntil([] { return TrayCallbacks().size() == 5 && TrayCallbacks().back() == NIN_BALLOONUSERCLICK; }));
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(balloon); }));
}

// Without a tray manager no icon shows; a manager that starts later gets the
// icon at once.
TEST_F(DisplayTest, WithoutATrayManagerNoIconShowsUntilOneStarts) {
    EXPECT_FALSE(zem::platform::TrayManagerPresent());
    HWND window = MakeWindow("", 0, 0, 100, 100);
    NOTIFYICONDATAA record = TrayRecord(window);
    ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &record));
    PumpFor(std::chrono::milliseconds(100));
    EXPECT_EQ(zem::platform::XTrayIconWindow(window, 1), 0u);
    EXPECT_TRUE(zem::platform::ClickTrayIcon(window, 1, zem::platform::MouseButton::Left)) << "the model still works";

    TestTrayManager manager(observer);
    ::Window icon = 0;
    EXPECT_TRUE(HappensSoon([&] { return (icon = manager.TakeDockRequest()) != 0; }));
    EXPECT_EQ(icon, zem::platform::XTrayIconWindow(window, 1));
}

// The pointer over a window shows its pointer: a standard shape, or the
// picture of a custom pointer (99), held at its centre.
TEST_F(DisplayTest, ACustomPointerShowsItsPicture) {
    HWND window = MakeWindow("", 100, 100, 200, 100);
    zem::platform::IconImage image;
    image.width = image.height = 8;
    image.pixels.assign(64, 0xFF00C000);
    zem::platform::SetWindowCursorIcon(window, zem::platform::CreateIconFromImage(image));
    zem::platform::SetWindowCursorId(window, 99);
    ASSERT_NE(Shown(window), 0u);
    MoveTo(150, 150);
    ASSERT_TRUE(PumpUntil([] {
        POINT point{};
        GetCursorPos(&point);
        return point.x == 150;
    }));
    // The pointer is set before the loop's next wait, which nothing else ends.
    EXPECT_TRUE(HappensSoon([&] {
        XFixesCursorImage* cursor = XFixesGetCursorImage(observer);
        // An icon shown as the pointer has its hot spot in its centre.
        const bool custom = cursor != nullptr && cursor->width == 8 && cursor->height == 8 && cursor->xhot == 4 &&
                            cursor->yhot == 4 && (cursor->pixels[0] & 0xFFFFFFFFUL) == 0xFF00C000UL;
        if (cursor != nullptr) XFree(cursor);
        return custom;
    }));
}

// After a window's first picture only what is drawn is composed and sent
// again: each way of drawing reaches the server at its place, and only there.
TEST_F(DisplayTest, EachDrawingReachesTheServerAtItsPlaceAndOnlyThere) {
    HWND window = MakeWindow("", 100, 80, 200, 120);
    HWND child = CreateWindowExA(0, "DisplayTest", "", WS_CHILD | WS_VISIBLE, 50, 40, 100, 60, window, nullptr,
                                 nullptr, nullptr);
    ASSERT_NE(Shown(window), 0u);
    ASSERT_TRUE(PumpUntil([&] { return RootPixel(240, 170) == Rgb(g_fill); }));
    const COLORREF before = g_fill;
    struct Way {
        const char* what;
        std::function<void(COLORREF)> draw;
        POINT changed;  // root points
        POINT kept;
    };
    const std::vector<Way> ways = {
        {"a window DC of the child",
         [&](COLORREF color) {
             HDC dc = GetDC(child);
             HBRUSH brush = CreateSolidBrush(color);
             const RECT part{10, 10, 30, 30};
             FillRect(dc, &part, brush);
             DeleteObject(brush);
             ReleaseDC(child, dc);
         },
         {170, 140},
         {190, 140}},
        {"a paint of part of the window",
         [&](COLORREF color) {
             g_fill = color;  // the whole window is filled, clipped to the update area
             const RECT part{5, 5, 25, 25};
             InvalidateRect(window, &part, FALSE);
         },
         {110, 90},
         {130, 90}},
        {"pixels written into the child's surface",
         [&](COLORREF color) {
             const RECT part{60, 30, 80, 50};
             zem::platform::WindowSurface(child)->Fill(part, zem::platform::PixelFromColor(color));
             zem::platform::SurfaceDrawn(child, part);
         },
         {220, 160},
         {240, 160}},
    };
    COLORREF color = RGB(10, 20, 200);
    for (const Way& way : ways) {
        SCOPED_TRACE(way.what);
        color += RGB(0, 40, 0);
        way.draw(color);
        EXPECT_TRUE(HappensSoon([&] { return RootPixel(way.changed.x, way.changed.y) == Rgb(color); }));
        EXPECT_EQ(RootPixel(way.kept.x, way.kept.y), Rgb(before));
    }
    g_fill = before;
}

// The pixels of a window made smaller and then larger again are all shown.
TEST_F(DisplayTest, AWindowMadeSmallerAndLargerAgainShowsAllItsPixels) {
    HWND window = MakeWindow("", 100, 80, 200, 120);
    const ::Window shown = Shown(window);
    ASSERT_NE(shown, 0u);
    ASSERT_TRUE(PumpUntil([&] { return RootPixel(290, 190) == Rgb(g_fill); }));
    SetWindowPos(window, nullptr, 0, 0, 120, 70, SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_TRUE(PumpUntil([&] { return RootRect(shown).right == 220; }));
    SetWindowPos(window, nullptr, 0, 0, 200, 120, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_TRUE(PumpUntil([&] { return RootPixel(290, 190) == Rgb(g_fill); }));
}

TEST(DisplayLoss, TheXServerGoingAwayEndsTheProgramCleanly) {
    EXPECT_EXIT(
        {
            zem::platform::TestDesktop desktop;
            XvfbServer server;
            if (!zem::platform::StartDesktopDisplay(server.Name().c_str())) std::_Exit(3);
            WNDCLASSA windowClass{};
            windowClass.lpfnWndProc = DefWindowProcA;
            windowClass.lpszClassName = "Lost";
            RegisterClassA(&windowClass);
            HWND window = CreateWindowExA(0, "Lost", "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                          nullptr, nullptr);
            PumpUntil([&] { return zem::platform::XWindowOf(window) != 0; });
            server.Stop();
            PumpFor(zem::testing::kEventWait);
            std::_Exit(4);
        },
        ::testing::ExitedWithCode(1), "connection to the X server was lost");
}

}  // namespace
