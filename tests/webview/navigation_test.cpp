// Navigations on the real engine: the pixels of a loaded page, BeforeNavigate2
// for clicks and for the program's own Navigate (once), Cancel, custom
// schemes as events only, the document read from inside the handler, and new
// windows landing in the control ppDisp names.
#include <string>
#include <vector>

#include "tests/webview/engine_fixture.h"

namespace zem::forms {
namespace {

struct Navigation {
    WebBrowser* browser;
    std::string url;
};

TEST_F(EngineTest, APageWithStyleAnImageAndAScriptShowsInTheControlsPixels) {
    ASSERT_TRUE(Load(form().View, Page("styled.html")));
    EXPECT_TRUE(WaitForPixel(form().View, 30, 30, 0x0000FF)) << "the style sheet's box";
    EXPECT_TRUE(WaitForPixel(form().View, 30, 100, 0x00FF00)) << "the picture";
    EXPECT_TRUE(WaitForPixel(form().View, 120, 30, 0xCC0000)) << "what the script changed after the load";
    // The composed screen shows the page with the window's other content.
    POINT origin{0, 0};
    ClientToScreen(form().View.hWnd(), &origin);
    EXPECT_EQ(platform::ComposeScreen().At(origin.x + 30, origin.y + 30), 0x0000FFu);
    EXPECT_EQ(form().View.LocationURL(), Page("styled.html"));
}

TEST_F(EngineTest, NavigateRaisesBeforeNavigate2OnceAndCancelLoadsNothing) {
    std::vector<std::string> seen;
    bool cancel = false;
    form().View.OnBeforeNavigate2 = [&](WebBrowserObject& pDisp, const std::string& url, long, const std::string&,
                                        const std::string&, const std::string&, bool& Cancel) {
        EXPECT_EQ(pDisp.Browser(), &form().View);
        seen.push_back(url);
        Cancel = cancel;
    };
    int completed = 0;
    form().View.OnDocumentComplete = [&](WebBrowserObject&, const std::string&) { ++completed; };
    form().View.Navigate(Page("next.html"));
    ASSERT_TRUE(PumpUntil([&] { return completed == 1; }));
    EXPECT_EQ(seen, std::vector<std::string>{Page("next.html")});

    cancel = true;
    form().View.Navigate(Page("links.html"));
    PumpFor(std::chrono::milliseconds(300));
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_EQ(completed, 1);
    EXPECT_EQ(form().View.Document()->title(), "Next page");
}

TEST_F(EngineTest, AClickedLinkRaisesBeforeNavigate2WhoseHandlerReadsTheDocumentAndMayCancel) {
    ASSERT_TRUE(Load(form().View, Page("links.html")));
    std::vector<std::string> seen;
    std::string title;
    std::vector<HtmlAnchor> anchors;
    bool cancel = true;
    form().View.OnBeforeNavigate2 = [&](WebBrowserObject& pDisp, const std::string& url, long, const std::string&,
                                        const std::string&, const std::string&, bool& Cancel) {
        seen.push_back(url);
        // The page that holds the link, read while the decision is pending.
        std::shared_ptr<HtmlDocument> document = pDisp.Document();
        ASSERT_NE(document, nullptr);
        title = document->title();
        anchors = document->getElementsByTagName("a");
        Cancel = cancel || url.starts_with("qvodplay:");
    };
    ClickAt(form().View, 20, 45);  // the custom-scheme link: an event, never a load
    ASSERT_TRUE(PumpUntil([&] { return seen.size() == 1; }));
    EXPECT_EQ(seen[0], "qvodplay://film/1");
    EXPECT_EQ(title, "Links page");
    ASSERT_EQ(anchors.size(), 5u);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {Page("next.html"), "Next page"}, {"qvodplay://film/1", "Custom film"},
        {Page("next.html?blank"), "Blank target"}, {Page("links.html#"), "Open window"},
        {"http://127.0.0.1:1/far.html", "Far away"}};
    for (std::size_t index = 0; index < expected.size(); ++index) {
        EXPECT_EQ(anchors[index].href, expected[index].first);
        EXPECT_EQ(anchors[index].innerText, expected[index].second);
    }

    ClickAt(form().View, 20, 15);  // cancelled: the view stays on its page
    ASSERT_TRUE(PumpUntil([&] { return seen.size() == 2; }));
    EXPECT_EQ(seen[1], Page("next.html"));
    PumpFor(std::chrono::milliseconds(300));
    EXPECT_EQ(form().View.Document()->title(), "Links page");

    cancel = false;
    ClickAt(form().View, 20, 15);
    ASSERT_TRUE(PumpUntil([&] { return form().View.LocationURL() == Page("next.html") && !form().View.Busy(); }));
    EXPECT_EQ(form().View.Document()->title(), "Next page");
    EXPECT_EQ(seen.size(), 3u) << "one BeforeNavigate2 per navigation";
}

TEST_F(EngineTest, TargetBlankAndWindowOpenLandInTheControlPpDispNames) {
    ASSERT_TRUE(Load(form().View, Page("links.html")));
    int newWindows = 0;
    form().View.OnNewWindow2 = [&](WebBrowserObject*& ppDisp, bool&) {
        ++newWindows;
        ppDisp = form().Other.Object();
    };
    std::vector<std::string> otherSeen;
    form().Other.OnBeforeNavigate2 = [&](WebBrowserObject&, const std::string& url, long, const std::string&,
                                         const std::string&, const std::string&, bool&) { otherSeen.push_back(url); };

    ClickAt(form().View, 20, 75);
    ASSERT_TRUE(PumpUntil([&] { return form().Other.LocationURL() == Page("next.html?blank") && !form().Other.Busy(); }));
    ClickAt(form().View, 20, 105);
    ASSERT_TRUE(PumpUntil([&] { return form().Other.LocationURL() == Page("next.html?open") && !form().Other.Busy(); }));
    EXPECT_EQ(newWindows, 2);
    EXPECT_EQ(otherSeen, (std::vector<std::string>{Page("next.html?blank"), Page("next.html?open")}));
    EXPECT_EQ(form().View.LocationURL(), Page("links.html"));
    EXPECT_EQ(form().View.Document()->title(), "opened true") << "window.open gives the page no window";
}

TEST_F(EngineTest, ANewWindowLeftAloneOpensInTheSameView) {
    ASSERT_TRUE(Load(form().View, Page("links.html")));
    ClickAt(form().View, 20, 75);
    ASSERT_TRUE(PumpUntil([&] { return form().View.LocationURL() == Page("next.html?blank") && !form().View.Busy(); }));
    EXPECT_EQ(form().Other.LocationURL(), "");
}

TEST_F(EngineTest, GoBackAndGoForwardAskBeforeNavigate2AndRefreshDoesNot) {
    ASSERT_TRUE(Load(form().View, Page("links.html")));
    ASSERT_TRUE(Load(form().View, Page("next.html")));
    std::vector<std::string> seen;
    form().View.OnBeforeNavigate2 = [&](WebBrowserObject&, const std::string& url, long, const std::string&,
                                        const std::string&, const std::string&, bool&) { seen.push_back(url); };
    form().View.GoBack();
    ASSERT_TRUE(PumpUntil([&] { return form().View.LocationURL() == Page("links.html") && !form().View.Busy(); }));
    form().View.GoForward();
    ASSERT_TRUE(PumpUntil([&] { return form().View.LocationURL() == Page("next.html") && !form().View.Busy(); }));
    EXPECT_EQ(seen, (std::vector<std::string>{Page("links.html"), Page("next.html")}));
    int completed = 0;
    form().View.OnDocumentComplete = [&](WebBrowserObject&, const std::string&) { ++completed; };
    form().View.Refresh();
    ASSERT_TRUE(PumpUntil([&] { return completed == 1; }));
    EXPECT_EQ(seen.size(), 2u);
}

}  // namespace
}  // namespace zem::forms
