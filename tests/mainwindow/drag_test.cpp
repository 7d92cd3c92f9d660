// Moving and edge-resizing the borderless window through real input: the
// size pointers by place, each edge and corner with the minimum size, a drag
// that moves, the drag strip's system move, and nothing while maximized.
#include <functional>
#include <optional>
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

// Nothing keeps the window on the screen: a drag takes it above the top, a
// top edge pulled up at the top grows it upwards, and a window partly above
// the screen moves up and down with the pointer.
TEST_F(DragTest, ADragTakesTheWindowAboveTheScreensTop) {
    struct Case {
        const char* name;
        int top;  // where the window starts
        int x, y;
        std::vector<POINT> steps;
        std::vector<LONG> place;  // left change, top, width change, height change
    };
    const Case cases[] = {
        {"header drag above the top", 40, 850, 10, {{5, -30}, {15, -60}}, {20, -50, 0, 0}},
        {"top edge pulled up at the top", 0, 500, 2, {{0, -25}}, {0, -25, 0, 25}},
        {"header drag of a window partly above", -100, 850, 60, {{0, -20}, {0, 50}}, {0, -70, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        forms::DiscardAllForms();
        ResetModules();
        Form1& main = Open();
        main.Move(main.Left(), static_cast<float>(c.top * 15));
        const std::vector<LONG> before = Place(main);
        ASSERT_EQ(before[1], c.top);
        Drag(main, c.x, c.y, c.steps);
        const std::vector<LONG> after = Place(main);
        EXPECT_EQ(after[0] - before[0], c.place[0]);
        EXPECT_EQ(after[1], c.place[1]);
        EXPECT_EQ(after[2] - before[2], c.place[2]);
        EXPECT_EQ(after[3] - before[3], c.place[3]);
    }
}

// The runtime's Move: an argument left out keeps its value, a negative one
// is a place; Left and Top set one coordinate, negative or not.
TEST_F(DragTest, MoveKeepsWhatIsLeftOutAndTakesANegativePlace) {
    Form1& main = Open();
    main.Move(3000, 1500, 16500, 10500);
    struct Case {
        const char* name;
        std::function<void()> change;
        std::vector<LONG> place;  // pixels: left, top, width, height
    };
    const Case cases[] = {
        {"left only", [&] { main.Move(-450); }, {-30, 100, 1100, 700}},
        {"left and top", [&] { main.Move(600, -750); }, {40, -50, 1100, 700}},
        {"width left out, height given", [&] { main.Move(600, -750, std::nullopt, 10050); }, {40, -50, 1100, 670}},
        {"Top", [&] { main.SetTop(-300); }, {40, -20, 1100, 670}},
        {"Left", [&] { main.SetLeft(-150); }, {-10, -20, 1100, 670}},
        {"Width", [&] { main.SetWidth(15150); }, {-10, -20, 1010, 670}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.change();
        EXPECT_EQ(Place(main), c.place);
        EXPECT_EQ(main.Left(), static_cast<float>(c.place[0] * 15));
        EXPECT_EQ(main.Top(), static_cast<float>(c.place[1] * 15));
    }
    // A control's Move: a size left out keeps its value, a negative left and top are places.
    main.Label2.Move(-20, -5);
    EXPECT_EQ(main.Label2.Left(), -20);
    EXPECT_EQ(main.Label2.Top(), -5);
    EXPECT_EQ(main.Label2.Width(), 400);
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
