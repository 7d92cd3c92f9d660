// The engine also ends its web process for reasons it reports to no view (a
// request the network process refuses, among others): the views' pages then
// vanish without a word. Each view loads again what it showed or was loading,
// so no view is left blank, here with the end made by the test itself.
#include <string>
#include <vector>

#include "tests/webview/engine_fixture.h"
// Last: the toolkit's TRUE and FALSE macros must not rewrite the headers above.
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

namespace zem::forms {
namespace {

// The engine's views of this program, in the offscreen windows that hold them.
std::vector<WebKitWebView*> EngineViews() {
    std::vector<WebKitWebView*> views;
    GList* windows = gtk_window_list_toplevels();
    for (GList* window = windows; window != nullptr; window = window->next) {
        if (!GTK_IS_BIN(window->data)) continue;
        GtkWidget* child = gtk_bin_get_child(GTK_BIN(window->data));
        if (child != nullptr && WEBKIT_IS_WEB_VIEW(child)) views.push_back(WEBKIT_WEB_VIEW(child));
    }
    g_list_free(windows);
    return views;
}

// Ends the web process of every view (they share it) with its report kept
// from the views, as the engine does for the reasons it does not report.
void EndTheWebProcessUnreported() {
    const std::vector<WebKitWebView*> views = EngineViews();
    ASSERT_FALSE(views.empty());
    const guint reported = g_signal_lookup("web-process-terminated", WEBKIT_TYPE_WEB_VIEW);
    const auto unblocked = static_cast<GSignalMatchType>(G_SIGNAL_MATCH_ID | G_SIGNAL_MATCH_UNBLOCKED);
    std::vector<std::pair<WebKitWebView*, gulong>> blocked;
    for (WebKitWebView* view : views)
        while (const gulong handler = g_signal_handler_find(view, unblocked, reported, 0, nullptr, nullptr, nullptr)) {
            g_signal_handler_block(view, handler);
            blocked.emplace_back(view, handler);
        }
    ASSERT_FALSE(blocked.empty());
    webkit_web_view_terminate_web_process(views.front());
    for (const auto& [view, handler] : blocked) g_signal_handler_unblock(view, handler);
}

TEST_F(EngineTest, AWebProcessEndedUnreportedLeavesNoViewBlankNorALoadUnderWayLost) {
    ASSERT_TRUE(Load(form().Other, Page("next.html")));
    ASSERT_TRUE(Load(form().View, Page("styled.html")));
    ASSERT_TRUE(WaitForPixel(form().View, 30, 30, 0x0000FF));
    // The next page as the engine draws it, shown by the other view.
    ASSERT_TRUE(PumpUntil([&] { return PixelAt(form().Other, 30, 30) != 0xFFFFFF; }));
    const platform::Pixel next = PixelAt(form().Other, 30, 30);
    bool nextComplete = false;
    form().View.OnDocumentComplete = [&](WebBrowserObject&, const std::string& url) {
        if (url == Page("next.html")) nextComplete = true;
    };

    // The program's load under way in one view (as the start pages are when
    // the engine ends its process), the page shown in the other.
    form().View.Navigate(Page("next.html"));
    EndTheWebProcessUnreported();

    EXPECT_TRUE(PumpUntil([&] { return nextComplete; }, std::chrono::milliseconds(60000)));
    EXPECT_TRUE(WaitForPixel(form().View, 30, 30, next));
    ASSERT_NE(form().View.Document(), nullptr);
    EXPECT_EQ(form().View.Document()->title(), "Next page");
    EXPECT_TRUE(WaitForPixel(form().Other, 30, 30, next));
    ASSERT_NE(form().Other.Document(), nullptr);
    EXPECT_EQ(form().Other.Document()->title(), "Next page");
}

}  // namespace
}  // namespace zem::forms
