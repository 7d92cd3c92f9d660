// The web engine behind the web-browser control, as one adapter interface: a
// view that loads addresses into a child window of ours, asks its client
// before every navigation and new window, and answers questions about its
// current HTML document synchronously. The forms runtime's WebBrowser is the
// only user; the engine (WebKitGTK with a display, a blank headless view
// without one, a test's fake) is chosen by the factory.
#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/win32_types.h"

namespace zem::platform::webview {

// The scheme of an address, lower-cased; "" when it starts with none.
std::string AddressScheme(std::string_view url);

// An http or https address: the only kind a page may open.
bool IsWebAddress(std::string_view url);

// A read of the document that cannot be answered: no HTML document, the page
// went away, or the engine did not answer in time.
class DocumentError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Anchor {
    std::string href;       // as the page wrote it where it starts with a scheme, else resolved
    std::string innerText;
};

// The HTML document a view or frame shows at the moment of the call. Every
// read throws DocumentError when it cannot be answered.
class Document {
public:
    virtual ~Document() = default;
    virtual std::string Title() = 0;
    // The elements of one tag name in document order, with their address and text.
    virtual std::vector<Anchor> ElementsByTagName(const std::string& tagName) = 0;
    virtual void SetBodyScroll(const std::string& value) = 0;
    virtual void SetBodyStyleBorder(const std::string& value) = 0;
    // The document's oncontextmenu handler; its answer is the event's return
    // value (false: the page shows no menu of its own). An empty handler
    // detaches it.
    virtual void SetContextMenuHandler(std::function<bool()> handler) = 0;
};

// A browsing context: the view's top document or one of its frames (the
// pDisp of the control's events).
class Frame {
public:
    virtual ~Frame() = default;
    // The frame's current HTML document, or null when it has none.
    virtual std::shared_ptr<Document> CurrentDocument() = 0;
};

class View;

// What a view tells the control, synchronously, on the user-interface thread.
class ViewClient {
public:
    virtual ~ViewClient() = default;
    // Before every navigation of the view and of its frames, and before each
    // navigation the program starts with Navigate. `cancel` true stops it.
    virtual void BeforeNavigate(Frame& frame, const std::string& url, const std::string& targetFrameName,
                                bool& cancel) = 0;
    // A page asks for a new window (target=_blank, window.open). The client may
    // name another view to load it in; `cancel` true drops the request. Left
    // alone, the view opens it itself.
    virtual void NewWindow(View*& target, bool& cancel) = 0;
    virtual void DownloadBegin() = 0;
    virtual void NavigateComplete(Frame& frame, const std::string& url) = 0;
    virtual void DocumentComplete(Frame& frame, const std::string& url) = 0;
    virtual void TitleChange(const std::string& title) = 0;
};

class View {
public:
    virtual ~View() = default;
    virtual void Navigate(const std::string& url) = 0;
    virtual void Refresh() = 0;
    virtual void Stop() = 0;
    virtual void GoBack() = 0;
    virtual void GoForward() = 0;
    virtual std::string LocationURL() const = 0;
    virtual bool Busy() const = 0;
    // Silent: the view shows no dialog boxes of its own (alert, confirm,
    // prompt, certificate and error dialogs are declined unseen).
    virtual void SetSilent(bool silent) = 0;
    virtual Frame& TopFrame() = 0;
    // The child window the view draws into and takes input from changed place or visibility.
    virtual void WindowChanged() = 0;
    // A message of that window (paint, mouse, keys, focus): true when the view
    // handled it, with the window procedure's answer in `result`.
    virtual bool WindowMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/, LRESULT& /*result*/) {
        return false;
    }
};

// Makes the view for a control's window. `related` is an earlier view of the
// same program (views of one program share one web process), or null.
using ViewFactory =
    std::function<std::unique_ptr<View>(HWND window, ViewClient& client, View* related)>;

// The engine of this run: WebKitGTK when an X display is there (and
// ZEM_HEADLESS is not 1), the headless view otherwise, or the factory a live
// ScopedViewFactory installed.
std::unique_ptr<View> CreateView(HWND window, ViewClient& client, View* related);

// The headless view: a blank face; each Navigate becomes LocationURL after its
// BeforeNavigate (unless cancelled); nothing loads and there is no document.
std::unique_ptr<View> CreateHeadlessView(HWND window, ViewClient& client);

// What the program's web process may use: past `limitMiB`, measured every
// `pollSeconds`, the engine ends it, and each view loads its page again once.
struct WebProcessMemory {
    unsigned limitMiB = 0;
    double pollSeconds = 0;
};

// 1.5 GiB, or a quarter of the machine's memory when that is less (room for
// the rest of a small machine), measured every 3 s: a page that takes memory
// as fast as it can gets a few seconds past the limit, and the measuring costs
// the idle web process about 0.1% of a core (every second it was a third of
// the idle player's whole budget of 1%).
WebProcessMemory DefaultWebProcessMemory();

// The limits the next web context gets (made with a program's first view).
WebProcessMemory CurrentWebProcessMemory();

// Sets the limits for its lifetime (tests); restores the previous ones.
class ScopedWebProcessMemory {
public:
    explicit ScopedWebProcessMemory(WebProcessMemory memory);
    ~ScopedWebProcessMemory();
    ScopedWebProcessMemory(const ScopedWebProcessMemory&) = delete;
    ScopedWebProcessMemory& operator=(const ScopedWebProcessMemory&) = delete;

private:
    WebProcessMemory previous_;
};

// Installs a view factory for its lifetime (tests); restores the previous one.
class ScopedViewFactory {
public:
    explicit ScopedViewFactory(ViewFactory factory);
    ~ScopedViewFactory();
    ScopedViewFactory(const ScopedViewFactory&) = delete;
    ScopedViewFactory& operator=(const ScopedViewFactory&) = delete;

private:
    ViewFactory previous_;
};

}  // namespace zem::platform::webview
