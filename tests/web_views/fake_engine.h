// A test engine for the web views: each view records what the program asks of
// it, holds a document the test gives it, and plays what a page does (a click
// on a link, a completed document, a new window, a right click).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/forms/web_browser.h"
#include "platform/webview/web_view.h"

namespace zem::web_views_testing {

namespace webview = platform::webview;

class FakeDocument final : public webview::Document {
public:
    std::string Title() override {
        if (failing) throw webview::DocumentError("the page went away");
        return title;
    }
    std::vector<webview::Anchor> ElementsByTagName(const std::string& tagName) override {
        if (failing) throw webview::DocumentError("the page went away");
        ++anchorReads;
        return tagName == "a" ? anchors : std::vector<webview::Anchor>{};
    }
    void SetBodyScroll(const std::string& value) override {
        if (failing || noBody) throw webview::DocumentError("no body");
        bodyScroll = value;
    }
    void SetBodyStyleBorder(const std::string& value) override {
        if (failing) throw webview::DocumentError("no body");
        bodyBorder = value;
    }
    void SetContextMenuHandler(std::function<bool()> handler) override { contextMenu = std::move(handler); }

    std::string title;
    std::vector<webview::Anchor> anchors;
    bool failing = false;
    bool noBody = false;
    int anchorReads = 0;
    std::string bodyScroll;
    std::string bodyBorder;
    std::function<bool()> contextMenu;
};

class FakeView final : public webview::View, public webview::Frame {
public:
    explicit FakeView(webview::ViewClient& client) : client_(client) {}

    // What the program asked: every Navigate that was not cancelled, in order.
    void Navigate(const std::string& url) override {
        if (Ask(url)) navigations.push_back(url);
    }
    // A click on a link of the page: the engine asks first, then loads.
    bool ClickLink(const std::string& url) { return Ask(url); }
    void Refresh() override { ++refreshes; }
    void Stop() override {}
    void GoBack() override { ++backs; }
    void GoForward() override { ++forwards; }
    std::string LocationURL() const override { return location_; }
    bool Busy() const override { return false; }
    void SetSilent(bool on) override { silent = on; }
    Frame& TopFrame() override { return *this; }
    void WindowChanged() override {}
    std::shared_ptr<webview::Document> CurrentDocument() override {
        ++documentReads;
        return document;
    }

    void BeginDownload() { client_.DownloadBegin(); }
    // The top document, or the given frame's, completed.
    void Complete() { client_.DocumentComplete(*this, location_); }
    void CompleteFrame(webview::Frame& frame) { client_.DocumentComplete(frame, location_); }
    // A page asks for a new window: where the program sends it.
    webview::View* RequestNewWindow(const std::string& url) {
        webview::View* target = nullptr;
        bool cancel = false;
        client_.NewWindow(target, cancel);
        if (cancel) return nullptr;
        if (target != nullptr) target->Navigate(url);
        return target;
    }

    std::shared_ptr<FakeDocument> document;
    std::vector<std::string> navigations;
    int refreshes = 0;
    int backs = 0;
    int forwards = 0;
    bool silent = false;
    int documentReads = 0;  // each a read of the page by script on the engine

private:
    bool Ask(const std::string& url) {
        bool cancel = false;
        client_.BeforeNavigate(*this, url, "", cancel);
        if (!cancel) location_ = url;
        return !cancel;
    }
    webview::ViewClient& client_;
    std::string location_;
};

// A frame of a view's page, with a document of its own.
class FakeFrame final : public webview::Frame {
public:
    std::shared_ptr<webview::Document> CurrentDocument() override { return document; }
    std::shared_ptr<FakeDocument> document;
};

// Installs the engine for its lifetime.
class FakeEngine {
public:
    FakeEngine()
        : factory_([](HWND, webview::ViewClient& client, webview::View*) {
              return std::make_unique<FakeView>(client);
          }) {}
    static FakeView& Of(forms::WebBrowser& browser) { return dynamic_cast<FakeView&>(*browser.View()); }

private:
    webview::ScopedViewFactory factory_;
};

}  // namespace zem::web_views_testing
