#include "platform/webview/engine_loop.h"
#include "platform/base/event_loop.h"

#include <gtk/gtk.h>
#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace zem::platform::webview {
namespace {

// GLib's main context behind the program's event loop: before each wait its
// descriptors become the loop's notifiers and its next time-out bounds the
// wait; after it, what is ready is dispatched.
class GlibWaitHook {
public:
    std::optional<Milliseconds> Prepare() {
        GMainContext* context = g_main_context_default();
        const bool ready = g_main_context_prepare(context, &priority_) != FALSE;
        gint timeout = -1;
        gint count = 0;
        while ((count = g_main_context_query(context, priority_, &timeout, queried_.data(),
                                             static_cast<gint>(queried_.size()))) >
               static_cast<gint>(queried_.size()))
            queried_.resize(static_cast<std::size_t>(count));
        std::vector<GPollFD> wanted(queried_.begin(), queried_.begin() + count);
        // The set rarely changes: the notifiers are made anew only when it does.
        const bool same = wanted.size() == descriptors_.size() &&
                          std::equal(wanted.begin(), wanted.end(), descriptors_.begin(),
                                     [](const GPollFD& a, const GPollFD& b) { return a.fd == b.fd && a.events == b.events; });
        if (!same) {
            notifiers_.clear();
            descriptors_ = std::move(wanted);
            for (std::size_t index = 0; index < descriptors_.size(); ++index)
                notifiers_.emplace_back(descriptors_[index].fd, static_cast<short>(descriptors_[index].events),
                                        [this, index](short revents) {
                                            if (index < descriptors_.size())
                                                descriptors_[index].revents = static_cast<gushort>(revents);
                                        });
        }
        for (GPollFD& descriptor : descriptors_) descriptor.revents = 0;
        if (ready) return Milliseconds{0};
        if (timeout < 0) return std::nullopt;
        return static_cast<Milliseconds>(timeout);
    }

    void Check() {
        GMainContext* context = g_main_context_default();
        if (g_main_context_check(context, priority_, descriptors_.data(), static_cast<gint>(descriptors_.size())))
            g_main_context_dispatch(context);
    }

private:
    gint priority_ = 0;
    std::vector<GPollFD> queried_ = std::vector<GPollFD>(16);
    std::vector<GPollFD> descriptors_;
    std::vector<ScopedNotifier> notifiers_;
};

bool StartToolkit() {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') return false;
    const char* headless = std::getenv("ZEM_HEADLESS");
    if (headless != nullptr && std::string_view(headless) == "1") return false;
    // Overlay scroll bars make every scrollable page in an offscreen window
    // repaint many times a second forever; software rendering without the
    // compositing mode gives crisp frames with less memory and fewer threads.
    g_setenv("GTK_OVERLAY_SCROLLING", "0", TRUE);
    g_setenv("WEBKIT_DISABLE_COMPOSITING_MODE", "1", TRUE);
    // The toolkit's windows here are offscreen: what a person sees is drawn
    // by our own display, so the accessibility bridge would only publish
    // invisible windows on the session bus.
    g_setenv("NO_AT_BRIDGE", "1", FALSE);
    if (!gtk_init_check(nullptr, nullptr)) return false;
    // The loop below waits on GLib's descriptors itself: it owns the context.
    g_main_context_acquire(g_main_context_default());
    // While the program's loop waits for messages, it waits on the engine too.
    static GlibWaitHook hook;
    EventLoop::Get().RegisterWaitHook(WaitHook{[] { return hook.Prepare(); }, [] { hook.Check(); }});
    return true;
}

}  // namespace

bool EngineAvailable() {
    static const bool available = StartToolkit();
    return available;
}

void RunEngineEvents(std::optional<std::chrono::milliseconds> timeout) {
    GMainContext* context = g_main_context_default();
    static thread_local std::vector<GPollFD> descriptors(16);
    gint priority = 0;
    gint glibTimeout = -1;
    g_main_context_prepare(context, &priority);
    gint count = 0;
    while ((count = g_main_context_query(context, priority, &glibTimeout, descriptors.data(),
                                         static_cast<gint>(descriptors.size()))) >
           static_cast<gint>(descriptors.size()))
        descriptors.resize(static_cast<std::size_t>(count));
    // The set changes between calls, so it is read afresh each time; a copy
    // keeps it safe from a nested call while this one dispatches.
    std::vector<GPollFD> ready(descriptors.begin(), descriptors.begin() + count);
    int wait = timeout ? static_cast<int>(std::min<std::chrono::milliseconds::rep>(timeout->count(), 1 << 30)) : -1;
    if (glibTimeout >= 0 && (wait < 0 || glibTimeout < wait)) wait = glibTimeout;
    std::vector<pollfd> polled(ready.size());
    for (std::size_t index = 0; index < ready.size(); ++index)
        polled[index] = {ready[index].fd, static_cast<short>(ready[index].events), 0};
    const int result = poll(polled.data(), polled.size(), wait);
    for (std::size_t index = 0; index < ready.size(); ++index)
        ready[index].revents = result > 0 ? static_cast<gushort>(polled[index].revents) : 0;
    if (g_main_context_check(context, priority, ready.data(), static_cast<gint>(ready.size())))
        g_main_context_dispatch(context);
}

bool RunEngineUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) break;
        RunEngineEvents(std::chrono::ceil<std::chrono::milliseconds>(deadline - now));
    }
    return done();
}

}  // namespace zem::platform::webview
