// The main-window hooks: the maximize limit and the taskbar menu.
#include <gtest/gtest.h>

#include <vector>

#include "platform/window/user32.h"
#include "platform/window/window_system.h"
#include "shell/max_size.h"
#include "shell/program_windows.h"
#include "shell/taskbar_menu.h"

using namespace zem::platform;

namespace {

struct Seen {
    UINT message;
    bool mainVisible;
    LONG_PTR procedure;  // the window's procedure as the message arrived
};
std::vector<Seen> seen;
HWND mainWindow = nullptr;

LRESULT OwnProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    seen.push_back({message, IsWindowVisible(mainWindow) != FALSE, GetWindowLongPtrA(window, GWL_WNDPROC)});
    return DefWindowProcA(window, message, wParam, lParam);
}

struct HookFixture : ::testing::Test {
    HookFixture() {
        ResetWindowSystem();
        无边框窗体最大化::ResetModuleState();
        状态栏::ResetModuleState();
        seen.clear();
        WNDCLASSA windowClass;
        windowClass.lpfnWndProc = &OwnProcedure;
        windowClass.lpszClassName = "HookTestMain";
        RegisterClassA(&windowClass);
        mainWindow = CreateWindowExA(0, "HookTestMain", "main", WS_POPUP | WS_VISIBLE, 100, 100, 400, 300, nullptr,
                                     nullptr, nullptr, nullptr);
        zem::shell::ProgramWindows windows;
        windows.mainVisible = [] { return IsWindowVisible(mainWindow) != FALSE; };
        windows.setMainVisible = [](bool visible) { ShowWindow(mainWindow, visible ? SW_SHOW : SW_HIDE); };
        zem::shell::RegisterProgramWindows(windows);
        seen.clear();
    }
    ~HookFixture() override {
        zem::shell::RegisterProgramWindows({});
        ResetWindowSystem();
    }
    bool Saw(UINT message) const {
        for (const Seen& s : seen)
            if (s.message == message) return true;
        return false;
    }
};

}  // namespace

using MaxSizeTest = HookFixture;

TEST_F(MaxSizeTest, MaximizedWindowFillsTheScreenAboveTheTaskbar) {
    struct Case {
        TaskbarEdge edge;
        LONG thickness;
        float taskbarTwips;
        bool maximize;
        RECT maximized;
    };
    const Case cases[] = {
        {TaskbarEdge::Bottom, 40, 40 * 15.0f, true, {0, 0, 1366, 728}},
        {TaskbarEdge::None, 40, 0.0f, true, {0, 0, 1366, 768}},
        // Docked at a side the measure is the taskbar's full height.
        {TaskbarEdge::Left, 60, 768 * 15.0f, false, {}},
        {TaskbarEdge::Right, 60, 768 * 15.0f, false, {}},
    };
    for (const Case& c : cases) {
        ResetWindowSystem();
        无边框窗体最大化::ResetModuleState();
        ConfigureDesktop(DesktopSettings{1366, 768, c.edge, c.thickness});
        WNDCLASSA windowClass;
        windowClass.lpfnWndProc = &OwnProcedure;
        windowClass.lpszClassName = "HookTestMain";
        RegisterClassA(&windowClass);
        HWND window = CreateWindowExA(0, "HookTestMain", "main", WS_POPUP | WS_VISIBLE, 50, 60, 400, 300, nullptr,
                                      nullptr, nullptr, nullptr);
        const float taskbar = 无边框窗体最大化::GetTaskbarHeight();
        EXPECT_FLOAT_EQ(taskbar, c.taskbarTwips);
        if (!c.maximize) continue;
        const LONG zero = 0;
        const LONG width = GetSystemMetrics(SM_CXSCREEN);
        const LONG height = GetSystemMetrics(SM_CYSCREEN) - static_cast<LONG>(taskbar / 15);
        无边框窗体最大化::SetMaxSize(window, zero, zero, width, height);
        ShowWindow(window, SW_MAXIMIZE);
        RECT rect{};
        GetWindowRect(window, &rect);
        EXPECT_EQ(rect.left, c.maximized.left);
        EXPECT_EQ(rect.top, c.maximized.top);
        EXPECT_EQ(rect.right, c.maximized.right);
        EXPECT_EQ(rect.bottom, c.maximized.bottom) << static_cast<int>(c.edge);
    }
}

TEST_F(MaxSizeTest, HookAnswersMinMaxInfoItselfAndPassesTheRestOn) {
    const LONG minWidth = 200, minHeight = 100, zero = 0;
    无边框窗体最大化::SetMaxSize(mainWindow, minWidth, minHeight, zero, zero);
    MINMAXINFO info{};
    info.ptReserved = POINT{7, 8};
    EXPECT_EQ(SendMessageA(mainWindow, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info)), 0);
    EXPECT_FALSE(Saw(WM_GETMINMAXINFO));
    EXPECT_EQ(info.ptReserved.x, 7);
    EXPECT_EQ(info.ptMaxSize.x, 1366);  // 0 stands for the screen
    EXPECT_EQ(info.ptMaxSize.y, 768);
    EXPECT_EQ(info.ptMaxPosition.x, 0);
    EXPECT_EQ(info.ptMinTrackSize.x, 200);
    EXPECT_EQ(info.ptMinTrackSize.y, 100);
    EXPECT_EQ(info.ptMaxTrackSize.y, 768);
    SendMessageA(mainWindow, WM_USER + 5, 0, 0);
    EXPECT_TRUE(Saw(WM_USER + 5));
}

TEST_F(MaxSizeTest, NoTaskbarAtFirstMeasureGivesZero) {
    ConfigureDesktop(DesktopSettings{1366, 768, TaskbarEdge::None, 0});
    EXPECT_FLOAT_EQ(无边框窗体最大化::GetTaskbarHeight(), 0.0f);
}

using TaskbarMenuTest = HookFixture;

TEST_F(TaskbarMenuTest, CloseHidesTheMainWindowFirstThenReachesItsOwnProcedure) {
    状态栏::EnableTaskbarMenu(mainWindow);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(mainWindow, GWL_STYLE)) & 0xA0000u, 0xA0000u);
    SendMessageA(mainWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
    bool sawClose = false;
    for (const Seen& s : seen)
        if (s.message == WM_SYSCOMMAND) {
            sawClose = true;
            EXPECT_FALSE(s.mainVisible) << "hidden before the window's own procedure sees the command";
        }
    EXPECT_TRUE(sawClose);
    // The default reaction closes the window; the hook took itself out on the way.
    EXPECT_FALSE(IsWindow(mainWindow));
    EXPECT_TRUE(Saw(WM_DESTROY));
}

TEST_F(TaskbarMenuTest, OtherCommandsPassUnchanged) {
    状态栏::EnableTaskbarMenu(mainWindow);
    // Only exactly SC_CLOSE hides; a neighbouring value reaches the window untouched.
    SendMessageA(mainWindow, WM_SYSCOMMAND, SC_CLOSE + 1, 0);
    ASSERT_TRUE(Saw(WM_SYSCOMMAND));
    for (const Seen& s : seen)
        if (s.message == WM_SYSCOMMAND) {
            EXPECT_TRUE(s.mainVisible);
        }
}

TEST_F(TaskbarMenuTest, DestroyPutsTheSavedProcedureBack) {
    状态栏::EnableTaskbarMenu(mainWindow);
    EXPECT_EQ(GetWindowLongPtrA(mainWindow, GWL_WNDPROC), reinterpret_cast<LONG_PTR>(&状态栏::TaskbarMenuWndProc));
    seen.clear();
    DestroyWindow(mainWindow);
    // The window's own procedure is back in place when it handles its
    // destruction, and receives the last message after it.
    bool sawDestroy = false;
    for (const Seen& s : seen)
        if (s.message == WM_DESTROY) {
            sawDestroy = true;
            EXPECT_EQ(s.procedure, reinterpret_cast<LONG_PTR>(&OwnProcedure));
        }
    EXPECT_TRUE(sawDestroy);
    EXPECT_TRUE(Saw(WM_NCDESTROY));
    // The hook left with the window: a new main window can be hooked again.
    HWND second = CreateWindowExA(0, "HookTestMain", "again", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    状态栏::EnableTaskbarMenu(second);
    EXPECT_EQ(GetWindowLongPtrA(second, GWL_WNDPROC), reinterpret_cast<LONG_PTR>(&状态栏::TaskbarMenuWndProc));
    SendMessageA(second, WM_USER, 0, 0);
    EXPECT_TRUE(Saw(WM_USER));
}
