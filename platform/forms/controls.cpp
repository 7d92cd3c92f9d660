#include "platform/forms/controls.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>

#include "platform/base/text.h"
#include "platform/drawing/gdi.h"
#include "platform/drawing/text.h"
#include "platform/drawing/window_painting.h"
#include "platform/forms/runtime_error.h"
#include "platform/forms/scoped_font.h"
#include "platform/forms/tooltip.h"
#include "platform/window/user32.h"

namespace zem::forms {

namespace {

void FillWith(HDC dc, const RECT& rect, COLORREF oleColor) {
    HBRUSH brush = CreateSolidBrush(TranslateColor(oleColor));
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

RECT Offset(const RECT& rect, POINT origin) {
    return RECT{rect.left + origin.x, rect.top + origin.y, rect.right + origin.x, rect.bottom + origin.y};
}

}  // namespace

void RaiseControlArrayError(int number, const std::string& name, int index) {
    const std::string element = name + "(" + std::to_string(index) + ")";
    if (number == errControlArrayElementExists) throw RuntimeError(number, "Object already loaded: " + element);
    throw RuntimeError(number, "Control array element '" + std::to_string(index) + "' doesn't exist: " + element);
}

// ---- Label ---------------------------------------------------------------------

Label::Label(Container& parent, std::string name) : Control(parent, std::move(name)) { SetFont(parent.Font()); }

void Label::Redraw() { Parent().InvalidateInner(PixelBounds()); }

void Label::SetCaption(std::string caption) {
    caption_ = std::move(caption);
    Redraw();
}
void Label::SetBackStyle(int backStyle) {
    backStyle_ = backStyle;
    Redraw();
}
void Label::SetBackColor(COLORREF color) {
    backColor_ = color;
    Redraw();
}
void Label::SetForeColor(COLORREF color) {
    foreColor_ = color;
    Redraw();
}
void Label::SetAlignment(int alignment) {
    if (alignment < vbLeftJustify || alignment > vbCenter) throw RuntimeError(errInvalidPropertyValue);
    alignment_ = alignment;
    Redraw();
}
void Label::SetFont(FontRef font) {
    font_ = font ? std::move(font) : StdFont::Create();
    fontConnection_ = font_->OnFontChanged([this](const std::string&) { Redraw(); });
    Redraw();
}
void Label::SetEnabled(bool enabled) {
    Control::SetEnabled(enabled);
    Redraw();
}

void Label::Draw(HDC dc, POINT origin) {
    RECT place = Offset(PixelBounds(), origin);
    if (backStyle_ == vbOpaque) FillWith(dc, place, backColor_);
    if (caption_.empty()) return;
    ScopedFont font(dc, *font_);
    // A disabled label is drawn greyed.
    SetTextColor(dc, Enabled() ? TranslateColor(foreColor_) : GetSysColor(COLOR_GRAYTEXT));
    SetBkMode(dc, TRANSPARENT);
    const UINT format = DT_WORDBREAK | DT_NOPREFIX |
                        (alignment_ == vbCenter ? DT_CENTER : alignment_ == vbRightJustify ? DT_RIGHT : DT_LEFT);
    // The caption shows as the code page shows it ("?" for what GBK cannot
    // hold); a paint converts and lays out only as much of it as shows.
    platform::DrawTextAsGbk(dc, caption_, place, format);
}

// ---- Image -----------------------------------------------------------------------

Image::Image(Container& parent, std::string name) : Control(parent, std::move(name)) {}

void Image::SetPicture(PictureRef picture) {
    picture_ = std::move(picture);
    const RECT& bounds = PixelBounds();
    if (picture_ && !stretch_)
        SetPixelBounds(RECT{bounds.left, bounds.top, bounds.left + picture_->Width(), bounds.top + picture_->Height()});
    Parent().InvalidateInner(PixelBounds());
}

void Image::SetStretch(bool stretch) {
    stretch_ = stretch;
    Parent().InvalidateInner(PixelBounds());
}

void Image::Draw(HDC dc, POINT origin) {
    if (!picture_) return;
    const RECT place = Offset(PixelBounds(), origin);
    const RECT source{0, 0, picture_->Width(), picture_->Height()};
    const RECT destination =
        stretch_ ? place : RECT{place.left, place.top, place.left + picture_->Width(), place.top + picture_->Height()};
    platform::RenderPicture(dc, *picture_, destination, source);
}

// ---- Line -----------------------------------------------------------------------

Line::Line(Container& parent, std::string name) : Control(parent, std::move(name)) {}

float Line::X1() const { return Parent().ToUnits(from_.x); }
float Line::Y1() const { return Parent().ToUnits(from_.y); }
float Line::X2() const { return Parent().ToUnits(to_.x); }
float Line::Y2() const { return Parent().ToUnits(to_.y); }
void Line::SetX1(float value) { SetEnds(POINT{Parent().ToPixels(value), from_.y}, to_); }
void Line::SetY1(float value) { SetEnds(POINT{from_.x, Parent().ToPixels(value)}, to_); }
void Line::SetX2(float value) { SetEnds(from_, POINT{Parent().ToPixels(value), to_.y}); }
void Line::SetY2(float value) { SetEnds(from_, POINT{to_.x, Parent().ToPixels(value)}); }

void Line::SetBorderColor(COLORREF color) {
    color_ = color;
    Parent().InvalidateInner(PixelBounds());
}

// A line's place is the box around its ends, one pixel past the far end.
void Line::SetEnds(POINT from, POINT to) {
    from_ = from;
    to_ = to;
    SetPixelBounds(RECT{std::min(from.x, to.x), std::min(from.y, to.y), std::max(from.x, to.x) + 1,
                        std::max(from.y, to.y) + 1});
    Parent().InvalidateInner(PixelBounds());
}

void Line::Draw(HDC dc, POINT origin) {
    const COLORREF color = TranslateColor(color_);
    if (from_.x == to_.x || from_.y == to_.y) {
        // A level or upright line (a window's frame) is one rectangle, the
        // last point left out: one fill instead of a call per pixel.
        auto span = [](LONG from, LONG to) { return from <= to ? std::pair{from, to} : std::pair{to + 1, from + 1}; };
        const auto [left, right] = from_.y == to_.y ? span(from_.x, to_.x) : std::pair{from_.x, from_.x + 1};
        const auto [top, bottom] = from_.y == to_.y ? std::pair{from_.y, from_.y + 1} : span(from_.y, to_.y);
        if (from_.x == to_.x && from_.y == to_.y) return;
        const RECT rect{left + origin.x, top + origin.y, right + origin.x, bottom + origin.y};
        HBRUSH brush = CreateSolidBrush(color);
        FillRect(dc, &rect, brush);
        DeleteObject(brush);
        return;
    }
    LONG x = from_.x, y = from_.y;
    const LONG dx = std::abs(to_.x - x), dy = -std::abs(to_.y - y);
    const LONG stepX = x < to_.x ? 1 : -1, stepY = y < to_.y ? 1 : -1;
    LONG error = dx + dy;
    // The last point is left out, as the platform's lines leave it.
    while (x != to_.x || y != to_.y) {
        SetPixel(dc, x + origin.x, y + origin.y, color);
        const LONG doubled = 2 * error;
        if (doubled >= dy) {
            error += dy;
            x += stepX;
        }
        if (doubled <= dx) {
            error += dx;
            y += stepY;
        }
    }
}

// ---- Timer -----------------------------------------------------------------------

namespace {
// Window-timer ids of the runtime's timers: unique in the process, so one
// container's timers never collide.
UINT_PTR NextTimerId() {
    static UINT_PTR next = 0x5A00;
    return ++next;
}
}  // namespace

Timer::Timer(Container& parent, std::string name) : parent_(&parent), name_(std::move(name)), id_(NextTimerId()) {
    parent_->Adopt(*this);
}

Timer::~Timer() { parent_->Release(*this); }

void Timer::SetInterval(int milliseconds) {
    if (milliseconds < 0 || milliseconds > 65535) throw RuntimeError(errInvalidPropertyValue);
    interval_ = milliseconds;
    Apply();
}

void Timer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Apply();
}

void Timer::Apply() {
    HWND window = parent_->hWnd();
    if (window == nullptr) return;
    if (enabled_ && interval_ > 0)
        SetTimer(window, id_, static_cast<UINT>(interval_), nullptr);
    else
        KillTimer(window, id_);
}

// ---- Windowed controls -----------------------------------------------------------

WindowedControl::WindowedControl(Container& parent, std::string name) : Control(parent, std::move(name)) {
    // A control made while its container's window exists (an element loaded
    // into a control array at run time) gets its window at once.
    if (parent.hWnd() != nullptr) pendingCreate_ = true;
}

WindowedControl::~WindowedControl() { DestroyChildWindow(); }

void WindowedControl::EnsureWindow() {
    if (pendingCreate_) {
        pendingCreate_ = false;
        CreateChildWindow();
    }
}

void WindowedControl::CreateChildWindow() {
    if (hWnd() != nullptr || Parent().hWnd() == nullptr) return;
    const int border = Parent().BorderPixels();
    const RECT place = Offset(PixelBounds(), POINT{border, border});
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (Visible() ? WS_VISIBLE : 0) | (Enabled() ? 0 : WS_DISABLED);
    CreateOwnedWindow(0, style, place, Parent().hWnd(), Name());
    WindowCreated();
}

void WindowedControl::DestroyChildWindow() {
    BeforeWindowDestroyed();
    DestroyOwnedWindow();
}

void WindowedControl::ZOrder(int position) {
    if (hWnd())
        SetWindowPos(hWnd(), position == vbBringToFront ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void WindowedControl::SetEnabled(bool enabled) {
    Control::SetEnabled(enabled);
    if (hWnd()) EnableWindow(hWnd(), enabled ? TRUE : FALSE);
}

void WindowedControl::BoundsChanged(const RECT&) {
    if (!hWnd()) return;
    const int border = Parent().BorderPixels();
    const RECT& place = PixelBounds();
    MoveWindow(hWnd(), place.left + border, place.top + border, place.right - place.left, place.bottom - place.top,
               TRUE);
}

void WindowedControl::VisibilityChanged() {
    if (hWnd()) ShowWindow(hWnd(), Visible() ? SW_SHOWNA : SW_HIDE);
}

void WindowedControl::Repaint() {
    if (hWnd()) InvalidateRect(hWnd(), nullptr, TRUE);
}

void WindowedControl::DrawWindow(HDC dc, const RECT& client) { FillWith(dc, client, backColor_); }


// The mouse on a windowed control: its own window gets the messages; the
// coordinates are given in its container's units.
LRESULT WindowedControl::WindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            HDC dc = BeginPaint(hWnd(), &paint);
            RECT client{};
            GetClientRect(hWnd(), &client);
            DrawWindow(dc, client);
            EndPaint(hWnd(), &paint);
            return 0;
        }
        case WM_ERASEBKGND: return 1;
        case WM_CAPTURECHANGED:
            // The mouse went to another window during a press: that press is
            // over. (A release lets go of the mouse with no button held.)
            if (heldButtons_ != 0) {
                heldButtons_ = 0;
                doubleClicked_ = false;
            }
            return 0;
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MBUTTONDBLCLK: {
            if (!Enabled()) return 0;
            const float x = Parent().ToUnits(GET_X_LPARAM(lParam));
            const float y = Parent().ToUnits(GET_Y_LPARAM(lParam));
            const int shift = ShiftOf(wParam);
            const int button = ButtonOf(message);
            if (message == WM_MOUSEMOVE) {
                const int held = HeldButtonsOf(wParam);
                if (held == 0) ToolTipPointerOver(this, hWnd());
                if (OnMouseMove) RunEventHandler([&] { OnMouseMove(held, shift, x, y); });
            } else if (message == WM_LBUTTONDBLCLK) {
                heldButtons_ |= button;
                if (OnDblClick) RunEventHandler(OnDblClick);
                doubleClicked_ = true;
            } else if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN ||
                       message == WM_RBUTTONDBLCLK || message == WM_MBUTTONDBLCLK) {
                ToolTipButtonPressed();
                if (heldButtons_ == 0) SetCapture(hWnd());
                heldButtons_ |= button;
                if (OnMouseDown) RunEventHandler([&] { OnMouseDown(button, shift, x, y); });
            } else {
                const bool hadPress = (heldButtons_ & button) != 0;
                heldButtons_ &= ~button;
                if (heldButtons_ == 0 && GetCapture() == hWnd()) ReleaseCapture();
                if (OnMouseUp) RunEventHandler([&] { OnMouseUp(button, shift, x, y); });
                RECT client{};
                if (hWnd()) GetClientRect(hWnd(), &client);
                const bool over = GET_X_LPARAM(lParam) >= 0 && GET_Y_LPARAM(lParam) >= 0 &&
                                  GET_X_LPARAM(lParam) < client.right && GET_Y_LPARAM(lParam) < client.bottom;
                if (button == vbLeftButton && hadPress && over && !doubleClicked_ && OnClick)
                    RunEventHandler(OnClick);
                if (button == vbLeftButton) doubleClicked_ = false;
            }
            return 0;
        }
        default: break;
    }
    return WindowOwner::WindowMessage(message, wParam, lParam);
}

// ---- Picture box -------------------------------------------------------------------

PictureBox::PictureBox(Container& parent, std::string name) : PictureBox(parent, std::move(name), WindowLater{}) {
    EnsureWindow();
}

PictureBox::PictureBox(Container& parent, std::string name, WindowLater) : WindowedControl(parent, std::move(name)) {
    SetFont(parent.Font());
}

void PictureBox::WindowCreated() {
    ForgetSize();
    CreateChildWindows();
    CheckResize();
}

void PictureBox::BeforeWindowDestroyed() { DestroyChildWindows(); }

void PictureBox::SetBorderStyle(int borderStyle) {
    if (borderStyle != 0 && borderStyle != 1) throw RuntimeError(errInvalidPropertyValue);
    borderStyle_ = borderStyle;
    FitPicture();
    Refresh();
    CheckResize();
}

void PictureBox::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    FitPicture();
}

void PictureBox::SetPicture(PictureRef picture) {
    Container::SetPicture(std::move(picture));
    FitPicture();
}

void PictureBox::FitPicture() {
    if (!autoSize_ || !Picture()) return;
    const RECT& place = PixelBounds();
    const int frame = 2 * BorderPixels();
    SetPixelBounds(RECT{place.left, place.top, place.left + Picture()->Width() + frame,
                        place.top + Picture()->Height() + frame});
}

LRESULT PictureBox::WindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return Container::WindowMessage(message, wParam, lParam);
}

void PictureBox::RaisePaint() {
    if (OnPaint) RunEventHandler(OnPaint);
}
void PictureBox::RaiseResize() {
    if (OnResize) RunEventHandler(OnResize);
}
void PictureBox::RaiseMouse(UINT kind, int button, int shift, float x, float y) {
    if (!Enabled()) return;
    const MouseHandler& handler = kind == WM_LBUTTONDOWN ? OnMouseDown
                                  : kind == WM_LBUTTONUP ? OnMouseUp
                                                         : OnMouseMove;
    if (handler) RunEventHandler([&] { handler(button, shift, x, y); });
}
void PictureBox::RaiseClick(bool doubleClick) {
    if (!Enabled()) return;
    const ClickHandler& handler = doubleClick ? OnDblClick : OnClick;
    if (handler) RunEventHandler(handler);
}

void PictureBox::BoundsChanged(const RECT& old) {
    WindowedControl::BoundsChanged(old);
    if (!hWnd()) return;
    CheckResize();
}

// ---- Text box ------------------------------------------------------------------------

TextBox::TextBox(Container& parent, std::string name) : WindowedControl(parent, std::move(name)) {
    SetWindowBackColor(0x80000005);
    SetFont(parent.Font());
    EnsureWindow();
}

void TextBox::SetForeColor(COLORREF color) {
    foreColor_ = color;
    Repaint();
}

void TextBox::SetFont(FontRef font) {
    font_ = font ? std::move(font) : StdFont::Create();
    fontConnection_ = font_->OnFontChanged([this](const std::string&) { Repaint(); });
    Repaint();
}

void TextBox::SetText(std::string text) {
    if (text == text_) return;
    text_ = std::move(text);
    if (hWnd()) SetWindowTextA(hWnd(), platform::Utf8ToGbk(text_).c_str());
    Repaint();
    if (OnChange) RunEventHandler(OnChange);
}

void TextBox::DrawWindow(HDC dc, const RECT& client) {
    WindowedControl::DrawWindow(dc, client);
    if (text_.empty()) return;
    RECT place = client;
    ScopedFont font(dc, *font_);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, TranslateColor(foreColor_));
    platform::DrawTextAsGbk(dc, text_, place, DT_LEFT | DT_NOPREFIX);
}

namespace {

void AppendCodePoint(std::string& text, char32_t code) {
    if (code < 0x80) {
        text += static_cast<char>(code);
    } else if (code < 0x800) {
        text += static_cast<char>(0xC0 | (code >> 6));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        text += static_cast<char>(0xE0 | (code >> 12));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x110000) {
        text += static_cast<char>(0xF0 | (code >> 18));
        text += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace

// Typing edits at the end of the text: a character is appended, Backspace
// takes the last one away. A press gives the box the keyboard focus.
LRESULT TextBox::WindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDOWN && hWnd()) SetFocus(hWnd());
    if (message == WM_CHAR) {
        const auto code = static_cast<char32_t>(wParam);
        std::string text = text_;
        if (code == 0x08) {
            while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80) text.pop_back();
            if (!text.empty()) text.pop_back();
        } else if (code >= 0x20 && code != 0x7F) {
            AppendCodePoint(text, code);
        }
        SetText(std::move(text));
        return 0;
    }
    return WindowedControl::WindowMessage(message, wParam, lParam);
}

// ---- List box ---------------------------------------------------------------------------

ListBox::ListBox(Container& parent, std::string name) : WindowedControl(parent, std::move(name)) {
    SetWindowBackColor(0x80000005);
    EnsureWindow();
}

void ListBox::AddItem(std::string item, int index) {
    if (index < -1 || index > ListCount()) throw RuntimeError(errInvalidCall);
    if (index == -1)
        items_.push_back(std::move(item));
    else {
        items_.insert(items_.begin() + index, std::move(item));
        if (listIndex_ >= index) ++listIndex_;
    }
    Repaint();
}

void ListBox::RemoveItem(int index) {
    if (index < 0 || index >= ListCount()) throw RuntimeError(errInvalidCall);
    items_.erase(items_.begin() + index);
    if (listIndex_ == index)
        listIndex_ = -1;
    else if (listIndex_ > index)
        --listIndex_;
    Repaint();
}

void ListBox::Clear() {
    items_.clear();
    listIndex_ = -1;
    Repaint();
}

const std::string& ListBox::List(int index) const {
    static const std::string none;
    // Reading past the end gives an empty line, as the runtime's list does.
    if (index < 0 || index >= ListCount()) return none;
    return items_[static_cast<std::size_t>(index)];
}

void ListBox::SetList(int index, std::string item) {
    if (index < 0 || index >= ListCount()) throw RuntimeError(errInvalidCall);
    items_[static_cast<std::size_t>(index)] = std::move(item);
    Repaint();
}

void ListBox::SetListIndex(int index) {
    if (index < -1 || index >= ListCount()) throw RuntimeError(errInvalidPropertyValue);
    listIndex_ = index;
    Repaint();
}

void ListBox::DrawWindow(HDC dc, const RECT& client) {
    WindowedControl::DrawWindow(dc, client);
    SetBkMode(dc, TRANSPARENT);
    constexpr int lineHeight = 16;
    for (int line = 0; line < ListCount() && line * lineHeight < client.bottom; ++line) {
        RECT place{client.left, line * lineHeight, client.right, (line + 1) * lineHeight};
        if (line == listIndex_) FillWith(dc, place, 0x8000000D);
        SetTextColor(dc, GetSysColor(line == listIndex_ ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        platform::DrawTextAsGbk(dc, items_[static_cast<std::size_t>(line)], place, DT_LEFT | DT_NOPREFIX | DT_SINGLELINE);
    }
}

}  // namespace zem::forms
