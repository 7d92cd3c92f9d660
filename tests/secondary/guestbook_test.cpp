// The guest-book window over the main window: its two pages on the manual
// clock, the silent switch at each download, its painted title bar, close
// sprite frames, region and frame lines, the browser's overhang and the drag.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/drawing/bitmap.h"
#include "platform/drawing/window_painting.h"
#include "platform/system/files.h"
#include "platform/window/user32.h"
#include "tests/secondary/secondary_fixture.h"
#include "windows/yijian.h"

namespace zem::secondary_testing {
namespace {

using forms::FormInstance;

class GuestBookTest : public MainWindowFixture {
protected:
    yijian& OpenGuestBook() {
        Form1& main = FormInstance<Form1>::Loaded() ? FormInstance<Form1>::Get() : OpenMain();
        yijian& window = FormInstance<yijian>::Get();
        window.Show(forms::vbModeless, &main);
        forms::DoEvents();
        return window;
    }
    std::vector<std::string> Pages(const yijian& window) const {
        std::vector<std::string> pages;
        for (const std::string& step : ViewOf(window.WebBrowser1)->steps)
            if (step.starts_with("Navigate ")) pages.push_back(step.substr(9));
        return pages;
    }
    // Whether the window shows the close sprite's frame at its top-right
    // corner: below the rows the round corner cuts, above the web view's
    // container, which covers the bar's last row.
    static bool ShowsCloseFrame(const yijian& window, int sourceX) {
        forms::DoEvents();
        const platform::Bitmap image = platform::ComposeWindow(window.hWnd());
        const platform::Bitmap& sprite = window.Image4.Picture()->Pixels();
        for (int y = 3; y < 40; ++y)
            for (int x = 0; x < 32; ++x)
                if (image.At(image.Width() - 32 + x, y) != sprite.At(sourceX + x, y)) return false;
        return true;
    }
};

TEST_F(GuestBookTest, TheLocalPageComesFirstAndTheServerPageSixSecondsAfterTheLoad) {
    yijian& window = OpenGuestBook();
    const std::string local = platform::ProgramPath("\\zemskin\\html\\gbook.html");
    EXPECT_EQ(Pages(window), std::vector<std::string>{local});
    EXPECT_TRUE(window.T1.Enabled());
    desktop.clock().Advance(5999);
    EXPECT_EQ(Pages(window), std::vector<std::string>{local});
    desktop.clock().Advance(1);
    EXPECT_EQ(Pages(window), (std::vector<std::string>{local, std::string(kBase) + "/vant/gbook.asp"}));
    EXPECT_FALSE(window.T1.Enabled());
    desktop.clock().Advance(60000);  // once only
    EXPECT_EQ(Pages(window).size(), 2u);
    // Owned by the main window, it stays above it when the main window is
    // clicked; opening it again while it is open only brings it forward, as
    // the active window.
    Form1& main = FormInstance<Form1>::Get();
    EXPECT_EQ(platform::OwnerWindow(window.hWnd()), main.hWnd());
    ClickAt(main, 30, 640);
    EXPECT_EQ(GetForegroundWindow(), main.hWnd());
    const std::vector<HWND> tops = platform::TopLevelWindows();
    EXPECT_LT(std::find(tops.begin(), tops.end(), window.hWnd()), std::find(tops.begin(), tops.end(), main.hWnd()));
    OpenGuestBook();
    EXPECT_EQ(GetForegroundWindow(), window.hWnd());
    EXPECT_EQ(Pages(window).size(), 2u);
}

TEST_F(GuestBookTest, AWindowClosedEarlyNeverSwitchesAndTheNextOpensTheLocalPageAgain) {
    yijian& window = OpenGuestBook();
    desktop.clock().Advance(3000);
    ClickAt(window, 513 - 16, 20);
    EXPECT_FALSE(FormInstance<yijian>::Loaded());
    desktop.clock().Advance(10000);
    const std::size_t stepsAfterClose = views.steps.size();

    // An empty base address gives the bare path.
    FormInstance<Form1>::Get().dizhi.SetCaption("");
    yijian& again = OpenGuestBook();
    EXPECT_EQ(Pages(again), std::vector<std::string>{platform::ProgramPath("\\zemskin\\html\\gbook.html")});
    desktop.clock().Advance(6000);
    EXPECT_EQ(Pages(again).back(), "/vant/gbook.asp");
    EXPECT_GT(views.steps.size(), stepsAfterClose);
}

TEST_F(GuestBookTest, EveryDownloadStartMakesTheViewSilent) {
    yijian& window = OpenGuestBook();
    RecordingView* view = ViewOf(window.WebBrowser1);
    EXPECT_FALSE(view->Silent());
    view->BeginDownload();
    EXPECT_TRUE(view->Silent());
    EXPECT_TRUE(window.WebBrowser1.Silent());
    window.WebBrowser1.SetSilent(false);
    view->BeginDownload();
    EXPECT_TRUE(view->Silent());
}

TEST_F(GuestBookTest, TheCloseSpriteShowsEachFrameAndAClickCloses) {
    yijian& window = OpenGuestBook();
    EXPECT_TRUE(ShowsCloseFrame(window, yijian::kCloseRest));
    MoveTo(window, 513 - 16, 20);
    EXPECT_TRUE(ShowsCloseFrame(window, yijian::kCloseHover));
    MoveTo(window, 300, 20);
    EXPECT_TRUE(ShowsCloseFrame(window, yijian::kCloseRest));
    MoveTo(window, 513 - 16, 20);
    const POINT button = OnScreen(window, 513 - 16, 20);
    platform::PressButton(platform::MouseButton::Left, button.x, button.y);
    EXPECT_TRUE(ShowsCloseFrame(window, yijian::kClosePressed));
    platform::ReleaseButton(platform::MouseButton::Left, button.x, button.y);
    forms::FreeUnloadedForms();
    EXPECT_FALSE(FormInstance<yijian>::Loaded());
    EXPECT_TRUE(FormInstance<Form1>::Get().Visible());
}

TEST_F(GuestBookTest, TheWindowHasItsTitleBarFrameAndRoundTop) {
    yijian& window = OpenGuestBook();
    const Form1& main = FormInstance<Form1>::Get();
    const RECT place = platform::WindowScreenRect(window.hWnd());
    const RECT owner = platform::WindowScreenRect(main.hWnd());
    EXPECT_EQ((std::vector<LONG>{place.left, place.top, place.right - place.left, place.bottom - place.top}),
              (std::vector<LONG>{owner.left + (owner.right - owner.left - 513) / 2,
                                 owner.top + (owner.bottom - owner.top - 302) / 2, 513, 302}));
    EXPECT_TRUE(GetWindowLongA(window.hWnd(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(window.Caption(), "留言求片");

    // Round top corners, square bottom ones.
    const auto region = platform::WindowRegion(window.hWnd());
    ASSERT_TRUE(region);
    EXPECT_FALSE(region->Contains(0, 0));
    EXPECT_FALSE(region->Contains(512, 0));
    EXPECT_TRUE(region->Contains(256, 0));
    EXPECT_TRUE(region->Contains(0, 301));
    EXPECT_TRUE(region->Contains(512, 301));

    const platform::Bitmap image = platform::ComposeWindow(window.hWnd());
    const platform::Bitmap& cap = window.Image2.Picture()->Pixels();
    const platform::Bitmap& tile = window.Image1.Picture()->Pixels();
    EXPECT_EQ(image.At(4, 20), cap.At(4, 20));
    EXPECT_EQ(image.At(300, 5), tile.At(292, 5));
    EXPECT_EQ(image.At(470, 39), tile.At(462, 39));
    // The caption in white over the tile.
    bool white = false;
    for (int y = 12; y < 30; ++y)
        for (int x = 26; x < 100; ++x) white = white || platform::ColorFromPixel(image.At(x, y)) == 0xFFFFFF;
    EXPECT_TRUE(white);
    // Each margin: the line's colour outside, the window's background inside.
    struct Margin {
        int lineX, lineY, backX, backY;
    };
    for (const Margin m : {Margin{0, 150, 1, 150}, Margin{512, 150, 511, 150}, Margin{256, 301, 256, 300}}) {
        EXPECT_EQ(platform::ColorFromPixel(image.At(m.lineX, m.lineY)), 0x1F1F1Fu) << m.lineX << "," << m.lineY;
        EXPECT_EQ(platform::ColorFromPixel(image.At(m.backX, m.backY)), 0x404040u) << m.backX << "," << m.backY;
    }
}

TEST_F(GuestBookTest, TheBrowserOverhangsItsContainerByFortyTwips) {
    yijian& window = OpenGuestBook();
    const RECT& container = window.P1.PixelBounds();
    EXPECT_EQ((std::vector<LONG>{container.left, container.top, container.right - container.left,
                                 container.bottom - container.top}),
              (std::vector<LONG>{2, 40, 509, 260}));
    // 40 twips on every side in the container's unit (509 x 260 px = 7635 x 3900
    // twips): -40 twips is -2 2/3 px, placed at -3; 7715 x 3980 twips are 514 1/3
    // x 265 1/3 px, placed as 514 x 265.
    EXPECT_EQ(window.P1.ScaleWidth(), 7635);
    EXPECT_EQ(window.P1.ScaleHeight(), 3900);
    const RECT& browser = window.WebBrowser1.PixelBounds();
    EXPECT_EQ((std::vector<LONG>{browser.left, browser.top, browser.right - browser.left, browser.bottom - browser.top}),
              (std::vector<LONG>{-3, -3, 514, 265}));
}

TEST_F(GuestBookTest, APressOfAnyButtonOnItsOwnSurfaceDragsTheWindow) {
    yijian& window = OpenGuestBook();
    for (const platform::MouseButton button : {platform::MouseButton::Left, platform::MouseButton::Right}) {
        const RECT before = platform::WindowScreenRect(window.hWnd());
        const POINT start = OnScreen(window, 300, 20);
        desktop.clock().Advance(2000);
        platform::QueueInput({platform::InputEvent::Kind::Press, start, button});
        platform::QueueInput({platform::InputEvent::Kind::Move, POINT{start.x + 30, start.y + 20}, button});
        platform::QueueInput({platform::InputEvent::Kind::Release, POINT{start.x + 30, start.y + 20}, button});
        forms::DoEvents();
        const RECT after = platform::WindowScreenRect(window.hWnd());
        EXPECT_EQ(after.left - before.left, 30);
        EXPECT_EQ(after.top - before.top, 20);
        EXPECT_EQ(after.right - after.left, 513);
        EXPECT_EQ(window.MousePointer(), forms::vbCustom);
    }
}

}  // namespace
}  // namespace zem::secondary_testing
