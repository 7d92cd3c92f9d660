// The main window's web views headless, with a test engine: what each view
// does with the pages' schemes, the play request and the group it records,
// the new windows of W2, the channel page's body, silence, the start pages
// and the page menu; and that an unreadable page never ends the player.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/forms/program.h"
#include "platform/window/user32.h"
#include "tests/web_views/web_views_fixture.h"
#include "windows/yijian.h"

namespace zem::web_views_testing {
namespace {

using forms::FormInstance;

// The library page of these tests: play links of two schemes, one written in
// capitals (a document that keeps the capitals in href), and plain links.
std::shared_ptr<FakeDocument> LibraryPage(const std::string& title = "电影") {
    auto page = std::make_shared<FakeDocument>();
    page->title = title;
    page->anchors = {{"qvodplay:///vant/bofang/1.html", "第1集"},
                     {"http://127.0.0.1:9/vant/list/dianying.html", "电影"},
                     {"bdhdplay:///vant/bofang/4.html", "山水"},
                     {"QVODPLAY:///vant/bofang/2.html", "第2集"},
                     {"qvodplay:///vant/bofang/1.html", "第1集 again"},
                     {"x?qvodplay:///Vant/3.html", "第3集"}};
    return page;
}

struct Group {
    std::string name;
    std::vector<std::pair<std::string, std::string>> entries;  // name, address
};

std::vector<Group> Groups(const SFPlayList& list) {
    std::vector<Group> groups;
    for (std::int32_t node = 0; node < list.NodesCount(); ++node) {
        Group group{list.NodeText(node), {}};
        for (std::int32_t item = 0; item < list.ItemsCount(node); ++item)
            group.entries.emplace_back(list.ItemName(node, item), list.ItemURL(node, item));
        groups.push_back(group);
    }
    return groups;
}

class WebViewsTest : public WebViewsFixture {};

TEST_F(WebViewsTest, APlayLinkInTheLibraryPlaysInThePlayerPageAndRecordsThePageOnce) {
    Form1& form = ShowMainWindow();
    form.Button2_Click(1);
    FakeView& library = View(form.ListWeb);
    library.document = LibraryPage();
    const std::string before = form.ListWeb.LocationURL();
    launcher.started.clear();

    EXPECT_FALSE(library.ClickLink("QvodPlay:///vant/bofang/1.html"));
    EXPECT_EQ(form.ListWeb.LocationURL(), before);
    EXPECT_EQ(Started(), HelpersEnded());
    // The base address's capitals are lowered by the passes after the first.
    EXPECT_EQ(View(form.W3).navigations, std::vector<std::string>{"http://127.0.0.1:9/base/vant/bofang/1.html"});
    EXPECT_TRUE(form.W3.Visible());
    EXPECT_FALSE(form.Picture1.Visible());
    const std::vector<Group> groups = Groups(form.SFPlayList1);
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].name, "电影");
    // Anchors of the request's scheme only, compared case-sensitively, in
    // document order, the same address twice as two entries.
    using Entries = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(groups[0].entries, (Entries{{"第1集", "http://127.0.0.1:9/base/vant/bofang/1.html"},
                                          {"第1集 again", "http://127.0.0.1:9/base/vant/bofang/1.html"},
                                          {"第3集", "x?http://127.0.0.1:9/base/vant/3.html"}}));

    // A second request from the same page plays and adds nothing.
    EXPECT_FALSE(library.ClickLink("bdhdplay:///vant/bofang/4.html"));
    EXPECT_EQ(View(form.W3).navigations.back(), "http://127.0.0.1:9/base/vant/bofang/4.html");
    EXPECT_EQ(Groups(form.SFPlayList1).size(), 1u);
    EXPECT_EQ(Groups(form.SFPlayList1)[0].entries.size(), 3u);

    // Another page (another title) adds its own group with the later scheme
    // of an address holding two.
    library.document = LibraryPage("电视剧");
    EXPECT_FALSE(library.ClickLink("qvodplay://a/bdhdplay://b"));
    EXPECT_EQ(View(form.W3).navigations.back(), "http://127.0.0.1:9/basea/http://127.0.0.1:9/baseb");
    ASSERT_EQ(Groups(form.SFPlayList1).size(), 2u);
    EXPECT_EQ(Groups(form.SFPlayList1)[1].entries,
              (Entries{{"山水", "http://127.0.0.1:9/base/vant/bofang/4.html"}}));
}

TEST_F(WebViewsTest, EachViewAnswersTheSchemesOfItsTable) {
    struct Case {
        const char* view;
        std::string url;
        bool navigates;
        bool endsHelpers;
        bool showsGuestBook;
        bool plays;
    };
    const std::vector<Case> cases = {
        {"ListWeb", "http://127.0.0.1:9/vant/list/dianying.html", true, false, false, false},
        {"ListWeb", "colse://close", true, false, false, false},
        {"ListWeb", "END://x", true, false, false, false},
        {"ListWeb", "play:///vant/", true, false, false, false},
        {"ListWeb", "GBOOK://open", false, false, true, false},
        {"ListWeb", "gbook://open?qvodplay://x", false, true, true, true},
        {"ListWeb", std::string("qvodplay://a\0b\xff\xfe", 16), false, true, false, true},
        {"ListWeb", "qvodplay://" + std::string(100 * 1024, 'x'), false, true, false, true},
        {"W2", "colse://close", false, true, false, false},
        {"W2", "gbook://open", false, false, true, false},
        {"W2", "flvplay://x", false, true, false, true},
        {"W2", "play:///vant/", true, false, false, false},
        {"W3", "play:///vant/", true, false, false, false},
        {"W3", "qvodplay://x", true, false, false, false},
        {"W3", "gbook://open", true, false, false, false},
        {"W3", "end://x", true, false, false, false},
        {"PlayWeb", "gbook://open", true, false, false, false},
        {"PlayWeb", "end://x", true, false, false, false},
        {"PlayWeb", "http://127.0.0.1:9/vant/", true, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.view) + " " + c.url);
        forms::DiscardAllForms();
        Form1& form = ShowMainWindow();
        forms::WebBrowser& view = std::string(c.view) == "ListWeb" ? form.ListWeb
                                  : std::string(c.view) == "W2"    ? form.W2
                                  : std::string(c.view) == "W3"    ? form.W3
                                                                   : form.PlayWeb;
        launcher.started.clear();
        EXPECT_EQ(View(view).ClickLink(c.url), c.navigates);
        EXPECT_EQ(Started() == HelpersEnded(), c.endsHelpers);
        EXPECT_EQ(FormInstance<yijian>::Loaded() && FormInstance<yijian>::Get().Visible(),
                  c.showsGuestBook);
        EXPECT_EQ(form.W3.Visible(), c.plays);
    }
}

TEST_F(WebViewsTest, TheChannelPageOpensLibraryPagesAndColseClosesThePlayerPage) {
    Form1& form = ShowMainWindow();
    FakeView& channel = View(form.PlayWeb);
    FakeView& library = View(form.ListWeb);
    struct Case {
        std::string url;
        std::string libraryOpens;
    };
    const std::vector<Case> cases = {
        {"play:///vant/list/dianying.html", std::string(kBase) + "/vant/list/dianying.html"},
        // The letters before "play://" stay in front of the base address, and
        // ListWeb's own handler then lets the result through.
        {"qvodplay://x", std::string("qvod") + kBase + "x"},
        // The lowered test finds it, the case-sensitive replacement does not.
        {"PLAY://x", "PLAY://x"},
    };
    for (const Case& c : cases) {
        form.Button2_Click(0);
        EXPECT_FALSE(channel.ClickLink(c.url)) << c.url;
        EXPECT_TRUE(form.Picture1.Visible()) << c.url;
        EXPECT_EQ(library.navigations.back(), c.libraryOpens);
        EXPECT_EQ(form.ListWeb.LocationURL(), c.libraryOpens);
    }

    // colse:// in the channel page ends the players even with W3 hidden.
    launcher.started.clear();
    EXPECT_FALSE(form.W3.Visible());
    EXPECT_FALSE(channel.ClickLink("Colse://close"));
    EXPECT_EQ(Started(), HelpersEnded());

    // colse:// in the player page: hidden, the channel page again, the library reloaded.
    form.W3.SetVisible(true);
    launcher.started.clear();
    const int reloads = library.refreshes;
    EXPECT_FALSE(View(form.W3).ClickLink("colse://close"));
    EXPECT_FALSE(form.W3.Visible());
    EXPECT_EQ(Started(), HelpersEnded());
    EXPECT_EQ(channel.navigations.back(), std::string(kBase) + "/vant/pindao.asp?id=66");
    EXPECT_EQ(library.refreshes, reloads + 1);

    // end:// in W2 hides W2.
    form.W2.SetVisible(true);
    EXPECT_FALSE(View(form.W2).ClickLink("end://x"));
    EXPECT_FALSE(form.W2.Visible());
}

TEST_F(WebViewsTest, NewWindowsOfW2LandInTheHiddenTjAndOthersAreLeftToTheEngine) {
    Form1& form = ShowMainWindow();
    webview::View* target = View(form.W2).RequestNewWindow("http://127.0.0.1:9/popup.html");
    EXPECT_EQ(target, form.tj.View());
    EXPECT_EQ(View(form.tj).navigations, std::vector<std::string>{"http://127.0.0.1:9/popup.html"});
    EXPECT_FALSE(form.tj.Visible());
    EXPECT_EQ(View(form.ListWeb).RequestNewWindow("http://127.0.0.1:9/other.html"), nullptr);
    EXPECT_EQ(View(form.tj).navigations.size(), 1u);
}

TEST_F(WebViewsTest, TheChannelPagesBodyLosesScrollBarsAndBorderWhicheverDocumentCompletes) {
    Form1& form = ShowMainWindow();
    FakeView& channel = View(form.PlayWeb);
    channel.Complete();  // no document: nothing to do, nothing fails
    EXPECT_FALSE(forms::Ended());

    channel.document = std::make_shared<FakeDocument>();
    FakeFrame frame;
    frame.document = std::make_shared<FakeDocument>();
    channel.CompleteFrame(frame);
    EXPECT_EQ(channel.document->bodyScroll, "no");
    EXPECT_EQ(channel.document->bodyBorder, "0px");

    // A failing step is skipped and the next one still runs.
    channel.document = std::make_shared<FakeDocument>();
    channel.document->noBody = true;
    channel.Complete();
    EXPECT_EQ(channel.document->bodyScroll, "");
    EXPECT_EQ(channel.document->bodyBorder, "0px");
    EXPECT_FALSE(forms::Ended());
}

TEST_F(WebViewsTest, FiveViewsGoSilentAtEveryDownloadAndTheStartPagesComeOnce) {
    Form1& form = ShowMainWindow();
    for (forms::WebBrowser* view : {&form.ListWeb, &form.W2, &form.W3, &form.PlayWeb, &form.W4}) {
        View(*view).silent = false;
        View(*view).BeginDownload();
        EXPECT_TRUE(View(*view).silent) << view->Name();
    }
    View(form.qvod).BeginDownload();
    EXPECT_FALSE(View(form.qvod).silent);

    // Loading.html until 3000 ms after the load, then the three start pages, once.
    const std::string loading = platform::ProgramPath("\\zemskin\\html\\Loading.html");
    EXPECT_EQ(View(form.ListWeb).navigations, std::vector<std::string>{loading});
    EXPECT_TRUE(View(form.qvod).navigations.empty());
    desktop.clock().Advance(3000);
    forms::DoEvents();
    EXPECT_EQ(View(form.ListWeb).navigations,
              (std::vector<std::string>{loading, std::string(kBase) + "/vant/"}));
    EXPECT_EQ(View(form.PlayWeb).navigations,
              (std::vector<std::string>{loading, std::string(kBase) + "/vant/pindao.asp?id=66"}));
    EXPECT_EQ(View(form.qvod).navigations,
              (std::vector<std::string>{std::string(kBase) + "/vant/js/ads/qvodad.html"}));
    desktop.clock().Advance(10000);
    forms::DoEvents();
    EXPECT_EQ(View(form.qvod).navigations.size(), 1u);
}

// Finding a view's document is a read of the page on the engine, which a page
// whose script never ends holds for seconds: only a play request reads it.
TEST_F(WebViewsTest, OnlyAPlayRequestReadsThePage) {
    Form1& form = ShowMainWindow();
    for (forms::WebBrowser* view : {&form.ListWeb, &form.W2}) {
        SCOPED_TRACE(view->Name());
        FakeView& page = View(*view);
        page.document = LibraryPage();
        page.documentReads = 0;
        EXPECT_TRUE(page.ClickLink("http://127.0.0.1:9/vant/list/dianying.html"));
        view->Navigate("http://127.0.0.1:9/vant/");
        EXPECT_EQ(page.documentReads, 0);
        EXPECT_FALSE(page.ClickLink("qvodplay:///vant/bofang/1.html"));
        EXPECT_EQ(page.documentReads, 1);
    }
}

// "/zem.ini" comes from the server: a base address that is not an http or
// https address is no base address, and the start pages are bare paths.
TEST_F(WebViewsTest, ABaseAddressOffTheWebIsNoBaseAddress) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"file:///etc/passwd?", ""},
        {"javascript:alert(1)//", ""},
        {"data:text/html,x", ""},
        {"/etc", ""},
        {"ftp://127.0.0.1:9", ""},
        {"HTTPS://127.0.0.1:9/Base", "HTTPS://127.0.0.1:9/Base"},
        {kBase, kBase},
    };
    for (const auto& [published, base] : cases) {
        SCOPED_TRACE(published);
        forms::DiscardAllForms();
        Form1& form = ShowMainWindow(published);
        EXPECT_EQ(form.dizhi.Caption(), base);
        desktop.clock().Advance(3000);
        forms::DoEvents();
        EXPECT_EQ(View(form.ListWeb).navigations.back(), base + "/vant/");
    }
}

TEST_F(WebViewsTest, AnUnreadablePageEndsOnlyTheRestOfTheHandler) {
    Form1& form = ShowMainWindow();
    FakeView& library = View(form.ListWeb);
    // No document: the request plays, no group.
    EXPECT_FALSE(library.ClickLink("qvodplay://a"));
    EXPECT_TRUE(form.W3.Visible());
    EXPECT_EQ(form.SFPlayList1.NodesCount(), 0);
    // A document whose reads fail: the request plays, no group, no empty group.
    library.document = LibraryPage();
    library.document->failing = true;
    EXPECT_FALSE(library.ClickLink("qvodplay://b"));
    EXPECT_EQ(View(form.W3).navigations.back(), std::string("http://127.0.0.1:9/baseb"));
    EXPECT_EQ(form.SFPlayList1.NodesCount(), 0);
    // A page without a title makes a group named "".
    library.document = LibraryPage("");
    EXPECT_FALSE(library.ClickLink("qvodplay://c"));
    ASSERT_EQ(form.SFPlayList1.NodesCount(), 1);
    EXPECT_EQ(form.SFPlayList1.NodeText(0), "");
    EXPECT_FALSE(forms::Ended());
    EXPECT_TRUE(script.Questions().empty());
}

// Counts the paints a window receives, in front of its own procedure.
class PaintCounter {
public:
    explicit PaintCounter(HWND window) : window_(window) {
        current_ = this;
        previous_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PaintCounter::Procedure)));
    }
    ~PaintCounter() {
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
        current_ = nullptr;
    }
    int paints = 0;

private:
    static LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_PAINT) ++current_->paints;
        return CallWindowProcA(current_->previous_, window, message, wParam, lParam);
    }
    static inline PaintCounter* current_ = nullptr;
    HWND window_;
    WNDPROC previous_ = nullptr;
};

TEST_F(WebViewsTest, FiftyThousandAnchorsMakeOneGroupDrawnOnce) {
    Form1& form = ShowMainWindow();
    form.Button2_Click(0);  // the list in sight
    FakeView& library = View(form.ListWeb);
    library.document = std::make_shared<FakeDocument>();
    library.document->title = "大页";
    for (int index = 0; index < 50000; ++index)
        library.document->anchors.push_back({"qvodplay:///vant/" + std::to_string(index), std::to_string(index)});
    PaintCounter counter(form.SFPlayList1.hWnd());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(library.ClickLink("qvodplay:///vant/0"));
    forms::DoEvents();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(form.SFPlayList1.ItemsCount(0), 50000);
    EXPECT_EQ(library.document->anchorReads, 1);
    // A paint for each entry kept the window busy for seconds; the group
    // is drawn when it is whole.
    EXPECT_LE(counter.paints, 3);
    RecordProperty("group_of_50000_ms",
                   static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count()));
}

TEST_F(WebViewsTest, TheLibraryPageCarriesThePageMenuAndNoOtherPageDoes) {
    Form1& form = ShowMainWindow();
    FakeView& library = View(form.ListWeb);
    library.document = std::make_shared<FakeDocument>();
    library.Complete();
    ASSERT_TRUE(library.document->contextMenu);
    View(form.PlayWeb).document = std::make_shared<FakeDocument>();
    View(form.PlayWeb).Complete();
    EXPECT_FALSE(View(form.PlayWeb).document->contextMenu);

    // A right click pops up the page menu; its answer keeps the engine's own away.
    script.ChooseMenuItem("shuaxin");
    const int reloads = library.refreshes;
    EXPECT_FALSE(library.document->contextMenu());
    EXPECT_EQ(library.refreshes, reloads + 1);
    ASSERT_EQ(script.Questions().size(), 1u);
}

}  // namespace
}  // namespace zem::web_views_testing
