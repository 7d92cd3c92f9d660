// Moving and edge-resizing the borderless window through real input: the
// size pointers by place, each edge and corner with the minimum size, a drag
// that moves, the drag strip's system move, and nothing while maximized.
#include <string>
#include <vector>

#include "tests/mainwindow/main_window_fixture.h"

namespace zem::mainwindow_testing {
namespace {

class DragTest : public MainWindowFixture {
protected:
    static std::vector<LONG> Place(const Form1& main) {
        const RECT place = ScreenRect(main.hWnd());
        return {place.left, place.top, place.right - place.left, place.bottom - place.top};
    }
    // A drag on the window's surface from an inner point by (dx, dy) in
    // steps, with the given button.
    void Drag(const Form1& main, int x, int y, std::vector<POINT> steps, MouseButton button = MouseButton::Left) {
        desktop.clock().Advance(1000);
        const POINT start = OnScreen(main, x, y);
        platform::MovePointer(start.x, start.y);
        platform::PressButton(button, start.x, start.y);
        POINT at = start;
        for (const POINT& step : steps) {
            at = POINT{at.x + step.x, at.y + step.y};
            platform::MovePointer(at.x, at.y);
        }
        platform::ReleaseButton(button, at.x, at.y);
    }
};

TEST_F(DragTest, ThePointerShowsTheEdgesWithinFivePixels) {
    Form1& main = Open();
    const int w = 1067, h = 665;
    struct Case {
        const char* name;
        int x, y;
        int pointer;
    };
    const Case cases[] = {
        {"top, 5 pixels in", 500, 5, forms::vbSizeNS},      {"6 pixels in", 500, 6, forms::vbDefault},
        {"top-left", 2, 2, forms::vbSizeNWSE},              {"top-right", w - 3, 3, forms::vbSizeNESW},
        {"bottom-left", 1, h - 1, forms::vbSizeNESW},       {"bottom-right", w - 1, h - 2, forms::vbSizeNWSE},
        {"left margin", 1, 300, forms::vbSizeWE},           {"right margin", w - 1, 300, forms::vbSizeWE},
        {"right edge above the labels", w - 2, 15, forms::vbSizeWE}, {"bottom margin", 500, h - 1, forms::vbSizeNS},
        {"header", 850, 10, forms::vbDefault},              {"top-right, 4 pixels in", w - 5, 4, forms::vbSizeNESW},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MoveTo(main, 850, 50);
        MoveTo(main, c.x, c.y);
        EXPECT_EQ(main.MousePointer(), c.pointer);
        EXPECT_EQ(platform::WindowCursorId(main.hWnd()), c.pointer);
    }
}

TEST_F(DragTest, EachEdgeAndCornerResizesAndStopsAtTheMinimumSize) {
    struct Case {
        const char* name;
        int x, y;  // where the drag starts, inside the window
        std::vector<POINT> steps;
        std::vector<LONG> change;  // left, top, width, height
    };
    const Case cases[] = {
        {"bottom down", 500, 664, {{0, 20}, {0, 30}}, {0, 0, 0, 50}},
        {"bottom up, then below the minimum", 500, 664, {{0, 50}, {0, -40}, {0, -60}}, {0, 0, 0, 10}},
        {"top up", 500, 2, {{0, -30}}, {0, -30, 0, 30}},
        {"top down below the minimum", 500, 2, {{0, 20}}, {0, 0, 0, 0}},
        {"left out", 1, 300, {{-20, 0}}, {-20, 0, 20, 0}},
        {"right in, then below the minimum", 1066, 300, {{-60, 0}, {-10, 0}}, {0, 0, -60, 0}},
        {"bottom-right out", 1066, 664, {{30, 40}}, {0, 0, 30, 40}},
        {"top-left out", 2, 2, {{-10, -20}}, {-10, -20, 10, 20}},
        {"top-right out", 1064, 3, {{25, -15}}, {0, -15, 25, 15}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        forms::DiscardAllForms();
        ResetModules();
        Form1& main = Open();
        const std::vector<LONG> before = Place(main);
        Drag(main, c.x, c.y, c.steps);
        const std::vector<LONG> after = Place(main);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(after[i] - before[i], c.change[i]) << i;
        // Form_Resize ran for the new size: the close button follows the right edge.
        EXPECT_EQ(main.Button1[0].Left(), after[2] - 30);
        EXPECT_EQ(main.Picture2.Height(), after[3] - 103);
    }
}

TEST_F(DragTest, ADragOnTheHeaderMovesTheWindowWithAnyButton) {
    for (MouseButton button : {MouseButton::Left, MouseButton::Right, MouseButton::Middle}) {
        forms::DiscardAllForms();
        ResetModules();
        Form1& main = Open();
        const std::vector<LONG> before = Place(main);
        Drag(main, 850, 10, {{10, 5}, {30, 20}}, button);
        EXPECT_EQ(Place(main), (std::vector<LONG>{before[0] + 40, before[1] + 25, before[2], before[3]}));
        EXPECT_TRUE(main.Visible());
    }
}

TEST_F(DragTest, TheDragStripHandsTheMoveToTheSystemAndAHoverMovesNothing) {
    Form1& main = Open();
    const RECT strip = ScreenRect(main.Picture9.hWnd());
    const std::vector<LONG> before = Place(main);
    main.SetMousePointer(forms::vbSizeNS);
    platform::MovePointer(strip.left + 100, strip.top + 20);
    platform::MovePointer(strip.left + 150, strip.top + 10);
    EXPECT_EQ(Place(main), before);
    EXPECT_EQ(main.MousePointer(), forms::vbDefault);

    // Press, move and release arrive together: the system's move loop reads them.
    using Kind = platform::InputEvent::Kind;
    platform::QueueInput({Kind::Press, POINT{strip.left + 100, strip.top + 20}, MouseButton::Left});
    platform::QueueInput({Kind::Move, POINT{strip.left + 101, strip.top + 20}});
    platform::QueueInput({Kind::Move, POINT{strip.left + 161, strip.top - 80}});
    platform::QueueInput({Kind::Release, POINT{strip.left + 161, strip.top - 80}, MouseButton::Left});
    platform::ProcessPendingMessages();
    const std::vector<LONG> after = Place(main);
    EXPECT_EQ(after[0] - before[0], 60);
    EXPECT_EQ(after[1] - before[1], -100);
    EXPECT_EQ(after[2], before[2]);
    EXPECT_EQ(after[3], before[3]);
}

TEST_F(DragTest, WhileMaximizedTheSurfaceNeitherMovesNorResizesTheWindow) {
    Form1& main = Open();
    main.SetWindowState(forms::vbMaximized);
    const std::vector<LONG> before = Place(main);
    main.SetMousePointer(forms::vbDefault);
    MoveTo(main, 500, 2);
    EXPECT_EQ(main.MousePointer(), forms::vbDefault);
    Drag(main, 850, 10, {{40, 30}});
    Drag(main, 500, 2, {{0, 30}});
    EXPECT_EQ(Place(main), before);
    EXPECT_EQ(main.WindowState(), forms::vbMaximized);
}

TEST_F(DragTest, ChildControlsPutThePointerBack) {
    Form1& main = Open();
    main.Button2_Click(1);
    struct Case {
        const char* name;
        HWND window;
        int x, y;
    };
    const Case cases[] = {
        {"ticker background", main.P11.hWnd(), 600, 5},
        {"ticker text", main.P11.hWnd(), 30, 20},
        {"ticker end", main.P11.hWnd(), static_cast<int>(main.P11.ScaleWidth()) - 10, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        main.SetMousePointer(forms::vbSizeWE);
        const RECT place = ScreenRect(c.window);
        platform::MovePointer(place.left + c.x, place.top + c.y);
        EXPECT_EQ(main.MousePointer(), forms::vbDefault);
    }
    main.Button2_Click(0);
    for (HWND window : {main.Picture8.hWnd(), main.Picture6.hWnd(), main.SFPlayList1.hWnd()}) {
        main.SetMousePointer(forms::vbSizeWE);
        const RECT place = ScreenRect(window);
        platform::MovePointer(place.left + 20, place.top + 20);
        EXPECT_EQ(main.MousePointer(), forms::vbDefault);
    }
}

}  // namespace
}  // namespace zem::mainwindow_testing
