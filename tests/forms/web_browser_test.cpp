// The web-browser control on the headless engine and on a test's engine:
// navigations raise BeforeNavigate2 once, Cancel keeps the view where it is,
// new windows land in the control that ppDisp names, and document reads that
// fail raise the runtime's error 91.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/forms/form.h"
#include "platform/forms/web_browser.h"
#include "platform/window/test_desktop.h"

namespace zem::forms {
namespace {

namespace webview = platform::webview;

class BrowserForm : public Form {
public:
    static FormDesign Design() {
        FormDesign design;
        design.clientWidth = 300;
        design.clientHeight = 200;
        return design;
    }
    BrowserForm() : Form(Design()) {
        SetScaleMode(vbPixels);
        View.Move(0, 0, 200, 100);
        Other.Move(0, 100, 200, 100);
    }
    WebBrowser View{*this, "View"};
    WebBrowser Other{*this, "Other"};
};

class FailingDocument final : public webview::Document {
public:
    std::string Title() override { throw webview::DocumentError("gone"); }
    std::vector<webview::Anchor> ElementsByTagName(const std::string&) override { return {{"a://x", "x"}}; }
    void SetBodyScroll(const std::string&) override {}
    void SetBodyStyleBorder(const std::string&) override {}
    void SetContextMenuHandler(std::function<bool()>) override {}
};

// A test engine: one document on its top frame; RequestNewWindow plays a page's window.open.
class FakeView final : public webview::View, public webview::Frame {
public:
    FakeView(webview::ViewClient& client, std::vector<FakeView*>& views) : client_(client) { views.push_back(this); }
    void Navigate(const std::string& url) override {
        bool cancel = false;
        client_.BeforeNavigate(*this, url, "", cancel);
        if (!cancel) location_ = url;
    }
    void RequestNewWindow(const std::string& url) {
        webview::View* target = nullptr;
        bool cancel = false;
        client_.NewWindow(target, cancel);
        if (target != nullptr && !cancel) target->Navigate(url);
    }
    void Refresh() override {}
    void Stop() override {}
    void GoBack() override {}
    void GoForward() override {}
    std::string LocationURL() const override { return location_; }
    bool Busy() const override { return false; }
    void SetSilent(bool) override {}
    Frame& TopFrame() override { return *this; }
    void WindowChanged() override {}
    std::shared_ptr<webview::Document> CurrentDocument() override { return std::make_shared<FailingDocument>(); }

private:
    webview::ViewClient& client_;
    std::string location_;
};

class WebBrowserTest : public ::testing::Test {
protected:
    ~WebBrowserTest() override { DiscardAllForms(); }
    platform::TestDesktop desktop;
};

TEST_F(WebBrowserTest, HeadlessNavigateRaisesBeforeNavigateOnceAndCancelKeepsThePlace) {
    BrowserForm& form = FormInstance<BrowserForm>::Get();
    std::vector<std::string> seen;
    form.View.OnBeforeNavigate2 = [&](WebBrowserObject& pDisp, const std::string& url, long, const std::string&,
                                      const std::string&, const std::string&, bool& cancel) {
        EXPECT_EQ(pDisp.Browser(), &form.View);
        seen.push_back(url);
        cancel = url.find("qvodplay://") != std::string::npos;
    };
    form.View.Navigate("http://127.0.0.1/a.html");
    form.View.Navigate("qvodplay://film");
    EXPECT_EQ(seen, (std::vector<std::string>{"http://127.0.0.1/a.html", "qvodplay://film"}));
    EXPECT_EQ(form.View.LocationURL(), "http://127.0.0.1/a.html");
    EXPECT_EQ(form.View.Document(), nullptr);
}

TEST_F(WebBrowserTest, ANewWindowOpensInTheControlPpDispNamesAndDocumentFailuresAreError91) {
    std::vector<FakeView*> views;
    webview::ScopedViewFactory factory([&](HWND, webview::ViewClient& client, webview::View*) {
        return std::make_unique<FakeView>(client, views);
    });
    BrowserForm& form = FormInstance<BrowserForm>::Get();
    ASSERT_EQ(views.size(), 2u);
    form.View.OnNewWindow2 = [&](WebBrowserObject*& ppDisp, bool&) { ppDisp = form.Other.Object(); };
    views[0]->RequestNewWindow("http://127.0.0.1/popup.html");
    EXPECT_EQ(form.Other.LocationURL(), "http://127.0.0.1/popup.html");
    EXPECT_EQ(form.View.LocationURL(), "");

    std::shared_ptr<HtmlDocument> document = form.View.Document();
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->getElementsByTagName("a").at(0).href, "a://x");
    try {
        (void)document->title();
        FAIL() << "a title that cannot be read must raise";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Number(), errObjectNotSet);
    }
}

}  // namespace
}  // namespace zem::forms
