#include "controls/sf_vscrollbar.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/drawing/gdi.h"
#include "platform/drawing/window_painting.h"

namespace {

// Rounds to the nearest integer, halves to even.
int RoundEven(double value) { return static_cast<int>(std::nearbyint(value)); }

RECT MakeRect(int left, int top, int right, int bottom) { return RECT{left, top, right, bottom}; }

bool PointInRect(const RECT& rect, int x, int y) {
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

}  // namespace

SFVScrollBar::SFVScrollBar(zem::forms::Container& parent, std::string name)
    : SelfDrawnControl(parent, std::move(name), this, ScrollBarThunkEntry) {
    EnsureWindow();
}

// Termination runs here, while the whole control exists.
SFVScrollBar::~SFVScrollBar() { DestroyChildWindow(); }

void SFVScrollBar::InitializeDrawing() {
    SetStretchBltMode(BackDC(), COLORONCOLOR);
    try {
        skin_ = zem::platform::LoadResPicture(103);
        SelectObject(SkinDC(), skin_->Handle());
    } catch (const zem::platform::PictureError&) {
        // Without its strip the bar still works; its copies draw nothing.
    }
    // The record's own size (16 bytes on a 32-bit platform).
    leaveRequest_.cbSize = sizeof(TRACKMOUSEEVENT);
    leaveRequest_.dwFlags = TME_LEAVE;
    leaveRequest_.hwndTrack = hWnd();
    leaveRequest_.dwHoverTime = 0;
    up_.lookRow = kUpResting;
    down_.lookRow = kDownResting;
    thumb_.lookRow = kThumbResting;
    above_.lookRow = kTrackResting;
    below_.lookRow = kTrackResting;
}

void SFVScrollBar::UserControl_InitProperties() {
    max_ = 100;
    largeChange_ = 1;
    smallChange_ = 1;
}

void SFVScrollBar::UserControl_ReadProperties(const zem::forms::PropertyBag& bag) {
    min_ = bag.ReadInt("Min", 0);
    max_ = bag.ReadInt("Max", 100);
    value_ = bag.ReadInt("Value", 0);
    largeChange_ = bag.ReadInt("LargeChange", 1);
    smallChange_ = bag.ReadInt("SmallChange", 1);
    UserControl::SetMouseIcon(bag.ReadPicture("MouseIcon"));
    UpdateThumb(true, true);
}

void SFVScrollBar::UserControl_WriteProperties(zem::forms::PropertyBag& bag) {
    bag.WriteProperty("Min", min_, 0);
    bag.WriteProperty("Max", max_, 100);
    bag.WriteProperty("Value", value_, 0);
    bag.WriteProperty("LargeChange", largeChange_, 1);
    bag.WriteProperty("SmallChange", smallChange_, 1);
    bag.WriteProperty("MouseIcon", MouseIcon(), zem::forms::PictureRef{});
}

void SFVScrollBar::TerminateDrawing() {
    KillTimer(hWnd(), kRepeatTimer);
    skin_.reset();
}

// ---- Properties -----------------------------------------------------------------------------

void SFVScrollBar::SetMin(std::int16_t New_Min) {
    min_ = New_Min;
    value_ = std::clamp(value_, std::min(min_, max_), std::max(min_, max_));
    UpdateThumb(true, true);
    Refresh();
    PropertyChanged("Min");
}

void SFVScrollBar::SetMax(std::int16_t New_Max) {
    max_ = New_Max;
    value_ = std::clamp(value_, std::min(min_, max_), std::max(min_, max_));
    UpdateThumb(true, true);
    Refresh();
    PropertyChanged("Max");
}

void SFVScrollBar::SetValue(std::int16_t New_Value) {
    bool stored = true;
    if (min_ <= max_) {
        value_ = std::clamp<std::int32_t>(New_Value, min_, max_);
    } else if (New_Value < max_ || New_Value > min_) {
        stored = false;
    } else {
        value_ = New_Value;
    }
    if (stored) {
        UpdateThumb(false, true);
        Refresh();
    }
    PropertyChanged("Value");
}

void SFVScrollBar::SetLargeChange(std::int16_t New_LargeChange) {
    if (New_LargeChange > 0) {
        largeChange_ = New_LargeChange;
        UpdateThumb(true, true);
        Refresh();
    }
    PropertyChanged("LargeChange");
}

void SFVScrollBar::SetSmallChange(std::int16_t New_SmallChange) {
    if (New_SmallChange > 0) {
        smallChange_ = New_SmallChange;
        Refresh();
    }
    PropertyChanged("SmallChange");
}

void SFVScrollBar::SetMouseIcon(zem::forms::PictureRef New_MouseIcon) {
    UserControl::SetMouseIcon(std::move(New_MouseIcon));
    PropertyChanged("MouseIcon");
}

const SFVScrollBar::BarPart& SFVScrollBar::Part(PressedPart part) const {
    switch (part) {
        case UpArrow: return up_;
        case DownArrow: return down_;
        case Thumb: return thumb_;
        case TrackAbove: return above_;
        default: return below_;
    }
}

// ---- Arithmetic -----------------------------------------------------------------------------

void SFVScrollBar::UpdateThumb(bool bSize, bool bPos) {
    const int height = clientRect_.bottom;
    if (bSize) {
        // A step of 0 or less can only come from saved data; it counts as 1
        // so that the page never divides by zero.
        const double page = largeChange_ > 0 ? largeChange_ : 1;
        thumbHeight_ = max_ == min_ ? height - 32
                                    : RoundEven((height - 32) / (std::abs(static_cast<double>(max_) - min_) / page + 1));
        thumbHeight_ = std::max(thumbHeight_, 8);
    }
    if (bPos) {
        // When the thumb fills the track or more (equal limits, or a track
        // shorter than the smallest thumb) it has no room: it sits at the top.
        if (max_ == min_ || Room() <= 0)
            thumbTop_ = 16;
        else
            thumbTop_ = 16 + RoundEven(static_cast<double>(Room()) / (static_cast<double>(max_) - min_) *
                                       (static_cast<double>(value_) - min_));
    }
    thumb_.rect = MakeRect(0, thumbTop_, 16, thumbTop_ + thumbHeight_);
    above_.rect = MakeRect(0, 16, 16, thumbTop_);
    below_.rect = MakeRect(0, thumbTop_ + thumbHeight_, 16, height - 16);
}

// The step's direction is told, not read from which limit the bound equals:
// with equal limits the bound is both, and the down arrow must stop at Max.
void SFVScrollBar::StepTowards(std::int32_t bound, std::int32_t newValue, bool towardsMin) {
    const std::int32_t before = value_;
    const bool upwards = towardsMin == (min_ <= max_);  // towards the smaller number
    const bool beyond = upwards ? newValue < bound : newValue > bound;
    value_ = beyond ? bound : newValue;
    if (before != bound) RaiseEvent(Change);
}

void SFVScrollBar::StepUp(std::int16_t n) { StepTowards(min_, min_ <= max_ ? value_ - n : value_ + n, true); }

void SFVScrollBar::StepDown(std::int16_t n) { StepTowards(max_, min_ <= max_ ? value_ + n : value_ - n, false); }

// ---- Messages -------------------------------------------------------------------------------

LRESULT SFVScrollBar::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE: OnSize(); return 0;
        case WM_PAINT: OnPaint(); return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: OnButtonDown(lParam); return 0;
        case WM_TIMER: OnTimer(); return 0;
        case WM_MOUSEMOVE: OnMouseMove(lParam); return 0;
        case WM_LBUTTONUP: OnButtonUp(lParam); return 0;
        case WM_MOUSEWHEEL: OnWheel(wParam); return 0;
        case WM_MOUSELEAVE: OnMouseLeave(); return 0;
        default: return CallSavedProcedure(window, message, wParam, lParam);
    }
}

void SFVScrollBar::OnSize() {
    RECT current{};
    GetClientRect(hWnd(), &current);
    if (current.right != kWidth) {
        // Through the extender, so that the host reads the width back.
        const RECT& place = PixelBounds();
        SetPixelBounds(RECT{place.left, place.top, place.left + kWidth, place.top + current.bottom});
        return;  // the resize sends WM_SIZE again at the right width
    }
    clientRect_ = current;
    ResizeBackBuffer(clientRect_.right, clientRect_.bottom);
    const int height = clientRect_.bottom;
    up_.rect = MakeRect(0, 0, 16, 16);
    down_.rect = MakeRect(0, height - 16, 16, height);
    dragTolerance_ = MakeRect(-130, -30, 147, height + 30);
    UpdateThumb(true, true);
}

void SFVScrollBar::OnPaint() {
    PAINTSTRUCT paint{};
    BeginPaint(hWnd(), &paint);
    const int width = clientRect_.right;
    const int height = clientRect_.bottom;
    BitBlt(BackDC(), 0, 0, 16, 16, SkinDC(), 0, up_.lookRow, SRCCOPY);
    if (thumbHeight_ < height - 32) {
        StretchBlt(BackDC(), 0, 16, 16, above_.rect.bottom - above_.rect.top, SkinDC(), 0, above_.lookRow, 16, 2,
                   SRCCOPY);
        StretchBlt(BackDC(), 0, below_.rect.top, 16, below_.rect.bottom - below_.rect.top, SkinDC(), 0,
                   below_.lookRow, 16, 2, SRCCOPY);
        BitBlt(BackDC(), 0, thumbTop_, 16, 4, SkinDC(), 0, thumb_.lookRow, SRCCOPY);
        if (thumbHeight_ > 8)
            StretchBlt(BackDC(), 0, thumbTop_ + 4, 16, thumbHeight_ - 8, SkinDC(), 0, thumb_.lookRow + 4, 16, 2,
                       SRCCOPY);
        BitBlt(BackDC(), 0, thumbTop_ + thumbHeight_ - 4, 16, 4, SkinDC(), 0, thumb_.lookRow + 6, SRCCOPY);
    } else {
        StretchBlt(BackDC(), 0, 16, 16, height - 32, SkinDC(), 0, kTrackResting, 16, 2, SRCCOPY);
    }
    BitBlt(BackDC(), 0, height - 16, 16, 16, SkinDC(), 0, down_.lookRow, SRCCOPY);
    BitBlt(WindowDC(), 0, 0, width, height, BackDC(), 0, 0, SRCCOPY);
    EndPaint(hWnd(), &paint);
}

void SFVScrollBar::OnButtonDown(LPARAM lParam) {
    lastMouse_ = lParam;
    SetCapture(hWnd());
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    if (PointInRect(up_.rect, x, y)) {
        up_.lookRow = kUpPressed;
        up_.pressed = true;
        pressedPart_ = UpArrow;
        StepUp(static_cast<std::int16_t>(smallChange_));
        UpdateThumb(false, true);
        timerMode_ = 0;
        SetTimer(hWnd(), kRepeatTimer, 500, nullptr);
    } else if (PointInRect(down_.rect, x, y)) {
        down_.lookRow = kDownPressed;
        down_.pressed = true;
        pressedPart_ = DownArrow;
        StepDown(static_cast<std::int16_t>(smallChange_));
        UpdateThumb(false, true);
        timerMode_ = 1;
        SetTimer(hWnd(), kRepeatTimer, 500, nullptr);
    } else if (PointInRect(thumb_.rect, x, y)) {
        dragStart_ = POINT{x, y};
        dragStartTop_ = thumbTop_;
        thumb_.lookRow = kThumbPressed;
        thumb_.pressed = true;
        pressedPart_ = Thumb;
    } else if (PointInRect(above_.rect, x, y)) {
        above_.lookRow = kTrackPressed;
        above_.pressed = true;
        pressedPart_ = TrackAbove;
        StepUp(static_cast<std::int16_t>(largeChange_));
        UpdateThumb(false, true);
        timerMode_ = 2;
        SetTimer(hWnd(), kRepeatTimer, 500, nullptr);
    } else if (PointInRect(below_.rect, x, y)) {
        below_.lookRow = kTrackPressed;
        below_.pressed = true;
        pressedPart_ = TrackBelow;
        StepDown(static_cast<std::int16_t>(largeChange_));
        UpdateThumb(false, true);
        timerMode_ = 3;
        SetTimer(hWnd(), kRepeatTimer, 500, nullptr);
    }
    Refresh();
}

void SFVScrollBar::OnTimer() {
    SetTimer(hWnd(), kRepeatTimer, 50, nullptr);
    if (timerMode_ == 0 || timerMode_ == 1) {
        if (timerMode_ == 0)
            StepUp(static_cast<std::int16_t>(smallChange_));
        else
            StepDown(static_cast<std::int16_t>(smallChange_));
        UpdateThumb(false, true);
        Refresh();
    } else if (timerMode_ == 2 || timerMode_ == 3) {
        POINT cursor{};
        GetCursorPos(&cursor);
        ScreenToClient(hWnd(), &cursor);
        BarPart& track = timerMode_ == 2 ? above_ : below_;
        if (PointInRect(track.rect, cursor.x, cursor.y)) {
            track.lookRow = kTrackPressed;
            if (timerMode_ == 2)
                StepUp(static_cast<std::int16_t>(largeChange_));
            else
                StepDown(static_cast<std::int16_t>(largeChange_));
            UpdateThumb(false, true);
        } else {
            track.lookRow = kTrackResting;
        }
        Refresh();
    }
}

void SFVScrollBar::MovePressable(BarPart& part, int x, int y, int pressedRow, int hoverRow, int restingRow) {
    const bool inside = PointInRect(part.rect, x, y);
    if (part.pressed) {
        if (inside && !part.highlighted) {
            part.lookRow = pressedRow;
            part.highlighted = true;
            SetTimer(hWnd(), kRepeatTimer, 50, nullptr);
            Refresh();
        } else if (!inside && part.highlighted) {
            part.lookRow = restingRow;
            part.highlighted = false;
            KillTimer(hWnd(), kRepeatTimer);
            Refresh();
        }
        return;
    }
    if (hoverRow < 0) return;  // the tracks have no hover look
    const bool hover = inside && pressedPart_ == None;
    if (hover && !part.highlighted) {
        part.lookRow = hoverRow;
        part.highlighted = true;
        TrackMouseEvent(&leaveRequest_);
        Refresh();
    } else if (!hover && part.highlighted) {
        part.lookRow = restingRow;
        part.highlighted = false;
        Refresh();
    }
}

void SFVScrollBar::OnMouseMove(LPARAM lParam) {
    lastMouse_ = lParam;
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    MovePressable(up_, x, y, kUpPressed, kUpHover, kUpResting);
    MovePressable(down_, x, y, kDownPressed, kDownHover, kDownResting);
    if (thumb_.pressed)
        DragThumb(x, y);
    else
        MovePressable(thumb_, x, y, kThumbPressed, kThumbHover, kThumbResting);
    MovePressable(above_, x, y, kTrackPressed, -1, kTrackResting);
    MovePressable(below_, x, y, kTrackPressed, -1, kTrackResting);
}

void SFVScrollBar::DragThumb(int x, int y) {
    // With no room to move (the thumb fills the track) a drag keeps the thumb
    // at the top and the value where it is: nothing to report.
    if (Room() <= 0 || max_ == min_) return;
    const bool inside = PointInRect(dragTolerance_, x, y);
    if (inside) {
        const int rawTop = dragStartTop_ + (y - dragStart_.y);
        thumbTop_ = std::clamp(rawTop, 16, clientRect_.bottom - 16 - thumbHeight_);
    } else {
        thumbTop_ = dragStartTop_;
    }
    UpdateThumb(false, false);
    value_ = min_ + RoundEven((static_cast<double>(max_) - min_) / Room() * (thumbTop_ - 16));
    if (value_ != lastDragValue_) {
        lastDragValue_ = value_;
        if (inside) thumb_.lookRow = kThumbPressed;
        Refresh();
        RaiseEvent(Scroll);
    }
}

void SFVScrollBar::OnButtonUp(LPARAM lParam) {
    lastMouse_ = lParam;
    ReleaseCapture();
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    if (up_.pressed) up_.lookRow = PointInRect(up_.rect, x, y) ? kUpHover : kUpResting;
    if (down_.pressed) down_.lookRow = PointInRect(down_.rect, x, y) ? kDownHover : kDownResting;
    if (thumb_.pressed) thumb_.lookRow = PointInRect(thumb_.rect, x, y) ? kThumbHover : kThumbResting;
    if (above_.pressed) above_.lookRow = kTrackResting;
    if (below_.pressed) below_.lookRow = kTrackResting;
    for (BarPart* part : {&up_, &down_, &thumb_, &above_, &below_}) part->pressed = false;
    Refresh();
    pressedPart_ = None;
    timerMode_ = 8;
    KillTimer(hWnd(), kRepeatTimer);
}

void SFVScrollBar::OnWheel(WPARAM wParam) {
    const auto turn = static_cast<std::int32_t>(static_cast<std::uint32_t>(wParam));
    // The wheel pages towards Min when turned away from the user and towards
    // Max otherwise, and never leaves the range, in either order of the limits.
    const std::int32_t low = std::min(min_, max_);
    const std::int32_t high = std::max(min_, max_);
    const std::int32_t towardsMin = min_ <= max_ ? -largeChange_ : largeChange_;
    const std::int32_t step = turn > 0 ? towardsMin : -towardsMin;
    value_ = std::clamp(value_ + step, low, high);
    UpdateThumb(false, true);
    Refresh();
    RaiseEvent(Scroll);
}

void SFVScrollBar::OnMouseLeave() {
    if (up_.highlighted) {
        up_.lookRow = kUpResting;
        up_.highlighted = false;
    }
    if (down_.highlighted) {
        down_.lookRow = kDownResting;
        down_.highlighted = false;
    }
    if (thumb_.highlighted) {
        thumb_.lookRow = kThumbResting;
        thumb_.highlighted = false;
    }
    Refresh();
}
