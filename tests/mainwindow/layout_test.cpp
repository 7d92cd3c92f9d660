// The panels' layout at the design size, maximized and at the smallest size,
// the play-list toggles with their looks, and the clear button.
#include <string>
#include <vector>

#include "platform/shell/icons.h"
#include "tests/mainwindow/main_window_fixture.h"

namespace zem::mainwindow_testing {
namespace {

std::vector<LONG> Bounds(const forms::Control& control) {
    const RECT& place = control.PixelBounds();
    return {place.left, place.top, place.right - place.left, place.bottom - place.top};
}

class LayoutTest : public MainWindowFixture {};

TEST_F(LayoutTest, BothPanelsAtTheDesignSizeMaximizedAndAtTheSmallestSize) {
    Form1& main = Open();
    struct Size {
        const char* name;
        LONG width, height;  // of the window
    };
    for (const Size& size : {Size{"design", 1067, 665}, Size{"maximized", 1366, 728}, Size{"smallest", 1000, 665}}) {
        SCOPED_TRACE(size.name);
        if (std::string(size.name) == "maximized")
            main.SetWindowState(forms::vbMaximized);
        else {
            main.SetWindowState(forms::vbNormal);
            main.Move(main.Left(), main.Top(), static_cast<float>(size.width * 15), static_cast<float>(size.height * 15));
        }
        platform::ProcessPendingMessages();
        const LONG sw = size.width - 4, sh = size.height - 103;  // the panels' inner size
        EXPECT_EQ(Bounds(main.Picture1), (std::vector<LONG>{2, 101, sw, sh}));
        EXPECT_EQ(Bounds(main.Picture2), (std::vector<LONG>{2, 101, sw, sh}));
        // The library panel.
        EXPECT_EQ(Bounds(main.ListWeb), (std::vector<LONG>{-2, -2, sw + 4, sh - 36}));
        EXPECT_EQ(Bounds(main.W2), (std::vector<LONG>{-2, -2, sw + 4, sh - 34}));
        EXPECT_EQ(Bounds(main.W4), (std::vector<LONG>{-2, -2, sw + 4, sh - 36}));
        EXPECT_EQ(Bounds(main.P11), (std::vector<LONG>{0, sh - 43, sw, 43}));
        EXPECT_EQ(Bounds(main.tupian), (std::vector<LONG>{sw - 460, 0, 460, 43}));
        EXPECT_EQ(Bounds(main.Label2), (std::vector<LONG>{20, 12, 400, 25}));
        // The player panel.
        EXPECT_EQ(Bounds(main.Picture5), (std::vector<LONG>{0, sh - 43, sw, 43}));
        EXPECT_EQ(Bounds(main.Picture6), (std::vector<LONG>{sw - 250, 0, 250, sh - 43}));
        EXPECT_EQ(Bounds(main.Picture3), (std::vector<LONG>{sw - 260, 0, 10, sh - 43}));
        EXPECT_EQ(Bounds(main.PlayWeb), (std::vector<LONG>{-2, -2, sw - 256, sh - 35}));
        EXPECT_EQ(Bounds(main.W3), (std::vector<LONG>{-2, -2, sw - 256, sh - 35}));
        EXPECT_EQ(Bounds(main.vip), (std::vector<LONG>{-40, -40, sw - 180, sh - 3}));
        EXPECT_EQ(Bounds(main.Image11), (std::vector<LONG>{0, 0, 10, sh - 43}));
        EXPECT_EQ(Bounds(main.Picture4), (std::vector<LONG>{0, (sh - 43 - 128 + 1) / 2, 10, 128}));
        EXPECT_EQ(Bounds(main.Picture8), (std::vector<LONG>{sw - 65, 0, 60, 43}));
        EXPECT_EQ(Bounds(main.Picture9), (std::vector<LONG>{(sw - 455 + 1) / 2, 0, 455, 43}));
        EXPECT_EQ(Bounds(main.Label1), (std::vector<LONG>{20, 12, 200, 25}));
        EXPECT_EQ(Bounds(main.Picture7), (std::vector<LONG>{229, 0, 21, 45}));
        EXPECT_EQ(Bounds(main.SFPlayList1), (std::vector<LONG>{0, 45, 250, sh - 43 - 45}));
        // The splitter lies over the 2 pixels the player views reach into it.
        const RECT splitter = ScreenRect(main.Picture3.hWnd());
        EXPECT_EQ(WindowFromPoint(POINT{splitter.left + 1, splitter.top + 10}), main.Picture3.hWnd());
        // The overlay's strip and advertisement, in its twips.
        EXPECT_NEAR(main.vip3.Top(), main.vip.ScaleHeight() - 300, 15);
        EXPECT_NEAR(main.vip3.Width(), main.vip.ScaleWidth(), 15);
        EXPECT_NEAR(main.qvod.Width(), main.vip.ScaleWidth() + 40, 15);
        EXPECT_NEAR(main.qvod.Height(), main.vip.ScaleHeight() + 43, 15);
        // Every computed size is positive.
        for (const forms::Control* control : std::vector<const forms::Control*>{
                 &main.ListWeb, &main.W2, &main.P11, &main.Picture5, &main.Picture6, &main.Picture3, &main.PlayWeb,
                 &main.vip, &main.vip3, &main.qvod, &main.SFPlayList1, &main.Picture4}) {
            EXPECT_GT(Bounds(*control)[2], 0) << control->Name();
            EXPECT_GT(Bounds(*control)[3], 0) << control->Name();
        }
    }
}

// While minimized only the ticker strip follows a size change; the restore
// lays the whole window out again, panels and all.
TEST_F(LayoutTest, WhileMinimizedOnlyTheTickerStripIsLaidOutAndTheRestoreLaysOutAgain) {
    Form1& main = Open();
    const std::vector<LONG> panel = Bounds(main.Picture2);
    const std::vector<LONG> list = Bounds(main.Picture6);
    main.SetWindowState(forms::vbMinimized);
    main.Picture2.Move(2, 101, 900, 400);
    main.P11.SetWidth(700);
    EXPECT_EQ(Bounds(main.Picture6), list);
    EXPECT_EQ(Bounds(main.tupian)[0], 700 - 460);
    main.SetWindowState(forms::vbNormal);
    platform::ProcessPendingMessages();
    EXPECT_EQ(Bounds(main.Picture2), panel);
    EXPECT_EQ(Bounds(main.Picture6), list);
}

TEST_F(LayoutTest, TheTogglesHideAndShowTheListWithTheirLooks) {
    Form1& main = Open();
    main.Button2_Click(0);
    const LONG sw = 1063;
    const HWND toggle = main.Picture4.hWnd();
    EXPECT_TRUE(Shows(toggle, 0, 0, *main.Image12.Picture(), 0, 0, 10, 128));
    // Over the toggle the pointer is its custom one, the picture kept with the
    // window: a 32-pixel icon, white where its hot spot (the centre) lies.
    EXPECT_EQ(platform::WindowCursorId(toggle), forms::vbCustom);
    const platform::IconImage* pointer = platform::IconFromHandle(platform::WindowCursorIcon(toggle));
    ASSERT_NE(pointer, nullptr);
    EXPECT_EQ(pointer->width, 32);
    EXPECT_EQ(pointer->pixels[16 * 32 + 16], 0xFFFFFFFFu);

    // Under the pointer: the hover frame, the capture, and the window's pointer back to the arrow.
    const RECT place = ScreenRect(toggle);
    main.SetMousePointer(forms::vbSizeNS);
    platform::MovePointer(place.left + 5, place.top + 60);
    EXPECT_TRUE(Shows(toggle, 0, 0, *main.Image12.Picture(), 10, 0, 10, 128));
    EXPECT_FALSE(Shows(toggle, 0, 0, *main.Image12.Picture(), 0, 0, 10, 128));
    EXPECT_EQ(GetCapture(), toggle);
    EXPECT_EQ(main.MousePointer(), forms::vbDefault);

    // The splitter's toggle: the list goes, the player views reach to SW - 8.
    desktop.clock().Advance(1000);
    platform::Click(MouseButton::Left, place.left + 5, place.top + 60);
    EXPECT_FALSE(main.Picture6.Visible());
    EXPECT_EQ(Bounds(main.Picture3)[0], sw - 10);
    EXPECT_EQ(main.PlayWeb.PixelBounds().right, sw - 8);
    EXPECT_EQ(main.W3.PixelBounds().right, sw - 8);
    EXPECT_EQ(Bounds(main.Picture6)[0], sw - 250);  // kept up to date while hidden
    platform::MovePointer(place.left - 20, place.top + 60);  // normal frame of the new sprite
    EXPECT_TRUE(Shows(toggle, 0, 0, *main.Image13.Picture(), 0, 0, 10, 128));
    EXPECT_EQ(main.Picture8.Picture(), main.Image20.Picture());  // the bottom bar's look stays

    // The bottom bar's toggle alternates its own look and the list.
    const RECT bar = ScreenRect(main.Picture8.hWnd());
    desktop.clock().Advance(1000);
    platform::Click(MouseButton::Left, bar.left + 30, bar.top + 20);
    EXPECT_TRUE(main.Picture6.Visible());
    EXPECT_EQ(main.Picture8.Picture(), main.Image18.Picture());
    desktop.clock().Advance(1000);
    platform::Click(MouseButton::Left, bar.left + 30, bar.top + 20);
    EXPECT_FALSE(main.Picture6.Visible());
    EXPECT_EQ(main.Picture8.Picture(), main.Image20.Picture());
}

TEST_F(LayoutTest, SpriteButtonsHoverWithTheCaptureAndTheClearButtonEmptiesTheList) {
    Form1& main = Open();
    main.Button2_Click(0);
    main.SFPlayList1.AddNode("一");
    main.SFPlayList1.AddNode("二");
    const HWND clear = main.Picture7.hWnd();
    const RECT place = ScreenRect(clear);
    const platform::Picture& sprite = *main.Image16.Picture();

    main.SetMousePointer(forms::vbSizeNS);
    platform::MovePointer(place.left + 10, place.top + 20);
    EXPECT_TRUE(Shows(clear, 0, 0, sprite, 21, 0, 21, 45));
    EXPECT_EQ(GetCapture(), clear);
    EXPECT_EQ(main.MousePointer(), forms::vbDefault);
    // The left edge counts as outside: normal frame, and no button held lets the capture go.
    platform::MovePointer(place.left, place.top + 20);
    EXPECT_TRUE(Shows(clear, 0, 0, sprite, 0, 0, 21, 45));
    EXPECT_EQ(GetCapture(), nullptr);

    // A press shows the pressed frame until the next move; leaving with the
    // button held keeps the capture until the first move after the release.
    platform::MovePointer(place.left + 10, place.top + 20);
    platform::PressButton(MouseButton::Left, place.left + 10, place.top + 20);
    EXPECT_TRUE(Shows(clear, 0, 0, sprite, 42, 0, 21, 45));
    platform::MovePointer(place.left - 30, place.top + 20);
    EXPECT_TRUE(Shows(clear, 0, 0, sprite, 0, 0, 21, 45));
    EXPECT_EQ(GetCapture(), clear);
    platform::ReleaseButton(MouseButton::Left, place.left - 30, place.top + 20);
    EXPECT_EQ(main.SFPlayList1.NodesCount(), 2);  // released outside: no click
    platform::MovePointer(place.left - 31, place.top + 20);
    EXPECT_EQ(GetCapture(), nullptr);

    desktop.clock().Advance(1000);
    platform::Click(MouseButton::Left, place.left + 10, place.top + 20);
    EXPECT_EQ(main.SFPlayList1.NodesCount(), 0);
}

}  // namespace
}  // namespace zem::mainwindow_testing
