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
    (void)display().ForeignWindowsMapped();
    // No handler: the engine's own menu would be a window of the toolkit's
    // on the server, holding the pointer so that the next click closes it.
    ClickAt(form().View, 250, 200, platform::MouseButton::Right);
    PumpFor(std::chrono::milliseconds(300));
    EXPECT_EQ(display().ForeignWindowsMapped(), std::vector<unsigned long>{}) << "a menu of the engine's own";
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
    EXPECT_EQ(display().ForeignWindowsMapped(), std::vector<unsigned long>{});
}

// The page's field reports, on its focus, whether its document has the
// focus, and its loss of focus.
TEST_F(EngineTest, TextTypedWithTheKeyboardLandsInTheFieldThePressFocused) {
    ASSERT_TRUE(Load(form().View, Page("links.html")));
    ASSERT_TRUE(Load(form().Other, Page("links.html")));
    ClickAt(form().View, 20, 135);
    EXPECT_EQ(GetFocus(), form().View.hWnd()) << "focus follows the press";
    // The engine sends a press to the page before the next one, and keys
    // on their own: a person's first key comes after the field has its focus.
    ASSERT_TRUE(PumpUntil([&] { return form().View.Document()->title() == "focused true"; }))
        << form().View.Document()->title();
    ASSERT_TRUE(display().Type("ab"));
    ASSERT_TRUE(display().TapKey(XK_BackSpace));
    ASSERT_TRUE(display().TypeCharacter(U'\u4E2D'));  // a character beyond ASCII
    ASSERT_TRUE(PumpUntil([&] { return form().View.Document()->title() == "typed a\xE4\xB8\xAD"; }))
        << form().View.Document()->title();

    // A press in the other view takes the focus from the first view's page.
    ClickAt(form().Other, 20, 135);
    EXPECT_EQ(GetFocus(), form().Other.hWnd());
    ASSERT_TRUE(PumpUntil([&] {
        return form().Other.Document()->title() == "focused true" && form().View.Document()->title() == "blurred";
    })) << form().View.Document()->title() << " / " << form().Other.Document()->title();
    ASSERT_TRUE(display().Type("x"));
    ASSERT_TRUE(PumpUntil([&] { return form().Other.Document()->title() == "typed x"; }));
    EXPECT_EQ(form().View.Document()->title(), "blurred");
}

TEST_F(EngineTest, ADoubleClickReachesThePageAsOne) {
    ASSERT_TRUE(Load(form().View, Page("links.html")));
    ASSERT_TRUE(display().DoubleClick(form().View.hWnd(), 20, 205));
    EXPECT_TRUE(PumpUntil([&] { return form().View.Document()->title() == "double 2"; }))
        << form().View.Document()->title();
}

TEST_F(EngineTest, TheWheelScrollsThePageAndBodyScrollNoHidesTheScrollBar) {
    ASSERT_TRUE(Load(form().View, Page("tall.html")));
    ASSERT_TRUE(WaitForPixel(form().View, 10, 10, 0x0000FF));
    const int width = 320;
    // A scroll bar along the right edge while the page can scroll.
    ASSERT_TRUE(PumpUntil([&] { return PixelAt(form().View, width - 5, 120) != 0x00FF00; }));
    ASSERT_TRUE(display().Wheel(form().View.hWnd(), 100, 100, -5));
    EXPECT_TRUE(WaitForPixel(form().View, 10, 10, 0x00FF00)) << "the page moved up";

    form().View.Document()->SetBodyScroll("no");
    form().View.Document()->SetBodyStyleBorder("0");
    EXPECT_TRUE(WaitForPixel(form().View, width - 5, 120, 0x00FF00)) << "no scroll bar";
}

}  // namespace
}  // namespace zem::forms
