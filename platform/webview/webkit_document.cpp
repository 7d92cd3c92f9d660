// The documents of a WebKit view, read through scripts in the view's own
// script world while the caller waits (the control's handlers read them
// synchronously, even from inside a pending navigation decision).
#include <string>
#include <vector>

#include "platform/base/text.h"
#include "platform/webview/engine_loop.h"
#include "platform/webview/page_scripts.h"
#include "platform/webview/webkit_view.h"

namespace zem::platform::webview {
namespace {

// How long a read waits for the page. A page whose script runs forever holds
// the web process; the reader then gets "no answer" after this bound instead
// of a program that hangs with it. Our reads take about a millisecond on
// small pages and a few hundred on pages with tens of thousands of links,
// more on a busy machine.
constexpr std::chrono::milliseconds kReadLimit{5000};

constexpr const char* kFieldSeparator = "\x1f";

// A script literal holding `text`.
std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        switch (c) {
            case '\\': quoted += "\\\\"; break;
            case '\'': quoted += "\\'"; break;
            case '\n': quoted += "\\n"; break;
            case '\r': quoted += "\\r"; break;
            case '<': quoted += "\\x3c"; break;
            default: quoted += c;
        }
    }
    return quoted + "'";
}

// A script giving the document of the frame at `path` as `d` to `body`,
// which evaluates to a string; the answer starts with "+" when it worked.
std::string InDocument(const std::string& path, const std::string& body) {
    return "(function(){try{var w=window,p=" + Quoted(path) +
           ";if(p)p.split('/').forEach(function(i){w=w.frames[+i];});var d=w.document;"
           "if(!d||!d.documentElement)return '-';return '+'+(" +
           body + ");}catch(e){return '-'+e;}})()";
}

class ScriptDocument final : public Document {
public:
    ScriptDocument(WebKitView& view, std::shared_ptr<bool> alive, std::string path)
        : view_(view), alive_(std::move(alive)), path_(std::move(path)) {}

    std::string Title() override { return Read("String(d.title)"); }

    std::vector<Anchor> ElementsByTagName(const std::string& tagName) override {
        // One joined string comes back far faster than a structured value.
        // Each address as the page wrote it.
        const std::string joined = Read(
            "(function(){var e=d.getElementsByTagName(" + Quoted(tagName) + "),L=[],w=" + kWrittenAddress +
            ",c=function(v){return v==null?'':String(v).split('\\x1f').join('');};"
            "for(var i=0;i<e.length;i++){L.push(c(w(e[i])),c(e[i].innerText));}return L.join('\\x1f');})()");
        std::vector<Anchor> anchors;
        std::vector<std::string> fields = Split(joined, kFieldSeparator);
        for (std::size_t index = 0; index + 1 < fields.size(); index += 2)
            anchors.push_back({std::move(fields[index]), std::move(fields[index + 1])});
        return anchors;
    }

    void SetBodyScroll(const std::string& value) override {
        // "no" hides the page's scroll bars; the engine knows the attribute
        // only as an attribute, so the overflow style does the hiding.
        Read("(function(){var b=d.body;if(!b)throw 'no body';var v=" + Quoted(value) +
             ";b.setAttribute('scroll',v);var o=v.toLowerCase()=='no'?'hidden':'';"
             "b.style.overflow=o;d.documentElement.style.overflow=o;return '';})()");
    }

    void SetBodyStyleBorder(const std::string& value) override {
        Read("(function(){if(!d.body)throw 'no body';d.body.style.border=" + Quoted(value) + ";return '';})()");
    }

    void SetContextMenuHandler(std::function<bool()> handler) override {
        const bool attach = static_cast<bool>(handler);
        Read(std::string("(d.__zemContextMenu=") + (attach ? "true" : "false") + ",'')");
        view_.SetContextMenuHandler(path_, std::move(handler));
    }

private:
    std::string Read(const std::string& body) {
        if (!*alive_ || !view_.HasPage()) throw DocumentError("the view shows no document");
        const std::optional<std::string> answer = view_.EvaluateNow(InDocument(path_, body), kReadLimit);
        if (!answer) throw DocumentError("the page did not answer");
        if (answer->empty() || (*answer)[0] != '+') throw DocumentError("the document cannot be read");
        return answer->substr(1);
    }

    WebKitView& view_;
    std::shared_ptr<bool> alive_;
    std::string path_;
};

}  // namespace

std::shared_ptr<Document> ScriptFrame::CurrentDocument() {
    if (!view_.HasPage()) return nullptr;
    // Only an HTML document counts (not an image or a text file on its own).
    const std::optional<std::string> type =
        view_.EvaluateNow(InDocument(path_, "d.contentType"), kReadLimit);
    if (!type || (*type != "+text/html" && *type != "+application/xhtml+xml")) return nullptr;
    return std::make_shared<ScriptDocument>(view_, view_.AliveToken(), path_);
}

std::optional<std::string> WebKitView::EvaluateNow(const std::string& script, std::chrono::milliseconds limit) {
    struct Call {
        bool done = false;
        std::optional<std::string> answer;
        GCancellable* cancellable = g_cancellable_new();
        ~Call() { g_object_unref(cancellable); }
    };
    auto call = std::make_shared<Call>();
    webkit_web_view_evaluate_javascript(
        web_, script.c_str(), static_cast<gssize>(script.size()), kScriptWorld, nullptr, call->cancellable,
        [](GObject* source, GAsyncResult* result, gpointer data) {
            std::unique_ptr<std::shared_ptr<Call>> owned(static_cast<std::shared_ptr<Call>*>(data));
            Call& call = **owned;
            GError* error = nullptr;
            JSCValue* value = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, &error);
            // A late answer, after the reader gave up, touches nothing.
            if (!g_cancellable_is_cancelled(call.cancellable) && value != nullptr && jsc_value_is_string(value)) {
                gchar* text = jsc_value_to_string(value);
                call.answer = text != nullptr ? text : "";
                g_free(text);
            }
            if (value != nullptr) g_object_unref(value);
            if (error != nullptr) g_error_free(error);
            call.done = true;
        },
        new std::shared_ptr<Call>(call));
    std::shared_ptr<bool> alive = alive_;
    BeginDocumentRead();
    const bool answered = RunEngineUntil([&] { return call->done || !*alive; }, limit);
    EndDocumentRead();
    if (!answered || !*alive) {
        g_cancellable_cancel(call->cancellable);
        return std::nullopt;
    }
    return call->answer;
}

}  // namespace zem::platform::webview
