// The WebKitGTK engine behind the View interface: each view is a
// WebKitWebView in an offscreen toolkit window of the control's size. Its
// pixels are copied into the control's window surface as they change, the
// control's mouse and key messages are forwarded to it as toolkit events, and
// the engine's navigation and new-window decisions become the client's events.
// Only this file pair and its two companions include the toolkit.
#pragma once

// The platform's headers come first: the toolkit's TRUE and FALSE macros
// must not rewrite their declarations.
#include "platform/drawing/bitmap.h"
#include "platform/webview/web_view.h"
#include "platform/window/user32.h"
#include "platform/window/window_system.h"

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace zem::platform::webview {

class WebKitView;

// The view's top document or one of its frames, named by the path of frame
// indices from the top (empty for the top).
class ScriptFrame final : public Frame {
public:
    ScriptFrame(WebKitView& view, std::string path) : view_(view), path_(std::move(path)) {}
    std::shared_ptr<Document> CurrentDocument() override;
    const std::string& Path() const { return path_; }

private:
    WebKitView& view_;
    std::string path_;
};

class WebKitView final : public View {
public:
    WebKitView(HWND window, ViewClient& client, WebKitView* related);
    ~WebKitView() override;
    WebKitView(const WebKitView&) = delete;
    WebKitView& operator=(const WebKitView&) = delete;

    void Navigate(const std::string& url) override;
    void Refresh() override;
    void Stop() override;
    void GoBack() override;
    void GoForward() override;
    std::string LocationURL() const override { return location_; }
    bool Busy() const override;
    void SetSilent(bool silent) override { silent_ = silent; }
    Frame& TopFrame() override { return topFrame_; }
    void WindowChanged() override;
    bool WindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // Runs `script` in the view's own script world and waits, in a nested
    // loop bounded by `limit`, for its string answer; nothing when the page
    // has gone, the script failed or the engine did not answer in time.
    std::optional<std::string> EvaluateNow(const std::string& script, std::chrono::milliseconds limit);
    // Whether a document is there to read at all (a page has been committed
    // and the web process is alive).
    bool HasPage() const { return committed_ && !crashed_; }
    void SetContextMenuHandler(const std::string& framePath, std::function<bool()> handler);
    std::shared_ptr<bool> AliveToken() const { return alive_; }
    // The page as last drawn (0x00RRGGBB, the view's size).
    const Bitmap& Pixels() const { return frame_; }

private:
    struct Signals;
    friend struct Signals;

    // Navigation decisions and loading (webkit_view.cpp).
    gboolean DecidePolicy(WebKitPolicyDecision* decision, WebKitPolicyDecisionType type);
    gboolean DecidePageNavigation(WebKitPolicyDecision* decision, WebKitNavigationAction* action,
                                  const std::string& url, const std::string& reported);
    std::string ReportedAddress(const std::string& url);
    void RaiseNewWindow(const std::string& url, const std::string& reported);
    void OpenFromPage(const std::string& url, const std::string& reported);
    void StartLoad(const std::string& address);
    void LoadChanged(WebKitLoadEvent event);
    void ScriptMessage(const std::string& message);
    void ProcessTerminated(WebKitWebProcessTerminationReason reason);
    void AddressChanged();
    void LoadAgainAfterSilentEnd();
    gboolean ScriptDialog(WebKitScriptDialog* dialog);
    void Defer(std::function<void()> work);

    // Pixels and input (webkit_view_surface.cpp).
    void DrawIntoMemory();
    void Damaged(const GdkRectangle& area);
    void CopyDamage();
    void PaintWindow();
    void ShowBlankPage();
    SIZE ClientSize() const;
    bool FrameHasSize(SIZE size) const;
    // The offscreen window and the page bitmap take the control's size
    // (WindowChanged paces it to once per display frame).
    void TakeWindowSize();
    // Whether the page can be seen: the engine is told as a browser tells a
    // background tab (webkit_view_surface.cpp).
    void FollowWindowVisibility();
    void AwaitCurrentFrame();
    void ForwardMouse(UINT message, WPARAM wParam, LPARAM lParam);
    void ForwardKey(UINT message, WPARAM wParam);
    void FocusView(bool focused);
    void SendEvent(GdkEvent* event);

    HWND window_;
    ViewClient& client_;
    GtkWidget* offscreen_ = nullptr;
    WebKitWebView* web_ = nullptr;
    WebKitUserContentManager* contents_ = nullptr;
    ScriptFrame topFrame_{*this, ""};
    // The page as last drawn, and what of it changed since the last copy.
    Bitmap frame_;
    std::optional<GdkRectangle> damage_;
    guint copySource_ = 0;
    // When the offscreen window last took a new size (monotonic microseconds,
    // 0 before the first), and the end of that frame's wait, if one runs.
    gint64 lastSized_ = 0;
    guint sizeSource_ = 0;
    // Set while this object lives; deferred work and nested loops check it.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    std::string location_;
    bool silent_ = false;
    bool committed_ = false;
    std::optional<std::string> loadCommitted_;  // the address of the document the current load committed
    bool crashed_ = false;
    bool stopped_ = false;
    // The address of the load this view asked the engine for (the program's
    // Navigate, or a page's new window opened here), whose BeforeNavigate is
    // already raised: its decision is taken without raising it again.
    std::optional<std::string> requestedLoad_;
    // That load has been asked for and has not started yet.
    bool requestedLoadStarting_ = false;
    // The link a click in the page is about to follow: the address the engine
    // resolved, and the one the page wrote.
    struct ClickedLink {
        std::string resolved;
        std::string written;
    };
    std::optional<ClickedLink> clickedLink_;
    // The page was shown again once after the engine ended the web process
    // for its memory; the next end leaves it blank until the next Navigate.
    bool reloadedAfterMemoryEnd_ = false;
    // The engine also ends the web process for reasons it does not report
    // (the network process's refusal of a request among them): the page's
    // address then drops to nothing. The view loaded its address again once
    // since the program's last Navigate.
    bool reloadedAfterSilentEnd_ = false;
    bool focused_ = false;
    // The page is shown (the offscreen window mapped) while the control's
    // window can be seen; the observer follows every change of that.
    bool pageShown_ = false;
    // Hidden with a page: the page bitmap may be out of date until the
    // engine draws again.
    bool frameOutdated_ = false;
    std::uint64_t framesDrawn_ = 0;
    WindowObserverRegistration visibilityObserver_;
    std::map<std::string, std::function<bool()>> contextMenuHandlers_;
};

// Around a synchronous document read: the views' notifications wait meanwhile.
void BeginDocumentRead();
void EndDocumentRead();

std::unique_ptr<View> CreateWebKitView(HWND window, ViewClient& client, View* related);

}  // namespace zem::platform::webview
