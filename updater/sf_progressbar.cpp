#include "updater/sf_progressbar.h"

#include <algorithm>

#include "platform/drawing/gdi.h"
#include "platform/drawing/window_painting.h"
#include "platform/window/user32.h"
#include "updater/rounding.h"

namespace {
constexpr int kSkinResource = 101;
// Source columns of the skin: border and fill at 0 to 7, empty track at 8 and 9.
constexpr int kLeftSourceX = 0, kFillSourceX = 3, kRightSourceX = 5, kTrackSourceX = 8;
}  // namespace

SFProgressBar::SFProgressBar(zem::forms::Container& parent, std::string name)
    : SelfDrawnControl(parent, std::move(name), this, ProgressBarThunkEntry) {
    EnsureWindow();
}

// Termination runs here, while the whole control exists.
SFProgressBar::~SFProgressBar() { DestroyChildWindow(); }

void SFProgressBar::InitializeDrawing() {
    try {
        skin_ = zem::platform::LoadResPicture(kSkinResource);
        SelectObject(SkinDC(), skin_->Handle());
    } catch (const zem::platform::PictureError&) {
        // Without its skin the bar draws nothing; the updater still works.
    }
    ResizeBackBuffer(InnerWidth(), kHeight);
}

void SFProgressBar::TerminateDrawing() { skin_.reset(); }

int SFProgressBar::InnerWidth() const { return static_cast<int>(PixelBounds().right - PixelBounds().left); }

void SFProgressBar::SetMin(std::int32_t New_Min) {
    if (New_Min >= 0 && New_Min < max_) {
        min_ = New_Min;
        if (value_ < New_Min) value_ = New_Min;
        RedrawBar();
    }
    PropertyChanged("Min");
}

void SFProgressBar::SetMax(std::int32_t New_Max) {
    if (New_Max > min_) {
        max_ = New_Max;
        if (value_ > New_Max) value_ = New_Max;
        RedrawBar();
    }
    PropertyChanged("Max");
}

void SFProgressBar::SetValue(std::int32_t New_Value) {
    if (New_Value >= min_ && New_Value <= max_) {
        value_ = New_Value;
        RedrawBar();
    }
    PropertyChanged("Value");
}

void SFProgressBar::UserControl_InitProperties() {
    max_ = 100;
    RedrawBar();
}

void SFProgressBar::UserControl_ReadProperties(const zem::forms::PropertyBag& bag) {
    min_ = bag.ReadInt("Min", 0);
    max_ = bag.ReadInt("Max", 100);
    value_ = bag.ReadInt("Value", 0);
    RedrawBar();
}

void SFProgressBar::UserControl_WriteProperties(zem::forms::PropertyBag& bag) {
    bag.WriteProperty("Min", min_, 0);
    bag.WriteProperty("Max", max_, 100);
    bag.WriteProperty("Value", value_, 0);
}

// 10 pixels high whatever the host asks for; then the bar anew in the new width.
void SFProgressBar::UserControl_Resize() {
    const RECT& place = PixelBounds();
    if (place.bottom - place.top != kHeight) {
        SetPixelBounds(RECT{place.left, place.top, place.right, place.top + kHeight});
        return;  // the new size raises Resize again
    }
    if (Initialized()) ResizeBackBuffer(InnerWidth(), kHeight);
    if (max_ != 0) RedrawBar();
}

int SFProgressBar::FilledEnd() const {
    // Saved properties are taken as stored; a range that is empty or reversed
    // would divide by zero or run backwards, so such a bar shows empty.
    if (max_ <= min_) return 1;
    const double width = InnerWidth();
    const double end = (width - 2) / (static_cast<double>(max_) - min_) * (static_cast<double>(value_) - min_) + 1;
    return static_cast<int>(zem::updater::RoundToEven(end));
}

void SFProgressBar::SetRedraw(bool redraw) {
    redraw_ = redraw;
    if (redraw_ && redrawWaiting_) RedrawBar();
}

// The full bar first, then the empty track over the part not yet filled.
void SFProgressBar::RedrawBar() {
    if (!redraw_) {
        redrawWaiting_ = true;
        return;
    }
    redrawWaiting_ = false;
    if (!Initialized()) return;
    const int width = InnerWidth();
    // Below 6 pixels the middle has no room; it is then left out.
    const int middle = std::max(width - 6, 0);
    HDC back = BackDC();
    StretchBlt(back, 0, 0, 3, kHeight, SkinDC(), kLeftSourceX, 0, 3, kHeight, SRCCOPY);
    StretchBlt(back, 3, 0, middle, kHeight, SkinDC(), kFillSourceX, 0, 2, kHeight, SRCCOPY);
    StretchBlt(back, width - 3, 0, 3, kHeight, SkinDC(), kRightSourceX, 0, 3, kHeight, SRCCOPY);
    const int filledEnd = FilledEnd();
    if (width - filledEnd - 1 > 0)
        StretchBlt(back, filledEnd, 0, width - filledEnd - 1, kHeight, SkinDC(), kTrackSourceX, 0, 2, kHeight, SRCCOPY);
    Refresh();
}

LRESULT SFProgressBar::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint{};
        BeginPaint(window, &paint);
        BitBlt(WindowDC(), 0, 0, InnerWidth(), kHeight, BackDC(), 0, 0, SRCCOPY);
        EndPaint(window, &paint);
        return 0;
    }
    return CallSavedProcedure(window, message, wParam, lParam);
}
