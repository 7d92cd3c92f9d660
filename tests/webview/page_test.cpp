// What a page does in the control on the real engine: frames and their
// DocumentComplete, Silent dialogs, the page menu on a right click, typing
// into a field, the wheel, and the document's body settings.
#include <string>
#include <vector>

#include "tests/webview/engine_fixture.h"

namespace zem::forms {
namespace {

TEST_F(EngineTest, FramesAndTheTopDocumentEachCompleteWithTheirOwnDocument) {
    struct Completion {
        bool top;
        std::string url;
        std::string title;
    };
    std::vector<Completion> completions;
    std::vector<std::string> titles;
    form().View.OnTitleChange = [&](const std::string& text) { titles.push_back(text); };
    form().View.OnDocumentComplete = [&](WebBrowserObject& pDisp, const std::string& url) {
        std::shared_ptr<HtmlDocument> document = pDisp.Document();
        completions.push_back({pDisp.Browser() == &form().View, url, document ? document->title() : "(none)"});
    };
    form().View.Navigate(Page("frames.html"));
    ASSERT_TRUE(PumpUntil([&] { return !completions.empty() && completions.back().top; }));
    ASSERT_EQ(completions.size(), 2u);
    EXPECT_FALSE(completions[0].top);
    EXPECT_EQ(completions[0].url, Page("inner.html"));
    EXPECT_EQ(completions[0].title, "Inner frame");
    EXPECT_EQ(completions[1].url, Page("frames.html"));
    EXPECT_EQ(completions[1].title, "Frames outer");
    EXPECT_NE(std::find(titles.begin(), titles.end(), "Frames outer"), titles.end());
}

TEST_F(EngineTest, ASilentViewDeclinesEveryDialogUnseen) {
    form().View.SetSilent(true);
    ASSERT_TRUE(Load(form().View, Page("dialogs.html")));
    EXPECT_EQ(form().View.Document()->title(), "answers false null");
}

TEST_F(EngineTest, ARightClickShowsNoEngineMenuAndRunsThePageMenuHandler) {
    ASSERT_TRUE(Load(form().View, Page("links.html")));
    // No handler: the engine's own menu would take the pointer.
    ClickAt(form().View, 250, 200, platform::MouseButton::Right);
    PumpFor(std::chrono::milliseconds(200));
    ClickAt(form().View, 20, 15);
    ASSERT_TRUE(PumpUntil([&] { return form().View.LocationURL() == Page("next.html") && !form().View.Busy(); }));

    ASSERT_TRUE(Load(form().View, Page("links.html")));
    int menus = 0;
    form().View.Document()->SetOnContextMenu([&] {
        ++menus;
        return false;
    });
    ClickAt(form().View, 250, 200, platform::MouseButton::Right);
    ASSERT_TRUE(PumpUntil([&] { return menus == 1; }));
    ClickAt(form().View, 20, 15);
    ASSERT_TRUE(PumpUntil([&] { return form().View.LocationURL() == Page("next.html") && !form().View.Busy(); }));
    EXPECT_EQ(form().View.Document()->title(), "Next page");
}

TEST_F(EngineTest, TextTypedWithTheKeyboardLandsInTheFieldThePressFocused) {
    ASSERT_TRUE(Load(form().View, Page("links.html")));
    ClickAt(form().View, 20, 135);
    EXPECT_EQ(GetFocus(), form().View.hWnd()) << "focus follows the press";
    // The engine sends a press to the page before the next one, and keys
    // on their own: a person's first key comes after the field has its focus.
    ASSERT_TRUE(PumpUntil([&] { return form().View.Document()->title() == "focused"; }));
    for (const char c : std::string("ab"))
        SendMessageA(form().View.hWnd(), WM_CHAR, static_cast<WPARAM>(c), 0);
    SendMessageA(form().View.hWnd(), WM_KEYDOWN, 0x08, 0);  // Backspace
    SendMessageA(form().View.hWnd(), WM_KEYUP, 0x08, 0);
    SendMessageA(form().View.hWnd(), WM_CHAR, static_cast<WPARAM>(0x4E2D), 0);  // a character beyond ASCII
    ASSERT_TRUE(PumpUntil([&] { return form().View.Document()->title() == "typed a\xE4\xB8\xAD"; }))
        << form().View.Document()->title();
}

TEST_F(EngineTest, TheWheelScrollsThePageAndBodyScrollNoHidesTheScrollBar) {
    ASSERT_TRUE(Load(form().View, Page("tall.html")));
    ASSERT_TRUE(WaitForPixel(form().View, 10, 10, 0x0000FF));
    const int width = 320;
    // A scroll bar along the right edge while the page can scroll.
    ASSERT_TRUE(PumpUntil([&] { return PixelAt(form().View, width - 5, 120) != 0x00FF00; }));
    POINT point{100, 100};
    ClientToScreen(form().View.hWnd(), &point);
    for (int notch = 0; notch < 5; ++notch) platform::TurnWheel(-WHEEL_DELTA, point.x, point.y);
    EXPECT_TRUE(WaitForPixel(form().View, 10, 10, 0x00FF00)) << "the page moved up";

    form().View.Document()->SetBodyScroll("no");
    form().View.Document()->SetBodyStyleBorder("0");
    EXPECT_TRUE(WaitForPixel(form().View, width - 5, 120, 0x00FF00)) << "no scroll bar";
}

}  // namespace
}  // namespace zem::forms
