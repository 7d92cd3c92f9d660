// Which addresses the control opens on the real engine: a page's links,
// frames, redirects and new windows reach the web only, and everything else
// a hostile page asks for is refused unheard; the program's own Navigate also
// opens local files, those of its own folder alone; and addresses reach the
// program as the page wrote them.
#include <string>
#include <vector>

#include "platform/system/files.h"
#include "tests/system/temp_folder.h"
#include "tests/webview/engine_fixture.h"

namespace zem::forms {
namespace {

// The server's "/seen-..." requests since the test began: each document the
// tests' pages make asks for one as it shows; and local pages of the test's
// own that do the same.
class AddressTest : public EngineTest {
protected:
    std::vector<std::string> SeenRequests() const {
        const std::vector<std::string> targets = Server()->RequestedTargets();
        std::vector<std::string> seen;
        for (std::size_t index = before_; index < targets.size(); ++index)
            if (targets[index].starts_with("/seen-")) seen.push_back(targets[index]);
        return seen;
    }
    bool Requested(const std::string& target) const {
        const std::vector<std::string> seen = SeenRequests();
        return std::find(seen.begin(), seen.end(), target) != seen.end();
    }
    void Forget() { before_ = Server()->RequestedTargets().size(); }
    static std::string LocalPage(const testing::TempFolder& folder, const std::string& name,
                                 const std::string& title, const std::string& seen) {
        folder.Write(name, "<!doctype html><html><head><title>" + title +
                               "</title></head><body><img src=\"" + Server()->Address() + "/seen-" +
                               seen + "\"></body></html>");
        return folder.File(name);
    }

private:
    std::size_t before_ = Server()->RequestedTargets().size();
};

std::string EncodedForQuery(const std::string& text) {
    std::string encoded;
    for (const unsigned char c : text) {
        static constexpr char kHex[] = "0123456789ABCDEF";
        if (std::isalnum(c) || c == '/' || c == '.' || c == '-' || c == '_') {
            encoded += static_cast<char>(c);
        } else {
            encoded += '%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 15];
        }
    }
    return encoded;
}

// The empty documents of the page's frames (about:blank, about:srcdoc) are
// the page's own content and raise their event like any frame's navigation.
bool LocalOrOwnDocument(const std::string& url) {
    if (url == "about:blank" || url == "about:srcdoc") return false;
    for (const char* scheme : {"file:", "data:", "blob:", "javascript:", "about:"})
        if (url.starts_with(scheme)) return true;
    return false;
}

// The hostile page opens windows to a local file, to documents of its own
// (data:, blob:), to a script address and to about:blank, and makes frames
// of the same; its links lead to the file, to a data: document and, by
// script, to a blob: one. With no NewWindow2 handler and with one naming the
// other view, none of it shows anywhere, the program hears of none of it, and
// the page's srcdoc frame (a document the engine makes itself) still shows.
TEST_F(AddressTest, APageReachesOnlyTheWebAndTheRestIsRefusedUnheard) {
    const testing::TempFolder disk;
    const std::string secret = "file://" + LocalPage(disk, "secret.html", "Secret", "file");
    const std::string hostile = Page("hostile.html?" + EncodedForQuery(secret));
    for (const bool handler : {false, true}) {
        SCOPED_TRACE(handler ? "NewWindow2 names the other view" : "no NewWindow2 handler");
        Forget();
        std::vector<std::string> heard;
        int newWindows = 0;
        form().View.OnBeforeNavigate2 = [&](WebBrowserObject&, const std::string& url, long,
                                            const std::string&, const std::string&,
                                            const std::string&, bool&) { heard.push_back(url); };
        form().Other.OnBeforeNavigate2 = form().View.OnBeforeNavigate2;
        form().View.OnNewWindow2 = nullptr;
        if (handler)
            form().View.OnNewWindow2 = [&](WebBrowserObject*& ppDisp, bool&) {
                ++newWindows;
                ppDisp = form().Other.Object();
            };
        ASSERT_TRUE(Load(form().View, hostile));
        ASSERT_TRUE(PumpUntil([&] { return Requested("/seen-srcdoc-frame"); }))
            << "the srcdoc frame";
        ASSERT_TRUE(
            PumpUntil([&] { return form().View.Document()->title() == "Hostile page ready"; }));
        ClickAt(form().View, 20, 15);
        ClickAt(form().View, 20, 45);
        ClickAt(form().View, 20, 75);
        PumpFor(std::chrono::milliseconds(800));

        EXPECT_EQ(SeenRequests(), std::vector<std::string>{"/seen-srcdoc-frame"});
        for (const std::string& url : heard) EXPECT_FALSE(LocalOrOwnDocument(url)) << url;
        EXPECT_EQ(newWindows, 0);
        EXPECT_EQ(form().View.LocationURL(), hostile);
        EXPECT_EQ(form().View.Document()->title(), "Hostile page ready");
        EXPECT_EQ(form().Other.LocationURL(), "");
        DiscardAllForms();
        form_ = &FormInstance<BrowserForm>::Get();
        form_->Show();
    }
}

// The program's local pages lie in its own folder (here with a blank and
// characters beyond ASCII in its name): a path there opens, in either style
// of separator, and every other local address, however written, is refused
// with the event raised and nothing loaded; so are documents made from the
// address itself.
TEST_F(AddressTest, TheProgramOpensLocalFilesOfItsOwnFolderOnly) {
    const testing::TempFolder program("程序 folder");
    const testing::TempFolder elsewhere;
    const platform::ScopedProgramFolder folder(program.Path().string());
    const std::string own = LocalPage(program, "own.html", "Own page", "own");
    const std::string outside = LocalPage(elsewhere, "secret.html", "Secret", "outside");
    const auto shows = [&](WebBrowser& view, const std::string& title) {
        return PumpUntil([&] {
            const std::shared_ptr<HtmlDocument> document = view.Document();
            return !view.Busy() && document != nullptr && document->title() == title;
        });
    };
    form().View.Navigate(own);
    ASSERT_TRUE(shows(form().View, "Own page"));
    const std::string ownAddress = form().View.LocationURL();
    ASSERT_TRUE(ownAddress.starts_with("file:///")) << ownAddress;

    std::vector<std::string> heard;
    form().View.OnBeforeNavigate2 = [&](WebBrowserObject&, const std::string& url, long,
                                        const std::string&, const std::string&, const std::string&,
                                        bool&) { heard.push_back(url); };
    const std::vector<std::string> refused = {
        outside,
        "file://" + outside,
        "FILE://" + outside,
        (program.Path() / ".." / ".." / elsewhere.Path().filename() / "secret.html").string(),
        ownAddress + "?x=1",
        "data:text/html,<title>Made</title><img src=\"" + Server()->Address() + "/seen-data\">",
        "about:blank",
    };
    for (const std::string& url : refused) {
        SCOPED_TRACE(url);
        heard.clear();
        form().View.Navigate(url);
        PumpFor(std::chrono::milliseconds(300));
        EXPECT_EQ(heard.size(), 1u) << "the program's own Navigate raises its event";
        EXPECT_EQ(form().View.LocationURL(), ownAddress);
        EXPECT_EQ(form().View.Document()->title(), "Own page");
    }
    EXPECT_EQ(SeenRequests(), std::vector<std::string>{"/seen-own"});

    std::string windowsStyle = own;
    std::replace(windowsStyle.begin(), windowsStyle.end(), '/', '\\');
    form().Other.Navigate(windowsStyle);
    EXPECT_TRUE(shows(form().Other, "Own page"));
    EXPECT_EQ(form().Other.LocationURL(), ownAddress);
}

// The engine lowers a scheme written in capitals; the program gets it as the
// page wrote it, in the document's anchors and in a clicked link's address
// (the resolved address where the page wrote none).
TEST_F(AddressTest, AnchorsAndClickedLinksCarryTheAddressAsThePageWroteIt) {
    ASSERT_TRUE(Load(form().View, Page("written.html")));
    const std::vector<HtmlAnchor> anchors = form().View.Document()->getElementsByTagName("a");
    const std::vector<std::string> expected = {"QVODPLAY:///vant/1.html", "QvodPlay://a",
                                               Page("sub/next.html"), "QvodPlay://before"};
    ASSERT_EQ(anchors.size(), expected.size());
    for (std::size_t index = 0; index < expected.size(); ++index)
        EXPECT_EQ(anchors[index].href, expected[index]);

    std::vector<std::string> heard;
    form().View.OnBeforeNavigate2 = [&](WebBrowserObject&, const std::string& url, long,
                                        const std::string&, const std::string&, const std::string&,
                                        bool& Cancel) {
        heard.push_back(url);
        Cancel = true;
    };
    ClickAt(form().View, 20, 15);
    ClickAt(form().View, 20, 45);  // on the anchor's picture
    ClickAt(form().View, 20, 75);
    // The page changes the address in its own click handler: the engine's
    // address then, not the one written before.
    ClickAt(form().View, 20, 105);
    ClickAt(form().View, 20, 135);  // in a frame
    ASSERT_TRUE(PumpUntil([&] { return heard.size() == 5; })) << heard.size();
    EXPECT_EQ(heard, (std::vector<std::string>{"QVODPLAY:///vant/1.html", "QvodPlay://a",
                                               Page("sub/next.html"), "qvodplay://after",
                                               "PLAY://frame"}));
}

}  // namespace
}  // namespace zem::forms
