#include <algorithm>
#include <array>

#include <gtest/gtest.h>

#include "platform/window/test_desktop.h"
#include "platform/window/user32.h"
#include "tests/window/recorder.h"

using namespace window_test;
using zem::platform::TestDesktop;

namespace {

class Windows : public ::testing::Test {
protected:
    void SetUp() override {
        Log().clear();
        RegisterRecordingClass("Recorder");
    }
    TestDesktop desktop;
};

TEST_F(Windows, ChildGeometryIsRelativeToItsParent) {
    HWND parent = MakeWindow(100, 50, 400, 300);
    HWND child = MakeWindow(10, 20, 30, 40, parent);
    ASSERT_NE(child, nullptr);
    RECT rect{};
    ASSERT_TRUE(GetWindowRect(child, &rect));
    EXPECT_EQ(rect.left, 110);
    EXPECT_EQ(rect.top, 70);
    EXPECT_EQ(rect.right, 140);
    EXPECT_EQ(rect.bottom, 110);
    GetClientRect(child, &rect);
    EXPECT_EQ(rect.right, 30);
    EXPECT_EQ(rect.bottom, 40);

    POINT point{115, 75};
    ScreenToClient(child, &point);
    EXPECT_EQ(point.x, 5);
    EXPECT_EQ(point.y, 5);
    ClientToScreen(child, &point);
    EXPECT_EQ(point.x, 115);

    std::vector<zem::platform::WindowEvent> events;
    zem::platform::WindowObserverRegistration registration(
        [&](const zem::platform::WindowEvent& event) { events.push_back(event); });
    MoveWindow(parent, 0, 0, 400, 300, TRUE);
    GetWindowRect(child, &rect);
    EXPECT_EQ(rect.left, 10);
    // A child moved along with its parent is told so too, for its surface.
    EXPECT_TRUE(std::any_of(events.begin(), events.end(), [child](const auto& event) {
        return event.window == child && event.kind == zem::platform::WindowEventKind::Moved;
    }));
    EXPECT_EQ(GetParent(child), parent);
    EXPECT_TRUE(IsChild(parent, child));
    EXPECT_FALSE(IsChild(child, parent));
    EXPECT_EQ(zem::platform::ChildWindows(parent), std::vector<HWND>{child});
}

TEST_F(Windows, HandlesAreSmallAndNeverReused) {
    HWND first = MakeWindow(0, 0, 10, 10);
    DestroyWindow(first);
    HWND second = MakeWindow(0, 0, 10, 10);
    EXPECT_NE(first, second);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_LE(reinterpret_cast<std::uintptr_t>(second), 0xFFFFFFFFu);
}

TEST_F(Windows, DestroyReachesTheWholeTreeParentFirst) {
    HWND parent = MakeWindow(0, 0, 100, 100);
    HWND child = MakeWindow(0, 0, 10, 10, parent);
    HWND grandchild = MakeWindow(0, 0, 5, 5, child);
    std::vector<zem::platform::WindowEvent> events;
    zem::platform::WindowObserverRegistration registration(
        [&](const zem::platform::WindowEvent& event) { events.push_back(event); });
    Log().clear();
    ASSERT_TRUE(DestroyWindow(parent));
    const auto destroyed = Only(WM_DESTROY);
    ASSERT_EQ(destroyed.size(), 3u);
    EXPECT_EQ(destroyed[0].window, parent);
    EXPECT_EQ(destroyed[1].window, child);
    EXPECT_EQ(destroyed[2].window, grandchild);
    for (HWND each : {parent, child, grandchild}) {
        EXPECT_FALSE(IsWindow(each));
        EXPECT_TRUE(std::any_of(events.begin(), events.end(), [each](const auto& event) {
            return event.window == each && event.kind == zem::platform::WindowEventKind::Destroyed;
        }));
    }
    EXPECT_FALSE(DestroyWindow(parent));
}

TEST_F(Windows, StylesAndUserDataGoThroughWindowLongs) {
    HWND window = MakeWindow(0, 0, 10, 10);
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    EXPECT_NE(style & WS_VISIBLE, 0);
    SetWindowLongPtrA(window, GWL_STYLE, style | 0xA0000);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)), static_cast<DWORD>(style) | WS_SYSMENU | WS_MINIMIZEBOX);
    SetWindowLongPtrA(window, GWL_EXSTYLE, WS_EX_LAYERED);
    EXPECT_EQ(GetWindowLongPtrA(window, GWL_EXSTYLE), static_cast<LONG_PTR>(WS_EX_LAYERED));
    EXPECT_EQ(SetWindowLongPtrA(window, GWLP_USERDATA, 1234), 0);
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_USERDATA), 1234);
    EXPECT_EQ(GetWindowLongPtrA(window, GWL_WNDPROC), reinterpret_cast<LONG_PTR>(&RecordingProc));
    // A hidden window reads as hidden whatever way it was hidden.
    SetWindowLongPtrA(window, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_VISIBLE));
    EXPECT_FALSE(IsWindowVisible(window));
}

// Three procedures chained in front of the window's own; each writes its
// mark and passes the message on to the one it replaced.
std::string g_trail;
std::array<WNDPROC, 3> g_saved{};
template <int Index>
LRESULT ChainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER) g_trail += static_cast<char>('A' + Index);
    return CallWindowProcA(g_saved[Index], window, message, wParam, lParam);
}
constexpr std::array<WNDPROC, 3> kChain = {ChainProc<0>, ChainProc<1>, ChainProc<2>};

LRESULT Answer(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER) {
        g_trail += 'W';
        return static_cast<LRESULT>(wParam + static_cast<WPARAM>(lParam));
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(Windows, AHookChainPassesEveryMessageThroughWhatIsLeftOfIt) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = Answer;
    windowClass.lpszClassName = "Answer";
    RegisterClassA(&windowClass);
    std::array<int, 3> removal = {0, 1, 2};
    do {
        HWND window = MakeWindow(0, 0, 10, 10, nullptr, "Answer");
        for (int index = 0; index < 3; ++index)
            g_saved[index] = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrA(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(kChain[index])));
        g_trail.clear();
        EXPECT_EQ(SendMessageA(window, WM_USER, 40, 2), 42);
        EXPECT_EQ(g_trail, "CBAW");
        std::string present = "CBA";
        for (int index : removal) {
            // Unhooking from the middle: whoever holds this procedure as its
            // saved one takes this procedure's saved one instead.
            const WNDPROC current = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWL_WNDPROC));
            if (current == kChain[index]) {
                SetWindowLongPtrA(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(g_saved[index]));
            } else {
                for (WNDPROC& saved : g_saved)
                    if (saved == kChain[index]) saved = g_saved[index];
            }
            present.erase(present.find(static_cast<char>('A' + index)), 1);
            g_trail.clear();
            EXPECT_EQ(SendMessageA(window, WM_USER, 1, 1), 2);
            EXPECT_EQ(g_trail, present + "W") << "after removing " << index;
        }
        EXPECT_EQ(GetWindowLongPtrA(window, GWL_WNDPROC), reinterpret_cast<LONG_PTR>(&Answer));
        DestroyWindow(window);
    } while (std::next_permutation(removal.begin(), removal.end()));
}

TEST_F(Windows, CloseCommandClosesAndDefaultCloseDestroys) {
    HWND window = MakeWindow(0, 0, 10, 10);
    SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(Only(WM_CLOSE).size(), 1u);
    EXPECT_FALSE(IsWindow(window));
}

MINMAXINFO g_limits{};
LRESULT LimitProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETMINMAXINFO) {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        g_limits = *info;
        info->ptMaxSize = {1366, 728};
        info->ptMaxPosition = {0, 0};
        return 0;
    }
    return RecordingProc(window, message, wParam, lParam);
}

TEST_F(Windows, MaximizeAsksForLimitsAndRestoreGoesBack) {
    HWND window = MakeWindow(100, 100, 300, 200);
    SetWindowLongPtrA(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&LimitProc));
    SendMessageA(window, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_EQ(g_limits.ptMaxSize.x, 1366);  // the default offered: the whole screen
    EXPECT_EQ(g_limits.ptMaxSize.y, 768);
    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.bottom, 728);
    EXPECT_TRUE(IsZoomed(window));
    ASSERT_FALSE(Only(WM_SIZE).empty());
    EXPECT_EQ(Only(WM_SIZE).back().wParam, SIZE_MAXIMIZED);

    SendMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(IsIconic(window));
    EXPECT_FALSE(zem::platform::IsEffectivelyVisible(window));
    EXPECT_EQ(Only(WM_SIZE).back().wParam, SIZE_MINIMIZED);
    // Restoring a window minimized from maximized maximizes it again.
    SendMessageA(window, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(IsZoomed(window));
    SendMessageA(window, WM_SYSCOMMAND, SC_RESTORE, 0);
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.right, 400);
    EXPECT_FALSE(IsZoomed(window));
}

TEST_F(Windows, ZOrderKeepsTopmostWindowsAhead) {
    HWND taskbar = FindWindowA("shell_traywnd", "");
    HWND first = MakeWindow(0, 0, 10, 10);
    HWND second = MakeWindow(0, 0, 10, 10);
    EXPECT_EQ(zem::platform::TopLevelWindows(), (std::vector<HWND>{taskbar, second, first}));
    SetForegroundWindow(first);
    EXPECT_EQ(GetForegroundWindow(), first);
    EXPECT_EQ(zem::platform::TopLevelWindows(), (std::vector<HWND>{taskbar, first, second}));
    SetWindowPos(first, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(zem::platform::TopLevelWindows().back(), first);
}

// An owned window keeps above its owner however either moves in the z-order,
// hides while its owner is minimized and comes back with its restore (unless
// the program hid it itself); an owner that would own itself is refused.
TEST_F(Windows, OwnedWindowsStayAboveTheirOwnerAndGoWithItsMinimize) {
    HWND taskbar = FindWindowA("shell_traywnd", "");
    HWND owner = MakeWindow(0, 0, 300, 200);
    HWND owned = MakeWindow(0, 0, 10, 10);
    HWND hidden = MakeWindow(0, 0, 10, 10);
    HWND other = MakeWindow(0, 0, 10, 10);
    for (HWND each : {owned, hidden})
        SetWindowLongPtrA(each, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    EXPECT_EQ(zem::platform::OwnerWindow(owned), owner);
    EXPECT_EQ(SetWindowLongPtrA(owner, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owned)), 0);
    EXPECT_EQ(zem::platform::OwnerWindow(owner), nullptr);

    SetForegroundWindow(owner);
    EXPECT_EQ(zem::platform::TopLevelWindows(), (std::vector<HWND>{taskbar, hidden, owned, owner, other}));
    SetWindowPos(owned, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(zem::platform::TopLevelWindows(), (std::vector<HWND>{taskbar, hidden, owned, owner, other}));

    ShowWindow(hidden, SW_HIDE);
    for (const bool maximizedFirst : {false, true}) {
        SCOPED_TRACE(maximizedFirst);
        if (maximizedFirst) ShowWindow(owner, SW_SHOWMAXIMIZED);
        RECT before{};
        GetClientRect(owner, &before);
        Log().clear();
        ShowWindow(owner, SW_MINIMIZE);
        EXPECT_FALSE(zem::platform::IsOwnVisible(owned));
        // No client area while minimized, as its size message says.
        RECT client{};
        GetClientRect(owner, &client);
        EXPECT_EQ(client.right, 0);
        EXPECT_EQ(client.bottom, 0);
        ASSERT_EQ(Only(WM_SIZE).size(), 1u);
        EXPECT_EQ(Only(WM_SIZE)[0].lParam, 0);
        ShowWindow(owner, SW_RESTORE);
        EXPECT_TRUE(zem::platform::IsOwnVisible(owned));
        EXPECT_FALSE(zem::platform::IsOwnVisible(hidden));
        GetClientRect(owner, &client);
        EXPECT_EQ(client.right, before.right);
        EXPECT_EQ(client.bottom, before.bottom);
    }
}

TEST_F(Windows, VisibilityOfAChildFollowsItsParent) {
    HWND parent = MakeWindow(0, 0, 100, 100);
    HWND child = MakeWindow(0, 0, 10, 10, parent);
    ShowWindow(parent, SW_HIDE);
    EXPECT_TRUE(zem::platform::IsOwnVisible(child));
    EXPECT_FALSE(IsWindowVisible(child));
    EXPECT_FALSE(zem::platform::IsEffectivelyVisible(child));
    EXPECT_EQ(ShowWindow(parent, SW_SHOW), FALSE);
    EXPECT_TRUE(IsWindowVisible(child));
}

TEST_F(Windows, FocusMovesWithItsMessages) {
    HWND parent = MakeWindow(0, 0, 100, 100);
    HWND one = MakeWindow(0, 0, 10, 10, parent);
    HWND two = MakeWindow(20, 0, 10, 10, parent);
    SetFocus(one);
    Log().clear();
    EXPECT_EQ(SetFocus(two), one);
    ASSERT_EQ(Log().size(), 2u);
    EXPECT_EQ(Log()[0].message, WM_KILLFOCUS);
    EXPECT_EQ(Log()[0].window, one);
    EXPECT_EQ(Log()[1].message, WM_SETFOCUS);
    EXPECT_EQ(GetFocus(), two);
    EnableWindow(two, FALSE);
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(SetFocus(two), nullptr);
    EXPECT_FALSE(IsWindowEnabled(two));
}

struct TaskbarCase {
    zem::platform::TaskbarEdge edge;
    RECT expected;
};

TEST(Desktop, TheTaskbarIsFoundAndMeasuredOnEachEdge) {
    using zem::platform::TaskbarEdge;
    const TaskbarCase cases[] = {
        {TaskbarEdge::Bottom, {0, 728, 1366, 768}},
        {TaskbarEdge::Top, {0, 0, 1366, 40}},
        {TaskbarEdge::Left, {0, 0, 40, 768}},
        {TaskbarEdge::Right, {1326, 0, 1366, 768}},
    };
    for (const TaskbarCase& each : cases) {
        TestDesktop desktop({1366, 768, each.edge, 40});
        HWND taskbar = FindWindowA("shell_traywnd", "");
        ASSERT_NE(taskbar, nullptr);
        RECT rect{};
        GetWindowRect(taskbar, &rect);
        EXPECT_EQ(rect.left, each.expected.left);
        EXPECT_EQ(rect.top, each.expected.top);
        EXPECT_EQ(rect.right, each.expected.right);
        EXPECT_EQ(rect.bottom, each.expected.bottom);
    }
    TestDesktop bare({1024, 600, TaskbarEdge::None, 0});
    EXPECT_EQ(FindWindowA("shell_traywnd", ""), nullptr);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 600);
}

TEST_F(Windows, LayeredAlphaIsKeptOnlyForLayeredWindows) {
    HWND plain = MakeWindow(0, 0, 10, 10);
    EXPECT_FALSE(SetLayeredWindowAttributes(plain, 0, 0, LWA_ALPHA));
    HWND layered = MakeWindow(0, 0, 10, 10, nullptr, "Recorder", WS_EX_LAYERED);
    EXPECT_FALSE(zem::platform::LayeredAlpha(layered).has_value());
    EXPECT_TRUE(SetLayeredWindowAttributes(layered, 0, 0, LWA_ALPHA));
    EXPECT_EQ(zem::platform::LayeredAlpha(layered), BYTE{0});
}

TEST_F(Windows, UpdateWindowPaintsAtOnceOnlyWhenInvalid) {
    HWND window = MakeWindow(0, 0, 50, 50);
    UpdateWindow(window);  // the first paint after showing
    Log().clear();
    UpdateWindow(window);
    EXPECT_TRUE(Only(WM_PAINT).empty());
    const RECT part{10, 10, 20, 20};
    InvalidateRect(window, &part, FALSE);
    RECT update{};
    ASSERT_TRUE(GetUpdateRect(window, &update, FALSE));
    EXPECT_EQ(update.left, 10);
    EXPECT_EQ(update.right, 20);
    UpdateWindow(window);
    EXPECT_EQ(Only(WM_PAINT).size(), 1u);
    EXPECT_FALSE(GetUpdateRect(window, &update, FALSE));  // DefWindowProc validated it
}

}  // namespace
