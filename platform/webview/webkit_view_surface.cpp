// A WebKit view's pixels and input: what the offscreen window draws is copied
// into the page bitmap and from there into the control's window surface as
// part of its paint; the page is told whether it can be seen; the window's
// mouse and key messages become toolkit events at the same place.
#include <algorithm>
#include <chrono>
#include <memory>

#include "platform/drawing/window_painting.h"
#include "platform/webview/engine_loop.h"
#include "platform/webview/page_scripts.h"
#include "platform/webview/webkit_view.h"
#include "platform/window/user32.h"

namespace zem::platform::webview {
namespace {

// The desktop platform's virtual keys that carry no character of their own.
struct KeyMapping {
    WPARAM virtualKey;
    guint keyval;
};
constexpr KeyMapping kKeys[] = {
    {0x08, GDK_KEY_BackSpace}, {0x09, GDK_KEY_Tab},    {0x0D, GDK_KEY_Return}, {0x1B, GDK_KEY_Escape},
    {0x21, GDK_KEY_Page_Up},   {0x22, GDK_KEY_Page_Down}, {0x23, GDK_KEY_End}, {0x24, GDK_KEY_Home},
    {0x25, GDK_KEY_Left},      {0x26, GDK_KEY_Up},     {0x27, GDK_KEY_Right},  {0x28, GDK_KEY_Down},
    {0x2D, GDK_KEY_Insert},    {0x2E, GDK_KEY_Delete},
};

guint KeyvalOfVirtualKey(WPARAM virtualKey) {
    for (const KeyMapping& key : kKeys)
        if (key.virtualKey == virtualKey) return key.keyval;
    return 0;
}

guint32 EventTime() {
    return static_cast<guint32>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
}

GdkModifierType ModifiersOf(WPARAM keys) {
    int state = 0;
    if (keys & MK_LBUTTON) state |= GDK_BUTTON1_MASK;
    if (keys & MK_MBUTTON) state |= GDK_BUTTON2_MASK;
    if (keys & MK_RBUTTON) state |= GDK_BUTTON3_MASK;
    if (keys & MK_SHIFT) state |= GDK_SHIFT_MASK;
    if (keys & MK_CONTROL) state |= GDK_CONTROL_MASK;
    return static_cast<GdkModifierType>(state);
}

// How long the first paint of a page shown again waits for the engine's
// current picture of it; a page too busy to draw in that time shows the
// picture from before it was hidden until its next frame comes.
constexpr std::chrono::milliseconds kCurrentFrameLimit{200};

// Answers once the page has drawn a frame: a task after the next animation
// frame runs after that frame's pixels were sent to the program.
constexpr const char* kAfterNextFrame =
    "return new Promise(function (done) { requestAnimationFrame(function () { setTimeout(done, 0); }); });";

}  // namespace

// The offscreen window draws into memory of the program's own: left to the
// toolkit, its picture would be a pixmap at the X server, drawn there and
// read back with a round trip at every frame.
void WebKitView::DrawIntoMemory() {
    gtk_widget_realize(offscreen_);
    g_signal_connect(gtk_widget_get_window(offscreen_), "create-surface",
                     G_CALLBACK(+[](GdkWindow*, gint width, gint height, gpointer) -> cairo_surface_t* {
                         return cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
                     }),
                     nullptr);
}

// A view nobody can see (its control or a container hidden, its form hidden
// or minimized) has its offscreen window unmapped: the engine then treats the
// page as a browser treats a background tab (hidden visibility state, no
// animation frames, throttled timers, no painting).
void WebKitView::FollowWindowVisibility() {
    const bool visible = IsEffectivelyVisible(window_);
    if (visible == pageShown_) return;
    pageShown_ = visible;
    if (!visible) {
        gtk_widget_hide(offscreen_);
        // From now on the page bitmap may no longer be what the page shows.
        frameOutdated_ = HasPage();
        return;
    }
    gtk_widget_show(offscreen_);
    // A window shown again keeps its old surface: the paint brings the page.
    InvalidateRect(window_, nullptr, FALSE);
}

// Waits, bounded, until the engine has drawn the page as it is now: the
// page answers after its next frame, and the offscreen window is drawn once
// more after that answer, from the engine's pixels of that frame.
void WebKitView::AwaitCurrentFrame() {
    frameOutdated_ = false;
    if (!HasPage() || !pageShown_) return;
    struct Round {
        bool answered = false;
    };
    auto round = std::make_shared<Round>();
    webkit_web_view_call_async_javascript_function(
        web_, kAfterNextFrame, -1, nullptr, kScriptWorld, nullptr, nullptr,
        [](GObject* source, GAsyncResult* result, gpointer data) {
            std::unique_ptr<std::shared_ptr<Round>> owned(static_cast<std::shared_ptr<Round>*>(data));
            GError* error = nullptr;
            JSCValue* value =
                webkit_web_view_call_async_javascript_function_finish(WEBKIT_WEB_VIEW(source), result, &error);
            if (value != nullptr) g_object_unref(value);
            if (error != nullptr) g_error_free(error);
            (*owned)->answered = true;
        },
        new std::shared_ptr<Round>(round));
    const std::shared_ptr<bool> alive = alive_;
    const auto deadline = std::chrono::steady_clock::now() + kCurrentFrameLimit;
    auto remaining = [&] {
        return std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    };
    // The views' notifications wait meanwhile, as during a document read.
    BeginDocumentRead();
    if (RunEngineUntil([&] { return round->answered || !*alive; }, remaining()) && *alive) {
        const std::uint64_t drawn = framesDrawn_;
        gtk_widget_queue_draw(GTK_WIDGET(web_));
        RunEngineUntil([&] { return framesDrawn_ != drawn || !*alive; }, remaining());
    }
    EndDocumentRead();
    if (*alive) CopyDamage();
}

// The engine lays the page out anew at every size it is given and draws a
// whole new picture of it; an edge drag changes the control's size at every
// mouse step, far more often than a screen shows. So the offscreen window
// takes the control's size at most once per display frame: at once when a
// frame has passed since its last size, else at the end of that frame, with
// the size the control has then. The frame is real time, the engine's own,
// whatever the program's clock: a test's clock that stands still must not
// hold a page at an old size.
constexpr gint64 kSizeFrameMicroseconds = 16000;

void WebKitView::WindowChanged() {
    if (sizeSource_ != 0) return;  // the end of the frame takes the size the control has then
    if (FrameHasSize(ClientSize())) return;
    const gint64 now = g_get_monotonic_time();
    const gint64 due = lastSized_ + kSizeFrameMicroseconds;
    if (lastSized_ == 0 || now >= due) {
        TakeWindowSize();
        return;
    }
    const auto wait = static_cast<guint>((due - now + 999) / 1000);
    sizeSource_ = g_timeout_add_full(
        G_PRIORITY_DEFAULT, wait,
        [](gpointer view) -> gboolean {
            static_cast<WebKitView*>(view)->sizeSource_ = 0;
            static_cast<WebKitView*>(view)->TakeWindowSize();
            return G_SOURCE_REMOVE;
        },
        this, nullptr);
}

SIZE WebKitView::ClientSize() const {
    RECT client{};
    GetClientRect(window_, &client);
    return SIZE{std::max<LONG>(1, client.right - client.left), std::max<LONG>(1, client.bottom - client.top)};
}

bool WebKitView::FrameHasSize(SIZE size) const { return size.cx == frame_.Width() && size.cy == frame_.Height(); }

void WebKitView::TakeWindowSize() {
    const SIZE size = ClientSize();
    if (FrameHasSize(size)) return;
    lastSized_ = g_get_monotonic_time();
    const int width = static_cast<int>(size.cx);
    const int height = static_cast<int>(size.cy);
    frame_ = Bitmap(width, height, 0xFFFFFF);
    gtk_widget_set_size_request(GTK_WIDGET(web_), width, height);
    gtk_window_resize(GTK_WINDOW(offscreen_), width, height);
    gtk_widget_queue_draw(GTK_WIDGET(web_));
}

void WebKitView::Damaged(const GdkRectangle& area) {
    // Unmapped, the offscreen window holds no picture of the page.
    if (!pageShown_) return;
    ++framesDrawn_;
    if (damage_)
        gdk_rectangle_union(&*damage_, &area, &*damage_);
    else
        damage_ = area;
    // The copy waits until the toolkit has finished drawing this frame.
    if (copySource_ == 0)
        copySource_ = g_idle_add_full(
            G_PRIORITY_DEFAULT_IDLE,
            [](gpointer view) -> gboolean {
                static_cast<WebKitView*>(view)->copySource_ = 0;
                static_cast<WebKitView*>(view)->CopyDamage();
                return G_SOURCE_REMOVE;
            },
            this, nullptr);
}

void WebKitView::CopyDamage() {
    if (!damage_) return;
    if (!pageShown_) {
        damage_.reset();
        return;
    }
    cairo_surface_t* drawn = gtk_offscreen_window_get_surface(GTK_OFFSCREEN_WINDOW(offscreen_));
    GdkRectangle area = *damage_;
    damage_.reset();
    const GdkRectangle bounds{0, 0, frame_.Width(), frame_.Height()};
    if (drawn == nullptr || !gdk_rectangle_intersect(&area, &bounds, &area)) return;
    // The page bitmap's words are cairo's RGB24 layout: the toolkit draws
    // straight into it, and the unused top byte is cleared after.
    cairo_surface_t* target = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(frame_.Row(0)), CAIRO_FORMAT_RGB24, frame_.Width(), frame_.Height(),
        frame_.Width() * 4);
    cairo_t* cairo = cairo_create(target);
    cairo_rectangle(cairo, area.x, area.y, area.width, area.height);
    cairo_clip(cairo);
    cairo_set_operator(cairo, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cairo, drawn, 0, 0);
    cairo_paint(cairo);
    cairo_destroy(cairo);
    cairo_surface_flush(target);
    cairo_surface_destroy(target);
    for (int y = area.y; y < area.y + area.height; ++y) {
        Pixel* row = frame_.Row(y);
        for (int x = area.x; x < area.x + area.width; ++x) row[x] &= 0x00FFFFFF;
    }
    const RECT changed{area.x, area.y, area.x + area.width, area.y + area.height};
    InvalidateRect(window_, &changed, FALSE);
}

void WebKitView::ShowBlankPage() {
    frame_.Fill(RECT{0, 0, frame_.Width(), frame_.Height()}, 0xFFFFFF);
    InvalidateRect(window_, nullptr, FALSE);
}

void WebKitView::PaintWindow() {
    if (frameOutdated_) AwaitCurrentFrame();
    PAINTSTRUCT paint{};
    BeginPaint(window_, &paint);
    if (Bitmap* surface = WindowSurface(window_)) {
        const int right = std::min<int>({paint.rcPaint.right, surface->Width(), frame_.Width()});
        const int bottom = std::min<int>({paint.rcPaint.bottom, surface->Height(), frame_.Height()});
        const int left = std::max<int>(0, paint.rcPaint.left);
        for (int y = std::max<int>(0, paint.rcPaint.top); y < bottom && left < right; ++y)
            std::copy(frame_.Row(y) + left, frame_.Row(y) + right, surface->Row(y) + left);
        RECT drawn = paint.rcPaint;
        // Beyond the page (a surface larger than the last frame): blank.
        if (surface->Width() > frame_.Width() || surface->Height() > frame_.Height()) {
            surface->Fill(RECT{frame_.Width(), 0, surface->Width(), surface->Height()}, 0xFFFFFF);
            surface->Fill(RECT{0, frame_.Height(), surface->Width(), surface->Height()}, 0xFFFFFF);
            drawn = RECT{0, 0, surface->Width(), surface->Height()};
        }
        SurfaceDrawn(window_, drawn);
    }
    EndPaint(window_, &paint);
}

bool WebKitView::WindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    switch (message) {
        case WM_PAINT: PaintWindow(); return true;
        case WM_ERASEBKGND: result = 1; return true;
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MBUTTONDBLCLK:
        case WM_MOUSEWHEEL: ForwardMouse(message, wParam, lParam); return true;
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_CHAR: ForwardKey(message, wParam); return true;
        case WM_SETFOCUS: FocusView(true); return true;
        case WM_KILLFOCUS: FocusView(false); return true;
        default: return false;
    }
}

void WebKitView::SendEvent(GdkEvent* event) {
    GdkSeat* seat = gdk_display_get_default_seat(gdk_display_get_default());
    const bool key = event->type == GDK_KEY_PRESS || event->type == GDK_KEY_RELEASE;
    gdk_event_set_device(event, key ? gdk_seat_get_keyboard(seat) : gdk_seat_get_pointer(seat));
    gtk_widget_event(GTK_WIDGET(web_), event);
    gdk_event_free(event);
}

void WebKitView::ForwardMouse(UINT message, WPARAM wParam, LPARAM lParam) {
    POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (message == WM_MOUSEWHEEL) ScreenToClient(window_, &point);  // the wheel's place is on the screen
    GdkWindow* target = gtk_widget_get_window(GTK_WIDGET(web_));
    if (target == nullptr) return;
    auto make = [&](GdkEventType type) {
        GdkEvent* event = gdk_event_new(type);
        event->any.window = GDK_WINDOW(g_object_ref(target));
        event->any.send_event = TRUE;
        return event;
    };
    const GdkModifierType state = ModifiersOf(message == WM_MOUSEWHEEL ? LOWORD(wParam) : wParam);
    if (message == WM_MOUSEWHEEL) {
        GdkEvent* event = make(GDK_SCROLL);
        event->scroll.x = point.x;
        event->scroll.y = point.y;
        event->scroll.time = EventTime();
        event->scroll.state = state;
        event->scroll.direction = GDK_SCROLL_SMOOTH;
        // One notch (120) away from the user scrolls the page up by a step.
        event->scroll.delta_y = -static_cast<double>(static_cast<short>(HIWORD(wParam))) / WHEEL_DELTA;
        SendEvent(event);
        return;
    }
    if (message == WM_MOUSEMOVE) {
        GdkEvent* event = make(GDK_MOTION_NOTIFY);
        event->motion.x = point.x;
        event->motion.y = point.y;
        event->motion.time = EventTime();
        event->motion.state = state;
        SendEvent(event);
        return;
    }
    guint button = 1;
    if (message == WM_RBUTTONDOWN || message == WM_RBUTTONUP || message == WM_RBUTTONDBLCLK) button = 3;
    if (message == WM_MBUTTONDOWN || message == WM_MBUTTONUP || message == WM_MBUTTONDBLCLK) button = 2;
    const bool release = message == WM_LBUTTONUP || message == WM_RBUTTONUP || message == WM_MBUTTONUP;
    const bool doubleClick = message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK || message == WM_MBUTTONDBLCLK;
    if (!release) {
        // Focus follows a press, and the mouse stays with the view until
        // every button is up, as a drag inside the page expects.
        if (GetFocus() != window_) SetFocus(window_);
        SetCapture(window_);
    }
    auto send = [&](GdkEventType type) {
        GdkEvent* event = make(type);
        event->button.x = point.x;
        event->button.y = point.y;
        event->button.time = EventTime();
        event->button.button = button;
        event->button.state = state;
        SendEvent(event);
    };
    // The engine counts every press it is handed, a double-click event as
    // one more: the window system's double click is that event alone, so
    // the page sees its second click as the second, whatever the engine's
    // own double-click time.
    if (doubleClick)
        send(GDK_2BUTTON_PRESS);
    else
        send(release ? GDK_BUTTON_RELEASE : GDK_BUTTON_PRESS);
    if (release && !(wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) ReleaseCapture();
}

void WebKitView::ForwardKey(UINT message, WPARAM wParam) {
    GdkWindow* target = gtk_widget_get_window(GTK_WIDGET(web_));
    if (target == nullptr) return;
    guint keyval = 0;
    if (message == WM_CHAR) {
        // Characters below space come with their key (Enter, Backspace, Tab).
        if (wParam < 0x20 || wParam == 0x7F) return;
        keyval = gdk_unicode_to_keyval(static_cast<guint32>(wParam));
    } else {
        keyval = KeyvalOfVirtualKey(wParam);
        if (keyval == 0) return;  // a character key: its WM_CHAR types it
    }
    guint16 keycode = 0;
    GdkKeymapKey* keys = nullptr;
    gint count = 0;
    if (gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(gdk_display_get_default()), keyval, &keys,
                                          &count) &&
        count > 0)
        keycode = static_cast<guint16>(keys[0].keycode);
    g_free(keys);
    const bool press = message != WM_KEYUP;
    for (GdkEventType type : {GDK_KEY_PRESS, GDK_KEY_RELEASE}) {
        if (type == GDK_KEY_RELEASE && message == WM_KEYDOWN) break;  // its WM_KEYUP releases it
        if (type == GDK_KEY_PRESS && !press) continue;
        GdkEvent* event = gdk_event_new(type);
        event->key.window = GDK_WINDOW(g_object_ref(target));
        event->key.send_event = TRUE;
        event->key.time = EventTime();
        event->key.keyval = keyval;
        event->key.hardware_keycode = keycode;
        SendEvent(event);
    }
}

void WebKitView::FocusView(bool focused) {
    if (focused == focused_) return;
    focused_ = focused;
    // The view widget itself gets the focus change: the offscreen window
    // has no X window whose focus the toolkit could move.
    if (focused) gtk_widget_grab_focus(GTK_WIDGET(web_));
    GdkWindow* window = gtk_widget_get_window(GTK_WIDGET(web_));
    if (window == nullptr) return;
    GdkEvent* event = gdk_event_new(GDK_FOCUS_CHANGE);
    event->focus_change.window = GDK_WINDOW(g_object_ref(window));
    event->focus_change.send_event = TRUE;
    event->focus_change.in = focused ? TRUE : FALSE;
    gtk_widget_send_focus_change(GTK_WIDGET(web_), event);
    gdk_event_free(event);
}

}  // namespace zem::platform::webview
