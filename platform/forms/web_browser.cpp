#include "platform/forms/web_browser.h"

#include <algorithm>

namespace zem::forms {
namespace {

namespace webview = platform::webview;

// The views alive in this program: each new one is made related to the first,
// so that all share one web process.
std::vector<WebBrowser*>& LiveBrowsers() {
    static std::vector<WebBrowser*> browsers;
    return browsers;
}

template <class Read>
auto ReadDocument(Read&& read) -> decltype(read()) {
    try {
        return read();
    } catch (const webview::DocumentError& error) {
        throw RuntimeError(errObjectNotSet, error.what());
    }
}

}  // namespace

HtmlDocument::HtmlDocument(std::shared_ptr<webview::Document> document) : document_(std::move(document)) {}

std::string HtmlDocument::title() const {
    return ReadDocument([&] { return document_->Title(); });
}

std::vector<HtmlAnchor> HtmlDocument::getElementsByTagName(const std::string& tagName) const {
    return ReadDocument([&] {
        std::vector<HtmlAnchor> anchors;
        for (webview::Anchor& anchor : document_->ElementsByTagName(tagName))
            anchors.push_back({std::move(anchor.href), std::move(anchor.innerText)});
        return anchors;
    });
}

void HtmlDocument::SetBodyScroll(const std::string& value) const {
    ReadDocument([&] { document_->SetBodyScroll(value); });
}

void HtmlDocument::SetBodyStyleBorder(const std::string& value) const {
    ReadDocument([&] { document_->SetBodyStyleBorder(value); });
}

void HtmlDocument::SetOnContextMenu(std::function<bool()> handler) const {
    ReadDocument([&] { document_->SetContextMenuHandler(std::move(handler)); });
}

std::shared_ptr<HtmlDocument> WebBrowserObject::Document() const {
    if (browser_ != nullptr) return browser_->Document();
    if (frame_ == nullptr) return nullptr;
    std::shared_ptr<webview::Document> document = frame_->CurrentDocument();
    return document ? std::make_shared<HtmlDocument>(std::move(document)) : nullptr;
}

WebBrowser::WebBrowser(Container& parent, std::string name) : WindowedControl(parent, std::move(name)) {
    SetWindowBackColor(0x80000005);
    EnsureWindow();
}

WebBrowser::~WebBrowser() { DestroyChildWindow(); }

void WebBrowser::WindowCreated() {
    std::vector<WebBrowser*>& live = LiveBrowsers();
    webview::View* related = live.empty() ? nullptr : live.front()->View();
    view_ = webview::CreateView(hWnd(), *this, related);
    view_->SetSilent(silent_);
    live.push_back(this);
}

void WebBrowser::BeforeWindowDestroyed() {
    std::vector<WebBrowser*>& live = LiveBrowsers();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
    view_.reset();
}

void WebBrowser::BoundsChanged(const RECT& old) {
    WindowedControl::BoundsChanged(old);
    if (view_) view_->WindowChanged();
}

void WebBrowser::VisibilityChanged() {
    WindowedControl::VisibilityChanged();
    if (view_) view_->WindowChanged();
}

LRESULT WebBrowser::WindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (view_ && view_->WindowMessage(message, wParam, lParam, result)) return result;
    return WindowedControl::WindowMessage(message, wParam, lParam);
}

void WebBrowser::Navigate(const std::string& url) {
    if (view_) view_->Navigate(url);
}

void WebBrowser::Refresh() {
    if (view_) view_->Refresh();
}

void WebBrowser::Stop() {
    if (view_) view_->Stop();
}

void WebBrowser::GoBack() {
    if (view_) view_->GoBack();
}

void WebBrowser::GoForward() {
    if (view_) view_->GoForward();
}

std::string WebBrowser::LocationURL() const { return view_ ? view_->LocationURL() : std::string(); }

bool WebBrowser::Busy() const { return view_ && view_->Busy(); }

void WebBrowser::SetSilent(bool silent) {
    silent_ = silent;
    if (view_) view_->SetSilent(silent);
}

std::shared_ptr<HtmlDocument> WebBrowser::Document() const {
    if (!view_) return nullptr;
    std::shared_ptr<webview::Document> document = view_->TopFrame().CurrentDocument();
    return document ? std::make_shared<HtmlDocument>(std::move(document)) : nullptr;
}

WebBrowserObject WebBrowser::ObjectOf(webview::Frame& frame) {
    if (view_ && &frame == &view_->TopFrame()) return object_;
    return WebBrowserObject(&frame, nullptr);
}

void WebBrowser::BeforeNavigate(webview::Frame& frame, const std::string& url, const std::string& targetFrameName,
                                bool& cancel) {
    if (!OnBeforeNavigate2) return;
    WebBrowserObject pDisp = ObjectOf(frame);
    RunEventHandler([&] { OnBeforeNavigate2(pDisp, url, 0, targetFrameName, "", "", cancel); });
}

void WebBrowser::NewWindow(webview::View*& target, bool& cancel) {
    if (!OnNewWindow2) return;
    WebBrowserObject* ppDisp = nullptr;
    RunEventHandler([&] { OnNewWindow2(ppDisp, cancel); });
    if (ppDisp != nullptr && ppDisp->Browser() != nullptr) target = ppDisp->Browser()->View();
}

void WebBrowser::DownloadBegin() {
    if (OnDownloadBegin) RunEventHandler(OnDownloadBegin);
}

void WebBrowser::NavigateComplete(webview::Frame& frame, const std::string& url) {
    if (!OnNavigateComplete2) return;
    WebBrowserObject pDisp = ObjectOf(frame);
    RunEventHandler([&] { OnNavigateComplete2(pDisp, url); });
}

void WebBrowser::DocumentComplete(webview::Frame& frame, const std::string& url) {
    if (!OnDocumentComplete) return;
    WebBrowserObject pDisp = ObjectOf(frame);
    RunEventHandler([&] { OnDocumentComplete(pDisp, url); });
}

void WebBrowser::TitleChange(const std::string& title) {
    if (OnTitleChange) RunEventHandler([&] { OnTitleChange(title); });
}

}  // namespace zem::forms
