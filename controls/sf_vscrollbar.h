// SFVScrollBar: the self-drawn vertical scroll bar. A child window 17 pixels
// wide that paints itself from the skin strip (bitmap resource 103) through an
// off-screen frame, with arrows that step and repeat, a draggable thumb sized
// to the page, track clicks that page and repeat, hover and pressed looks and
// the mouse wheel. Its messages reach WindowProc through the window-hook thunk.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "controls/control_window.h"
#include "controls/public_data.h"
#include "platform/drawing/picture.h"
#include "platform/forms/picture.h"
#include "platform/forms/property_bag.h"
#include "platform/window/user32.h"

class SFVScrollBar;
inline constexpr PublicData::ThunkEntryRoutine ScrollBarThunkEntry = &PublicData::ThunkEntry<SFVScrollBar>;

class SFVScrollBar {
public:
    // Skin rows of the looks.
    static constexpr int kUpResting = 0, kUpHover = 16, kUpPressed = 32;
    static constexpr int kTrackResting = 48, kTrackPressed = 50;
    static constexpr int kThumbResting = 52, kThumbHover = 62, kThumbPressed = 72;
    static constexpr int kDownResting = 82, kDownHover = 98, kDownPressed = 114;
    static constexpr int kWidth = 17;
    static constexpr int kRepeatTimer = 1;

    enum PressedPart { None = 0, UpArrow = 1, DownArrow = 2, Thumb = 3, TrackAbove = 4, TrackBelow = 5 };

    struct BarPart {
        RECT rect{};
        bool highlighted = false;
        bool pressed = false;
        int lookRow = 0;
    };

    // Makes the control's window as a child of `parent` at `bounds` (pixels),
    // initializes it, gives it the new-instance defaults or reads `saved`.
    SFVScrollBar(HWND parent, const RECT& bounds, const zem::forms::PropertyBag* saved = nullptr);
    ~SFVScrollBar();
    SFVScrollBar(const SFVScrollBar&) = delete;
    SFVScrollBar& operator=(const SFVScrollBar&) = delete;

    HWND hWnd() const { return window_; }
    std::int16_t Min() const { return static_cast<std::int16_t>(min_); }
    void SetMin(std::int16_t New_Min);
    std::int16_t Max() const { return static_cast<std::int16_t>(max_); }
    void SetMax(std::int16_t New_Max);
    std::int16_t Value() const { return static_cast<std::int16_t>(value_); }
    void SetValue(std::int16_t New_Value);
    std::int16_t LargeChange() const { return static_cast<std::int16_t>(largeChange_); }
    void SetLargeChange(std::int16_t New_LargeChange);
    std::int16_t SmallChange() const { return static_cast<std::int16_t>(smallChange_); }
    void SetSmallChange(std::int16_t New_SmallChange);
    const zem::forms::PictureRef& MouseIcon() const { return mouseIcon_; }
    void SetMouseIcon(zem::forms::PictureRef New_MouseIcon);

    // Events, raised synchronously from inside the message handling.
    std::function<void()> Change;
    std::function<void()> Scroll;
    // The host's property bag is told which key changed.
    std::function<void(const std::string& key)> PropertyChanged;

    void WriteProperties(zem::forms::PropertyBag& bag) const;

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // Read-only views for the host and for tests.
    int ThumbHeight() const { return thumbHeight_; }
    int ThumbTop() const { return thumbTop_; }
    const BarPart& Part(PressedPart part) const;
    int Pressed() const { return pressedPart_; }
    int TimerMode() const { return timerMode_; }

private:
    void Initialize();
    void InitProperties();
    void ReadProperties(const zem::forms::PropertyBag& bag);
    void Terminate();
    void Changed(const char* key);
    void UpdateThumb(bool bSize, bool bPos);
    void StepUp(std::int16_t n);
    void StepDown(std::int16_t n);
    void StepTowards(std::int32_t bound, std::int32_t newValue);
    void Refresh() { zem::controls::Repaint(window_); }

    void OnSize();
    void OnPaint();
    void OnButtonDown(LPARAM lParam);
    void OnTimer();
    void OnMouseMove(LPARAM lParam);
    void OnButtonUp(LPARAM lParam);
    void OnWheel(WPARAM wParam);
    void OnMouseLeave();
    void MovePressable(BarPart& part, int x, int y, int pressedRow, int hoverRow, int restingRow);
    void DragThumb(int x, int y);
    int Room() const { return clientRect_.bottom - 32 - thumbHeight_; }

    zem::controls::ControlWindow owned_;
    HWND window_ = nullptr;
    std::int32_t min_ = 0, max_ = 100, value_ = 0, largeChange_ = 1, smallChange_ = 1;
    zem::forms::PictureRef mouseIcon_;

    RECT clientRect_{};
    HDC windowDC_ = nullptr;
    HDC backDC_ = nullptr;
    HGDIOBJ backOriginalBitmap_ = nullptr;
    HBITMAP backBitmap_ = nullptr;
    HDC skinDC_ = nullptr;
    HGDIOBJ skinOriginalBitmap_ = nullptr;
    zem::platform::PicturePtr skin_;

    BarPart up_, down_, thumb_, above_, below_;
    int thumbHeight_ = 8;
    int thumbTop_ = 16;
    int pressedPart_ = None;
    int timerMode_ = 8;
    POINT dragStart_{};
    int dragStartTop_ = 0;
    std::int32_t lastDragValue_ = 0;
    RECT dragTolerance_{};
    LPARAM lastMouse_ = 0;
    TRACKMOUSEEVENT leaveRequest_{};
    PublicData::SubclassThunk thunk_;
};
