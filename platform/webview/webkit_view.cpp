#include "platform/webview/webkit_view.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <filesystem>
#include <vector>

#include "platform/base/text.h"
#include "platform/system/files.h"
#include "platform/webview/engine_loop.h"
#include "platform/webview/page_scripts.h"
#include "platform/window/user32.h"

namespace zem::platform::webview {
namespace {

constexpr const char* kMessageChannel = "zem";

// What a view opens. A page (its links, frames, forms, redirects, history
// and new windows) reaches the web only: http and https. The program's own
// Navigate also opens its local pages (OwnLocalFile). Every address of
// another scheme (the program's own schemes among them) is only ever an
// event: no page can reach a handler of the system through one, and none
// reaches the engine's error page.
//
// The documents the engine would make from an address itself: a local file,
// or one the page supplies (data:, blob:, javascript:, about:). A page's
// request for one is refused unheard: the program never learns of it, and
// nothing of it shows.
bool IsEngineDocument(const std::string& url) {
    static const char* const kSchemes[] = {"file", "data", "blob", "javascript", "about"};
    const std::string scheme = AddressScheme(url);
    return scheme.empty() ||
           std::any_of(std::begin(kSchemes), std::end(kSchemes), [&](const char* known) { return scheme == known; });
}

// The empty documents the engine gives a frame made by script or from the
// page's own markup (srcdoc): the page's own content in its own origin, as
// harmless as the page itself. Refusing them would break ordinary pages.
bool IsFramesEmptyDocument(const std::string& url) { return url == "about:blank" || url == "about:srcdoc"; }

// The file address of a local page of the program: a file inside the program
// folder, named plainly (no host, query, fragment or dot segment), as the
// engine's address of that very path. Nothing else on the disk opens, not
// even through the program's own Navigate: the program also navigates to
// addresses it builds from page text (converted play addresses, "play://"
// replacements, the play list's entries), and only here does each of them
// pass, whoever built it.
std::optional<std::string> OwnLocalFile(const std::string& address) {
    if (AddressScheme(address) != "file" || address.find_first_of("?#") != std::string::npos) return std::nullopt;
    gchar* host = nullptr;
    gchar* decoded = g_filename_from_uri(address.c_str(), &host, nullptr);
    const bool local = host == nullptr || std::string_view(host) == "localhost";
    g_free(host);
    if (decoded == nullptr) return std::nullopt;
    const std::filesystem::path path(decoded);
    g_free(decoded);
    if (!local || !path.is_absolute() || path.lexically_normal() != path) return std::nullopt;
    std::error_code error;
    const std::filesystem::path file = std::filesystem::weakly_canonical(path, error);
    if (error) return std::nullopt;
    const std::filesystem::path folder = std::filesystem::weakly_canonical(ProgramFolder(), error);
    if (error) return std::nullopt;
    const std::filesystem::path inside = file.lexically_relative(folder);
    if (inside.empty() || inside == "." || *inside.begin() == "..") return std::nullopt;
    gchar* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
    if (uri == nullptr) return std::nullopt;
    std::string own = uri;
    g_free(uri);
    return own;
}

// The web context of a program's first view, which every later view shares
// through its related view: one web process, held to its memory limit. Past
// the limit the engine ends the process (the engine's milder steps, releasing
// its caches, start at a third and at half of it).
WebKitWebContext* NewWebContext() {
    const WebProcessMemory memory = CurrentWebProcessMemory();
    WebKitMemoryPressureSettings* settings = webkit_memory_pressure_settings_new();
    webkit_memory_pressure_settings_set_memory_limit(settings, memory.limitMiB);
    webkit_memory_pressure_settings_set_kill_threshold(settings, 1.0);
    webkit_memory_pressure_settings_set_poll_interval(settings, memory.pollSeconds);
    auto* context =
        WEBKIT_WEB_CONTEXT(g_object_new(WEBKIT_TYPE_WEB_CONTEXT, "memory-pressure-settings", settings, nullptr));
    webkit_memory_pressure_settings_free(settings);
    return context;
}

// A local path (POSIX, or with backslashes) as a file address; other text as it is.
std::string AddressOf(const std::string& url) {
    const std::string scheme = AddressScheme(url);
    const bool path = url.starts_with('/') || url.starts_with('\\') || url.find('\\') != std::string::npos;
    if (!path || (scheme.size() > 1 && url.find('\\') == std::string::npos)) return url;
    const std::string posix = ToPosixPath(url);
    gchar* uri = g_filename_to_uri(posix.c_str(), nullptr, nullptr);
    if (uri == nullptr) return url;
    std::string address = uri;
    g_free(uri);
    return address;
}

// The views' notifications (loads, titles, frames, the page menu) that arrive
// while a handler waits for a document read are held, and raised in their
// order once no read is pending: a handler's read never runs a later event of
// a page inside it, ahead of the event that handler is still answering.
class HeldEvents {
public:
    static void Raise(const std::shared_ptr<bool>& alive, std::function<void()> event) {
        HeldEvents& held = Instance();
        if (held.readDepth_ == 0 && held.queue_.empty()) {
            event();
            return;
        }
        held.queue_.push_back({alive, std::move(event)});
        held.ScheduleFlush();
    }
    static void BeginRead() { ++Instance().readDepth_; }
    static void EndRead() {
        HeldEvents& held = Instance();
        if (--held.readDepth_ == 0 && !held.queue_.empty()) held.ScheduleFlush();
    }

private:
    struct Held {
        std::shared_ptr<bool> alive;
        std::function<void()> event;
    };
    static HeldEvents& Instance() {
        static HeldEvents held;
        return held;
    }
    void ScheduleFlush() {
        if (flushSource_ != 0 || readDepth_ > 0) return;
        flushSource_ = g_idle_add_full(
            G_PRIORITY_DEFAULT,
            [](gpointer) -> gboolean {
                HeldEvents& held = Instance();
                held.flushSource_ = 0;
                // An event's handler may read a document again: what arrives
                // meanwhile queues up behind the rest.
                while (held.readDepth_ == 0 && !held.queue_.empty()) {
                    Held next = std::move(held.queue_.front());
                    held.queue_.pop_front();
                    if (*next.alive) next.event();
                }
                return G_SOURCE_REMOVE;
            },
            nullptr, nullptr);
    }

    int readDepth_ = 0;
    std::deque<Held> queue_;
    guint flushSource_ = 0;
};

}  // namespace

void BeginDocumentRead() { HeldEvents::BeginRead(); }
void EndDocumentRead() { HeldEvents::EndRead(); }

// The toolkit's callbacks, each forwarding to its view.
struct WebKitView::Signals {
    static gboolean Damage(GtkWidget*, GdkEventExpose* event, gpointer view) {
        static_cast<WebKitView*>(view)->Damaged(event->area);
        return FALSE;
    }
    static gboolean Policy(WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type,
                           gpointer view) {
        return static_cast<WebKitView*>(view)->DecidePolicy(decision, type);
    }
    static GtkWidget* Create(WebKitWebView*, WebKitNavigationAction* action, gpointer view) {
        const char* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
        // window.open: the request goes where the client says, and the page
        // gets no window of its own back.
        const std::string url = uri != nullptr ? uri : "";
        static_cast<WebKitView*>(view)->RaiseNewWindow(url, url);
        return nullptr;
    }
    static gboolean ContextMenu(WebKitWebView*, WebKitContextMenu*, GdkEvent*, WebKitHitTestResult*, gpointer) {
        // The engine's own menu is never shown: left to it, it would hold
        // the pointer and later clicks would not reach the page.
        return TRUE;
    }
    static void Load(WebKitWebView*, WebKitLoadEvent event, gpointer view) {
        static_cast<WebKitView*>(view)->LoadChanged(event);
    }
    static gboolean LoadFailed(WebKitWebView*, WebKitLoadEvent, gchar*, GError* error, gpointer view) {
        // A navigation we cancelled is no failure to show; a silent view
        // shows no error page either.
        if (g_error_matches(error, WEBKIT_POLICY_ERROR, WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE))
            return TRUE;
        if (g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED)) return TRUE;
        return static_cast<WebKitView*>(view)->silent_ ? TRUE : FALSE;
    }
    static gboolean TlsFailed(WebKitWebView*, gchar*, GTlsCertificate*, GTlsCertificateFlags, gpointer view) {
        return static_cast<WebKitView*>(view)->silent_ ? TRUE : FALSE;
    }
    static void Title(GObject*, GParamSpec*, gpointer data) {
        WebKitView* view = static_cast<WebKitView*>(data);
        const char* title = webkit_web_view_get_title(view->web_);
        HeldEvents::Raise(view->alive_,
                          [view, text = std::string(title != nullptr ? title : "")] { view->client_.TitleChange(text); });
    }
    static gboolean Dialog(WebKitWebView*, WebKitScriptDialog* dialog, gpointer view) {
        return static_cast<WebKitView*>(view)->ScriptDialog(dialog);
    }
    static gboolean Permission(WebKitWebView*, WebKitPermissionRequest* request, gpointer) {
        webkit_permission_request_deny(request);
        return TRUE;
    }
    static void Terminated(WebKitWebView*, WebKitWebProcessTerminationReason reason, gpointer view) {
        static_cast<WebKitView*>(view)->ProcessTerminated(reason);
    }
    static void Address(GObject*, GParamSpec*, gpointer view) { static_cast<WebKitView*>(view)->AddressChanged(); }
    static void Message(WebKitUserContentManager*, WebKitJavascriptResult* result, gpointer view) {
        JSCValue* value = webkit_javascript_result_get_js_value(result);
        if (value == nullptr || !jsc_value_is_string(value)) return;
        gchar* text = jsc_value_to_string(value);
        std::string message = text != nullptr ? text : "";
        g_free(text);
        static_cast<WebKitView*>(view)->ScriptMessage(message);
    }
};

WebKitView::WebKitView(HWND window, ViewClient& client, WebKitView* related) : window_(window), client_(client) {
    // Each view has its own content manager (so that the page messages of
    // each arrive at their own view), and every view after the first is
    // related to it: all pages of the program share one web process.
    contents_ = webkit_user_content_manager_new();
    if (related != nullptr) {
        web_ = WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "related-view", related->web_,
                                            "user-content-manager", contents_, nullptr));
    } else {
        WebKitWebContext* context = NewWebContext();
        web_ = WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", context, "user-content-manager",
                                            contents_, nullptr));
        g_object_unref(context);
    }
    WebKitSettings* settings = webkit_web_view_get_settings(web_);
    webkit_settings_set_enable_developer_extras(settings, FALSE);
    webkit_settings_set_enable_write_console_messages_to_stdout(settings, FALSE);
    // Every window a page opens, by a click or by a script on its own, is a
    // new-window request for the program to place (it never becomes a window).
    webkit_settings_set_javascript_can_open_windows_automatically(settings, TRUE);

    g_signal_connect(contents_, (std::string("script-message-received::") + kMessageChannel).c_str(),
                     G_CALLBACK(Signals::Message), this);
    webkit_user_content_manager_register_script_message_handler_in_world(contents_, kMessageChannel, kScriptWorld);
    const std::string pageScript = PageScript();
    WebKitUserScript* script = webkit_user_script_new_for_world(
        pageScript.c_str(), WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES, WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START,
        kScriptWorld, nullptr, nullptr);
    webkit_user_content_manager_add_script(contents_, script);
    webkit_user_script_unref(script);

    offscreen_ = gtk_offscreen_window_new();
    gtk_container_add(GTK_CONTAINER(offscreen_), GTK_WIDGET(web_));
    g_signal_connect(offscreen_, "damage-event", G_CALLBACK(Signals::Damage), this);
    g_signal_connect(web_, "decide-policy", G_CALLBACK(Signals::Policy), this);
    g_signal_connect(web_, "create", G_CALLBACK(Signals::Create), this);
    g_signal_connect(web_, "context-menu", G_CALLBACK(Signals::ContextMenu), this);
    g_signal_connect(web_, "load-changed", G_CALLBACK(Signals::Load), this);
    g_signal_connect(web_, "load-failed", G_CALLBACK(Signals::LoadFailed), this);
    g_signal_connect(web_, "load-failed-with-tls-errors", G_CALLBACK(Signals::TlsFailed), this);
    g_signal_connect(web_, "notify::title", G_CALLBACK(Signals::Title), this);
    g_signal_connect(web_, "script-dialog", G_CALLBACK(Signals::Dialog), this);
    g_signal_connect(web_, "permission-request", G_CALLBACK(Signals::Permission), this);
    g_signal_connect(web_, "web-process-terminated", G_CALLBACK(Signals::Terminated), this);
    g_signal_connect(web_, "notify::uri", G_CALLBACK(Signals::Address), this);
    WindowChanged();
    DrawIntoMemory();
    gtk_widget_show(GTK_WIDGET(web_));
    FollowWindowVisibility();
    visibilityObserver_ = WindowObserverRegistration([this](const WindowEvent& event) {
        if (event.kind == WindowEventKind::VisibilityChanged || event.kind == WindowEventKind::StateChanged ||
            event.kind == WindowEventKind::ParentChanged)
            FollowWindowVisibility();
    });
}

WebKitView::~WebKitView() {
    *alive_ = false;
    visibilityObserver_ = WindowObserverRegistration();
    if (copySource_ != 0) g_source_remove(copySource_);
    if (sizeSource_ != 0) g_source_remove(sizeSource_);
    g_signal_handlers_disconnect_by_data(contents_, this);
    g_signal_handlers_disconnect_by_data(offscreen_, this);
    g_signal_handlers_disconnect_by_data(web_, this);
    webkit_web_view_stop_loading(web_);
    gtk_widget_destroy(offscreen_);
    g_object_unref(contents_);
}

void WebKitView::Navigate(const std::string& url) {
    const std::string address = AddressOf(url);
    std::shared_ptr<bool> alive = alive_;
    bool cancel = false;
    client_.BeforeNavigate(topFrame_, address, "", cancel);
    if (!*alive || cancel) return;
    reloadedAfterMemoryEnd_ = false;
    reloadedAfterSilentEnd_ = false;
    if (IsWebAddress(address)) {
        StartLoad(address);
    } else if (const std::optional<std::string> own = OwnLocalFile(address)) {
        StartLoad(*own);
    }
}

// A page's new window opened in this view: asked like the page's own
// navigations, and only a web address loads.
void WebKitView::OpenFromPage(const std::string& url, const std::string& reported) {
    std::shared_ptr<bool> alive = alive_;
    bool cancel = false;
    client_.BeforeNavigate(topFrame_, reported, "", cancel);
    if (!*alive || cancel || !IsWebAddress(url)) return;
    StartLoad(url);
}

void WebKitView::StartLoad(const std::string& address) {
    location_ = address;
    crashed_ = false;
    stopped_ = false;
    requestedLoadStarting_ = true;
    webkit_web_view_load_uri(web_, address.c_str());
    // The decision for this load names the address as the engine reads it.
    const char* pending = webkit_web_view_get_uri(web_);
    requestedLoad_ = pending != nullptr ? pending : address;
}

void WebKitView::Refresh() { webkit_web_view_reload(web_); }

void WebKitView::Stop() {
    webkit_web_view_stop_loading(web_);
    // The program's load is over: a later navigation of the page asks again.
    requestedLoad_.reset();
    // A load stopped while the web process is still starting stays "loading"
    // in the engine forever; for the program it is over either way.
    stopped_ = true;
}

void WebKitView::GoBack() {
    if (webkit_web_view_can_go_back(web_)) webkit_web_view_go_back(web_);
}

void WebKitView::GoForward() {
    if (webkit_web_view_can_go_forward(web_)) webkit_web_view_go_forward(web_);
}

bool WebKitView::Busy() const { return !stopped_ && webkit_web_view_is_loading(web_) != FALSE; }

gboolean WebKitView::DecidePolicy(WebKitPolicyDecision* decision, WebKitPolicyDecisionType type) {
    if (type == WEBKIT_POLICY_DECISION_TYPE_RESPONSE) {
        // What the engine cannot show would become a download: none is made.
        auto* response = WEBKIT_RESPONSE_POLICY_DECISION(decision);
        if (!webkit_response_policy_decision_is_mime_type_supported(response)) {
            webkit_policy_decision_ignore(decision);
            return TRUE;
        }
        return FALSE;
    }
    WebKitNavigationAction* action =
        webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
    const char* requested = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
    const std::string url = requested != nullptr ? requested : "";
    const std::string reported = ReportedAddress(url);

    if (type == WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION) {
        webkit_policy_decision_ignore(decision);
        RaiseNewWindow(url, reported);
        return TRUE;
    }
    const WebKitNavigationType kind = webkit_navigation_action_get_navigation_type(action);
    if (requestedLoad_ == url && kind == WEBKIT_NAVIGATION_TYPE_OTHER &&
        !webkit_navigation_action_is_redirect(action)) {
        requestedLoad_.reset();
        webkit_policy_decision_use(decision);
        return TRUE;
    }
    // A reload asks nothing: the page stays the one the client allowed.
    if (kind == WEBKIT_NAVIGATION_TYPE_RELOAD || kind == WEBKIT_NAVIGATION_TYPE_FORM_RESUBMITTED) {
        webkit_policy_decision_use(decision);
        return TRUE;
    }
    return DecidePageNavigation(decision, action, url, reported);
}

gboolean WebKitView::DecidePageNavigation(WebKitPolicyDecision* decision, WebKitNavigationAction* action,
                                          const std::string& url, const std::string& reported) {
    const bool emptyFrame = IsFramesEmptyDocument(url);
    if (IsEngineDocument(url) && !emptyFrame) {
        webkit_policy_decision_ignore(decision);
        return TRUE;
    }
    // The decision stays pending while the client's handler runs (it may read
    // the page's document meanwhile), so it is held for that time.
    g_object_ref(decision);
    std::shared_ptr<bool> alive = alive_;
    bool cancel = false;
    const char* target = webkit_navigation_action_get_frame_name(action);
    client_.BeforeNavigate(topFrame_, reported, target != nullptr ? target : "", cancel);
    if (*alive && !cancel && (IsWebAddress(url) || emptyFrame))
        webkit_policy_decision_use(decision);
    else
        webkit_policy_decision_ignore(decision);
    g_object_unref(decision);
    return TRUE;
}

// The address a navigation reports: as the page wrote it when a click on a
// link started it (our page script saw the click first), the engine's
// otherwise. A page that changed the link in its own click handler follows
// another address, which is then the engine's.
std::string WebKitView::ReportedAddress(const std::string& url) {
    if (!clickedLink_ || clickedLink_->resolved != url) return url;
    std::string written = std::move(clickedLink_->written);
    clickedLink_.reset();
    return written;
}

void WebKitView::RaiseNewWindow(const std::string& url, const std::string& reported) {
    // A window to a document of the engine's own making is refused before
    // the program hears of it.
    if (IsEngineDocument(url)) return;
    std::shared_ptr<bool> alive = alive_;
    View* target = nullptr;
    bool cancel = false;
    client_.NewWindow(target, cancel);
    if (!*alive || cancel) return;
    // Left alone, the request opens in this same view: the program gets no
    // stray top-level windows. The load starts once the engine's own call
    // has returned. The views of one program are all of this engine.
    WebKitView* view = target == nullptr ? this : dynamic_cast<WebKitView*>(target);
    if (view == this) {
        Defer([this, url, reported] { OpenFromPage(url, reported); });
    } else if (view != nullptr) {
        view->OpenFromPage(url, reported);
    }
}

void WebKitView::Defer(std::function<void()> work) {
    struct Deferred {
        std::shared_ptr<bool> alive;
        std::function<void()> work;
    };
    g_idle_add_full(
        G_PRIORITY_DEFAULT,
        [](gpointer data) -> gboolean {
            auto* deferred = static_cast<Deferred*>(data);
            if (*deferred->alive) deferred->work();
            return G_SOURCE_REMOVE;
        },
        new Deferred{alive_, std::move(work)}, [](gpointer data) { delete static_cast<Deferred*>(data); });
}

void WebKitView::LoadChanged(WebKitLoadEvent event) {
    const char* uri = webkit_web_view_get_uri(web_);
    const std::string url = uri != nullptr ? uri : "";
    switch (event) {
        case WEBKIT_LOAD_STARTED:
            stopped_ = false;
            requestedLoadStarting_ = false;
            // A load that fails never commits: its end completes no document.
            loadCommitted_.reset();
            HeldEvents::Raise(alive_, [this] { client_.DownloadBegin(); }); break;
        case WEBKIT_LOAD_COMMITTED:
            committed_ = true;
            contextMenuHandlers_.clear();
            clickedLink_.reset();
            // Between the program's Navigate and the start of its load, what
            // the engine reports still belongs to the load before (the empty
            // document a stopped load leaves, the end of a load cut short),
            // while the view's address already names the new page: that
            // completes nothing, and the new load's own events follow.
            if (requestedLoadStarting_) {
                loadCommitted_.reset();
                break;
            }
            loadCommitted_ = url;
            location_ = url;
            HeldEvents::Raise(alive_, [this, url] { client_.NavigateComplete(topFrame_, url); });
            break;
        case WEBKIT_LOAD_FINISHED:
            // The document completed is the one the load committed, under its
            // own address (the view's may name the next page by now).
            if (loadCommitted_ && !requestedLoadStarting_)
                HeldEvents::Raise(alive_, [this, committed = *loadCommitted_] {
                    client_.DocumentComplete(topFrame_, committed);
                });
            break;
        default: break;
    }
}

// Messages our page script sends from every frame: "frame\x1fPATH\x1fURL"
// when a frame's document has loaded, "menu\x1fPATH" on a right click in a
// document whose context-menu handler is set, "click\x1fRESOLVED\x1fWRITTEN"
// when a click is about to follow a link.
void WebKitView::ScriptMessage(const std::string& message) {
    const std::vector<std::string> fields = Split(message, "\x1f");
    if (fields.size() == 3 && fields[0] == "click") {
        // Kept for the navigation that follows, which comes next.
        clickedLink_ = ClickedLink{fields[1], fields[2]};
    } else if (fields.size() == 3 && fields[0] == "frame" && !fields[1].empty()) {
        HeldEvents::Raise(alive_, [this, path = fields[1], url = fields[2]] {
            ScriptFrame frame(*this, path);
            client_.DocumentComplete(frame, url);
        });
    } else if (fields.size() == 2 && fields[0] == "menu") {
        HeldEvents::Raise(alive_, [this, path = fields[1]] {
            auto found = contextMenuHandlers_.find(path);
            if (found == contextMenuHandlers_.end()) return;
            std::function<bool()> handler = found->second;
            handler();
        });
    }
}

void WebKitView::SetContextMenuHandler(const std::string& framePath, std::function<bool()> handler) {
    if (handler)
        contextMenuHandlers_[framePath] = std::move(handler);
    else
        contextMenuHandlers_.erase(framePath);
}

void WebKitView::ProcessTerminated(WebKitWebProcessTerminationReason reason) {
    // The page is gone (all pages of the program share its process): the
    // view shows a blank face until the next Navigate starts a new one.
    crashed_ = true;
    committed_ = false;
    contextMenuHandlers_.clear();
    ShowBlankPage();
    // Ended for its memory, the process takes every view's page with it, the
    // one that grew among them: each view loads its page again, once. A page
    // that grows again ends it again, and then the views stay blank until the
    // program navigates them anew, so no page keeps the engine ending and
    // starting over.
    const char* page = webkit_web_view_get_uri(web_);
    if (reason != WEBKIT_WEB_PROCESS_EXCEEDED_MEMORY_LIMIT || reloadedAfterMemoryEnd_ || page == nullptr) return;
    reloadedAfterMemoryEnd_ = true;
    // The page allowed before, asked for by the view itself: it asks nothing.
    Defer([this, address = std::string(page)] {
        crashed_ = false;
        stopped_ = false;
        requestedLoad_ = address;
        webkit_web_view_reload(web_);
    });
}

// The engine's address of the view drops to nothing when the web process has
// gone. A crash or a memory end is reported right after (ProcessTerminated);
// without that report the process was ended silently, and the pages of every
// view in it, the program's loads under way among them, would be lost for
// good: the engine's own recovery reloads only a view's last document, which
// the view's navigation rules refuse. So the check waits for the engine's
// handling to finish, then loads the view's page again.
void WebKitView::AddressChanged() {
    const char* engineAddress = webkit_web_view_get_uri(web_);
    if ((engineAddress != nullptr && *engineAddress != '\0') || location_.empty() || stopped_ || crashed_) return;
    Defer([this] { LoadAgainAfterSilentEnd(); });
}

// The page the client allowed before (the one shown, or the program's load
// that was under way), loaded without asking again; once per program
// Navigate, so a page that makes the engine end its process each time does
// not keep it starting over.
void WebKitView::LoadAgainAfterSilentEnd() {
    const char* engineAddress = webkit_web_view_get_uri(web_);
    if ((engineAddress != nullptr && *engineAddress != '\0') || location_.empty() || stopped_ || crashed_ ||
        reloadedAfterSilentEnd_)
        return;
    reloadedAfterSilentEnd_ = true;
    committed_ = false;
    contextMenuHandlers_.clear();
    StartLoad(location_);
}

gboolean WebKitView::ScriptDialog(WebKitScriptDialog* dialog) {
    if (!silent_) return FALSE;
    // Silent: every dialog is answered as declined and none is shown; a page
    // asking to be left is let go.
    switch (webkit_script_dialog_get_dialog_type(dialog)) {
        case WEBKIT_SCRIPT_DIALOG_CONFIRM: webkit_script_dialog_confirm_set_confirmed(dialog, FALSE); break;
        case WEBKIT_SCRIPT_DIALOG_BEFORE_UNLOAD_CONFIRM:
            webkit_script_dialog_confirm_set_confirmed(dialog, TRUE);
            break;
        default: break;
    }
    return TRUE;
}

std::unique_ptr<View> CreateWebKitView(HWND window, ViewClient& client, View* related) {
    return std::make_unique<WebKitView>(window, client, dynamic_cast<WebKitView*>(related));
}

}  // namespace zem::platform::webview
