#include <gtest/gtest.h>

#include "platform/window/test_desktop.h"
#include "platform/window/user32.h"
#include "tests/window/recorder.h"

using namespace window_test;
using zem::platform::InputEvent;
using zem::platform::MouseButton;
using zem::platform::TestDesktop;

namespace {

class Input : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterRecordingClass("Recorder");
        RegisterRecordingClass("Double", CS_DBLCLKS);
        back = MakeWindow(100, 100, 200, 200);
        front = MakeWindow(150, 150, 50, 50);
        child = MakeWindow(10, 10, 20, 20, back);
        zem::platform::ProcessPendingMessages();
        Log().clear();
    }
    TestDesktop desktop;
    HWND back = nullptr;
    HWND front = nullptr;
    HWND child = nullptr;
};

TEST_F(Input, TheWindowUnderThePointerGetsTheMoveInClientCoordinates) {
    struct Case {
        POINT screen;
        HWND* expected;
        POINT client;
    };
    const Case cases[] = {
        {{160, 170}, &front, {10, 20}},   // the front window covers the back one
        {{115, 115}, &child, {5, 5}},     // a child covers its parent
        {{105, 290}, &back, {5, 190}},
        {{50, 50}, nullptr, {}},          // the bare desktop
    };
    for (const Case& each : cases) {
        Log().clear();
        zem::platform::MovePointer(each.screen.x, each.screen.y);
        const auto moves = Only(WM_MOUSEMOVE);
        if (each.expected == nullptr) {
            EXPECT_TRUE(moves.empty());
            continue;
        }
        ASSERT_EQ(moves.size(), 1u);
        EXPECT_EQ(moves[0].window, *each.expected);
        EXPECT_EQ(GET_X_LPARAM(moves[0].lParam), each.client.x);
        EXPECT_EQ(GET_Y_LPARAM(moves[0].lParam), each.client.y);
    }
    ShowWindow(front, SW_HIDE);
    EXPECT_EQ(zem::platform::WindowAtPoint({160, 170}), back);
}

TEST_F(Input, ButtonsCarryTheirFlagsAndCaptureTakesEverythingWithSignedCoordinates) {
    zem::platform::PressButton(MouseButton::Left, 120, 200);
    zem::platform::PressButton(MouseButton::Right, 120, 200);
    ASSERT_EQ(Only(WM_LBUTTONDOWN).size(), 1u);
    EXPECT_EQ(Only(WM_LBUTTONDOWN)[0].wParam, MK_LBUTTON);
    EXPECT_EQ(Only(WM_RBUTTONDOWN)[0].wParam, MK_LBUTTON | MK_RBUTTON);
    EXPECT_EQ(GetForegroundWindow(), back);

    SetCapture(back);
    Log().clear();
    zem::platform::MovePointer(40, 60);
    zem::platform::ReleaseButton(MouseButton::Right, 40, 60);
    zem::platform::ReleaseButton(MouseButton::Left, 40, 60);
    const auto moves = Only(WM_MOUSEMOVE);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].window, back);
    EXPECT_EQ(GET_X_LPARAM(moves[0].lParam), -60);
    EXPECT_EQ(GET_Y_LPARAM(moves[0].lParam), -40);
    EXPECT_EQ(moves[0].wParam, MK_LBUTTON | MK_RBUTTON);
    EXPECT_EQ(Only(WM_RBUTTONUP)[0].wParam, MK_LBUTTON);
    EXPECT_EQ(Only(WM_LBUTTONUP)[0].wParam, 0u);
    EXPECT_EQ(Only(WM_LBUTTONUP)[0].window, back);
    EXPECT_EQ(GetCapture(), back);
    EXPECT_TRUE(ReleaseCapture());
    EXPECT_EQ(Only(WM_CAPTURECHANGED).size(), 1u);
    EXPECT_EQ(GetCapture(), nullptr);
    POINT cursor{};
    GetCursorPos(&cursor);
    EXPECT_EQ(cursor.x, 40);
}

TEST_F(Input, ASecondPressInTimeAndPlaceIsADoubleClickForClassesThatAskForIt) {
    HWND doubles = MakeWindow(400, 400, 100, 100, nullptr, "Double");
    struct Case {
        const char* what;
        HWND* window;
        zem::platform::Milliseconds pause;
        LONG dx;
        bool expectDouble;
    };
    HWND plain = back;
    const Case cases[] = {
        {"quick, same place", &doubles, 100, 0, true},
        {"at the time limit", &doubles, 500, 2, true},
        {"too late", &doubles, 501, 0, false},
        {"too far", &doubles, 100, 3, false},
        {"class without double clicks", &plain, 100, 0, false},
    };
    for (const Case& each : cases) {
        desktop.clock().Advance(10'000);  // forget earlier presses
        RECT rect{};
        GetWindowRect(*each.window, &rect);
        const LONG x = rect.left + 50, y = rect.top + 50;
        zem::platform::Click(MouseButton::Left, x, y);
        desktop.clock().Advance(each.pause);
        Log().clear();
        zem::platform::Click(MouseButton::Left, x + each.dx, y);
        EXPECT_EQ(Only(WM_LBUTTONDBLCLK).size(), each.expectDouble ? 1u : 0u) << each.what;
        EXPECT_EQ(Only(WM_LBUTTONDOWN).size(), each.expectDouble ? 0u : 1u) << each.what;
    }
    // A third quick press starts a new pair.
    desktop.clock().Advance(10'000);
    zem::platform::Click(MouseButton::Left, 450, 450);
    zem::platform::Click(MouseButton::Left, 450, 450);
    Log().clear();
    zem::platform::Click(MouseButton::Left, 450, 450);
    EXPECT_EQ(Only(WM_LBUTTONDOWN).size(), 1u);
}

TEST_F(Input, TheWheelGoesToTheWindowUnderThePointerAndOnToItsParent) {
    zem::platform::TurnWheel(-120, 115, 115);
    const auto turns = Only(WM_MOUSEWHEEL);
    ASSERT_EQ(turns.size(), 2u);  // the child's default passes it to the parent
    EXPECT_EQ(turns[0].window, child);
    EXPECT_EQ(turns[1].window, back);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(turns[0].wParam), -120);
    EXPECT_EQ(GET_X_LPARAM(turns[0].lParam), 115);  // screen coordinates
}

TEST_F(Input, LeaveTrackingSendsOneLeaveAndIsReArmedByTheNextRequest) {
    zem::platform::MovePointer(250, 120);
    TRACKMOUSEEVENT request{};
    request.dwFlags = TME_LEAVE;
    request.hwndTrack = back;
    ASSERT_TRUE(TrackMouseEvent(&request));
    zem::platform::MovePointer(260, 120);
    EXPECT_TRUE(Only(WM_MOUSELEAVE).empty());
    zem::platform::MovePointer(50, 50);
    zem::platform::MovePointer(250, 120);
    zem::platform::MovePointer(50, 50);
    ASSERT_EQ(Only(WM_MOUSELEAVE).size(), 1u);
    EXPECT_EQ(Only(WM_MOUSELEAVE)[0].window, back);

    // Asked while the pointer is elsewhere, the leave comes at once.
    Log().clear();
    TrackMouseEvent(&request);
    zem::platform::ProcessPendingMessages();
    EXPECT_EQ(Only(WM_MOUSELEAVE).size(), 1u);
    request.cbSize = 3;
    EXPECT_FALSE(TrackMouseEvent(&request));
}

TEST_F(Input, PointsOutsideAWindowRegionMissIt) {
    SetWindowRgn(front, CreateRoundRectRgn(0, 0, 51, 250, 5, 5), TRUE);
    EXPECT_EQ(zem::platform::WindowAtPoint({150, 150}), back);   // the cut top-left corner
    EXPECT_EQ(zem::platform::WindowAtPoint({151, 150}), front);
    EXPECT_EQ(zem::platform::WindowAtPoint({150, 199}), front);  // the square bottom corner
}

TEST_F(Input, DisabledWindowsGetNoMouseMessages) {
    EnableWindow(back, FALSE);
    Log().clear();
    zem::platform::Click(MouseButton::Left, 115, 115);
    zem::platform::Click(MouseButton::Left, 250, 250);
    EXPECT_TRUE(Only(WM_LBUTTONDOWN).empty());
}

TEST_F(Input, TheMoveLoopFollowsScriptedInputAndReturnsAtTheRelease) {
    zem::platform::PressButton(MouseButton::Left, 110, 110);
    zem::platform::QueueInput({InputEvent::Kind::Move, {120, 130}});
    zem::platform::QueueInput({InputEvent::Kind::Move, {160, 140}});
    zem::platform::QueueInput({InputEvent::Kind::Release, {170, 150}});
    zem::platform::QueueInput({InputEvent::Kind::Move, {500, 500}});  // after the release: not the loop's
    Log().clear();
    ReleaseCapture();
    EXPECT_EQ(SendMessageA(back, WM_SYSCOMMAND, 0xF012, 0), 0);
    RECT rect{};
    GetWindowRect(back, &rect);
    EXPECT_EQ(rect.left, 160);
    EXPECT_EQ(rect.top, 140);
    EXPECT_EQ(Only(WM_MOVE).size(), 3u);
    EXPECT_EQ(Only(WM_ENTERSIZEMOVE).size(), 1u);
    EXPECT_EQ(Only(WM_EXITSIZEMOVE).size(), 1u);
    EXPECT_TRUE(Only(WM_LBUTTONUP).empty());
    EXPECT_FALSE(zem::platform::IsButtonHeld(MouseButton::Left));
    zem::platform::ProcessPendingMessages();
    RECT after{};
    GetWindowRect(back, &after);
    EXPECT_EQ(after.left, 160);
}

TEST_F(Input, TheMoveLoopNeverBlocks) {
    // No button held: nothing to drag.
    EXPECT_EQ(SendMessageA(back, WM_SYSCOMMAND, 0xF012, 0), 0);
    // A held button with nothing scripted and no timer: the drag ends where it is.
    zem::platform::PressButton(MouseButton::Left, 110, 110);
    EXPECT_EQ(SendMessageA(back, WM_SYSCOMMAND, 0xF012, 0), 0);
    RECT rect{};
    GetWindowRect(back, &rect);
    EXPECT_EQ(rect.left, 100);
}

TEST_F(Input, TimersKeepRunningDuringTheMoveLoop) {
    static int ticks;
    ticks = 0;
    SetTimer(nullptr, 0, 100, +[](HWND, UINT, UINT_PTR, DWORD) {
        if (++ticks == 3) zem::platform::QueueInput({InputEvent::Kind::Release, {130, 110}});
    });
    zem::platform::PressButton(MouseButton::Left, 110, 110);
    SendMessageA(back, WM_SYSCOMMAND, 0xF012, 0);
    EXPECT_EQ(ticks, 3);
    RECT rect{};
    GetWindowRect(back, &rect);
    EXPECT_EQ(rect.left, 120);
}

}  // namespace
