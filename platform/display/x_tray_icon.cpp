#include "platform/display/x_tray_icon.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/base/text.h"
#include "platform/forms/tooltip.h"
#include "platform/shell/icons.h"
#include "platform/window/user32.h"
#include "platform/display/x_connection.h"

#include <X11/Xutil.h>

namespace zem::platform::display {
namespace {

// The size the window starts at, and the least it asks for: managers that
// size icons from WM_NORMAL_HINTS (trayer) otherwise give it one pixel of
// width; 16 x 16 is the small icon the record's icon is drawn at on the
// desktop platform, so a tray that is tighter still shows it whole.
constexpr int kStartSize = 22;
constexpr int kLeastSize = 16;
constexpr long kRequestDock = 0;
constexpr std::uint32_t kBackground = 0x303030;

}  // namespace

TrayIconWindow::TrayIconWindow(XConnection& connection, ::Window manager)
    : connection_(connection), width_(kStartSize), height_(kStartSize) {
    Display* display = connection_.display();
    XSetWindowAttributes attributes{};
    attributes.event_mask = ButtonPressMask | ButtonReleaseMask | ExposureMask | StructureNotifyMask |
                            EnterWindowMask | LeaveWindowMask | PointerMotionMask;
    attributes.background_pixel = kBackground;
    window_ = XCreateWindow(display, connection_.root(), 0, 0, kStartSize, kStartSize, 0, connection_.depth(),
                            InputOutput, connection_.visual(), CWEventMask | CWBackPixel, &attributes);
    XSizeHints hints{};
    hints.flags = PMinSize | PBaseSize;
    hints.min_width = hints.min_height = kLeastSize;
    hints.base_width = hints.base_height = kStartSize;
    XSetWMNormalHints(display, window_, &hints);
    // XEmbed: version 0, mapped once embedded.
    const long info[2] = {0, 1};
    const Atom embedInfo = connection_.atom("_XEMBED_INFO");
    XChangeProperty(display, window_, embedInfo, embedInfo, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(info), 2);
    XEvent request{};
    request.xclient.type = ClientMessage;
    request.xclient.window = manager;
    request.xclient.message_type = connection_.atom("_NET_SYSTEM_TRAY_OPCODE");
    request.xclient.format = 32;
    request.xclient.data.l[0] = CurrentTime;
    request.xclient.data.l[1] = kRequestDock;
    request.xclient.data.l[2] = static_cast<long>(window_);
    XSendEvent(display, manager, False, NoEventMask, &request);
}

TrayIconWindow::~TrayIconWindow() {
    forms::ToolTipLeaveArea(this);
    XDestroyWindow(connection_.display(), window_);
}

void TrayIconWindow::SetIcon(HICON icon) {
    if (icon == icon_) return;
    icon_ = icon;
    Paint();
}

void TrayIconWindow::SetTip(const std::string& tip) {
    if (tip == tip_) return;
    tip_ = tip;
    // The icon's name too, for trays that show it.
    XChangeProperty(connection_.display(), window_, connection_.atom("_NET_WM_NAME"),
                    connection_.atom("UTF8_STRING"), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(tip.data()), static_cast<int>(tip.size()));
    XStoreName(connection_.display(), window_, Utf8ToGbk(tip).c_str());
}

// The icon's pixels, scaled to the size the tray gave the window and blended
// over its background.
void TrayIconWindow::Paint() {
    const IconImage* image = IconFromHandle(icon_);
    if (image == nullptr || image->width <= 0 || image->height <= 0) return;
    const int width = std::max(width_, 1);
    const int height = std::max(height_, 1);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t source = image->pixels[static_cast<std::size_t>(y * image->height / height) *
                                                           static_cast<std::size_t>(image->width) +
                                                       static_cast<std::size_t>(x * image->width / width)];
            const std::uint32_t alpha = source >> 24;
            auto blend = [&](int shift) {
                return (((source >> shift) & 0xFF) * alpha + ((kBackground >> shift) & 0xFF) * (255 - alpha)) / 255
                       << shift;
            };
            pixels[static_cast<std::size_t>(y * width + x)] = blend(16) | blend(8) | blend(0);
        }
    XImage* ximage = XCreateImage(connection_.display(), connection_.visual(),
                                  static_cast<unsigned>(connection_.depth()), ZPixmap, 0,
                                  reinterpret_cast<char*>(pixels.data()), static_cast<unsigned>(width),
                                  static_cast<unsigned>(height), 32, width * 4);
    if (ximage == nullptr) return;
    GC gc = XCreateGC(connection_.display(), window_, 0, nullptr);
    XPutImage(connection_.display(), window_, gc, ximage, 0, 0, 0, 0, static_cast<unsigned>(width),
              static_cast<unsigned>(height));
    XFreeGC(connection_.display(), gc);
    ximage->data = nullptr;  // the vector owns the pixels
    XDestroyImage(ximage);
}

// The pointer over the icon arms the runtime's tooltip with the icon's tip;
// it is there while no crossing took it away.
void TrayIconWindow::PointerOver() {
    forms::ToolTipPointerOverArea(
        this, [this] { return tip_; }, [this] { return pointerInside_; });
}

UINT TrayIconWindow::HandleEvent(const XEvent& event) {
    switch (event.type) {
        case ConfigureNotify:
            if (event.xconfigure.width == width_ && event.xconfigure.height == height_) return 0;
            width_ = event.xconfigure.width;
            height_ = event.xconfigure.height;
            Paint();
            return 0;
        case Expose:
            if (event.xexpose.count == 0) Paint();
            return 0;
        case EnterNotify:
            pointerInside_ = true;
            if ((event.xcrossing.state & (Button1Mask | Button2Mask | Button3Mask)) == 0) PointerOver();
            return 0;
        case MotionNotify:
            pointerInside_ = true;
            if ((event.xmotion.state & (Button1Mask | Button2Mask | Button3Mask)) == 0) PointerOver();
            return 0;
        case LeaveNotify:
            pointerInside_ = false;
            forms::ToolTipLeaveArea(this);
            return 0;
        case ButtonPress:
        case ButtonRelease: break;
        default: return 0;
    }
    const XButtonEvent& button = event.xbutton;
    if (button.button < Button1 || button.button > Button3) return 0;
    const UINT downs[] = {WM_LBUTTONDOWN, WM_MBUTTONDOWN, WM_RBUTTONDOWN};
    const UINT ups[] = {WM_LBUTTONUP, WM_MBUTTONUP, WM_RBUTTONUP};
    const UINT twice[] = {WM_LBUTTONDBLCLK, WM_MBUTTONDBLCLK, WM_RBUTTONDBLCLK};
    const auto index = static_cast<std::size_t>(button.button - Button1);
    if (event.type == ButtonRelease) return ups[index];
    forms::ToolTipButtonPressed();
    // A second press soon after the first on the same button is a double click.
    const bool doublePress = lastButton_ == button.button && button.time - lastPress_ <= GetDoubleClickTime();
    lastButton_ = doublePress ? 0 : button.button;
    lastPress_ = button.time;
    return doublePress ? twice[index] : downs[index];
}

}  // namespace zem::platform::display
