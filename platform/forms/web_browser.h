// The web-browser control: a child window of its container in which the
// program's web engine shows pages, with the members and events the windows
// use. Reads of a page's document that cannot be answered raise the runtime's
// error 91, so a handler can skip what fails (SkipOnError) and go on.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/forms/controls.h"
#include "platform/webview/web_view.h"

namespace zem::forms {

struct HtmlAnchor {
    std::string href;
    std::string innerText;
};

// The HTML document of a view or frame, as it is at each call.
class HtmlDocument {
public:
    explicit HtmlDocument(std::shared_ptr<platform::webview::Document> document);
    std::string title() const;
    // getElementsByTagName(tagName), in document order.
    std::vector<HtmlAnchor> getElementsByTagName(const std::string& tagName) const;
    // body.scroll and body.style.border.
    void SetBodyScroll(const std::string& value) const;
    void SetBodyStyleBorder(const std::string& value) const;
    // The document's oncontextmenu; the handler's answer is the event's value
    // (False: no menu of the page's own).
    void SetOnContextMenu(std::function<bool()> handler) const;

private:
    std::shared_ptr<platform::webview::Document> document_;
};

class WebBrowser;

// The browser object of a view or one of its frames (pDisp, ppDisp).
class WebBrowserObject {
public:
    WebBrowserObject(platform::webview::Frame* frame, WebBrowser* browser) : frame_(frame), browser_(browser) {}
    // The current HTML document, or null when there is none.
    std::shared_ptr<HtmlDocument> Document() const;
    // The control whose top object this is (null for a frame's object).
    WebBrowser* Browser() const { return browser_; }

private:
    platform::webview::Frame* frame_;
    WebBrowser* browser_;
};

class WebBrowser : public WindowedControl, private platform::webview::ViewClient {
public:
    WebBrowser(Container& parent, std::string name = "WebBrowser");
    ~WebBrowser() override;

    void Navigate(const std::string& url);
    void Refresh();
    void Stop();
    void GoBack();
    void GoForward();
    std::string LocationURL() const;
    bool Busy() const;
    bool Silent() const { return silent_; }
    void SetSilent(bool silent);
    // The browser object handed to a new-window request to open it here.
    WebBrowserObject* Object() { return &object_; }
    // The top document, or null when the view shows no HTML document.
    std::shared_ptr<HtmlDocument> Document() const;

    // Events, raised synchronously on the user-interface thread as handlers
    // of the runtime.
    std::function<void(WebBrowserObject& pDisp, const std::string& URL, long Flags,
                       const std::string& TargetFrameName, const std::string& PostData,
                       const std::string& Headers, bool& Cancel)>
        OnBeforeNavigate2;
    std::function<void(WebBrowserObject*& ppDisp, bool& Cancel)> OnNewWindow2;
    std::function<void(WebBrowserObject& pDisp, const std::string& URL)> OnNavigateComplete2;
    std::function<void(WebBrowserObject& pDisp, const std::string& URL)> OnDocumentComplete;
    std::function<void()> OnDownloadBegin;
    std::function<void(const std::string& Text)> OnTitleChange;

    // The engine's view of this control (null before its window exists).
    platform::webview::View* View() const { return view_.get(); }
    // The view paints the window and takes its mouse and key messages.
    LRESULT WindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void WindowCreated() override;
    void BeforeWindowDestroyed() override;
    void BoundsChanged(const RECT& old) override;
    void VisibilityChanged() override;

private:
    void BeforeNavigate(platform::webview::Frame& frame, const std::string& url,
                        const std::string& targetFrameName, bool& cancel) override;
    void NewWindow(platform::webview::View*& target, bool& cancel) override;
    void DownloadBegin() override;
    void NavigateComplete(platform::webview::Frame& frame, const std::string& url) override;
    void DocumentComplete(platform::webview::Frame& frame, const std::string& url) override;
    void TitleChange(const std::string& title) override;
    WebBrowserObject ObjectOf(platform::webview::Frame& frame);

    std::unique_ptr<platform::webview::View> view_;
    WebBrowserObject object_{nullptr, this};
    bool silent_ = false;
};

}  // namespace zem::forms
