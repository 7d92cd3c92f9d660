// SFVScrollBar: the self-drawn vertical scroll bar, a user control 17 pixels
// wide that paints itself from the skin strip (bitmap resource 103) through an
// off-screen frame, with arrows that step and repeat, a draggable thumb sized
// to the page, track clicks that page and repeat, hover and pressed looks and
// the mouse wheel. Its messages reach WindowProc through the window-hook thunk.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "controls/public_data.h"
#include "controls/self_drawn_control.h"
#include "platform/drawing/picture.h"
#include "platform/forms/picture.h"
#include "platform/forms/property_bag.h"
#include "platform/window/user32.h"

class SFVScrollBar;
inline constexpr PublicData::ThunkEntryRoutine ScrollBarThunkEntry = &PublicData::ThunkEntry<SFVScrollBar>;

class SFVScrollBar : public zem::controls::SelfDrawnControl {
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

    // A control on `parent`, with the new-instance properties until its host
    // loads saved ones.
    SFVScrollBar(zem::forms::Container& parent, std::string name);
    ~SFVScrollBar() override;

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
    // The control's own mouse-pointer picture (shown only with the custom pointer).
    const zem::forms::PictureRef& MouseIcon() const { return UserControl::MouseIcon(); }
    void SetMouseIcon(zem::forms::PictureRef New_MouseIcon);

    // Events, raised synchronously to the host from inside the message handling.
    std::function<void()> Change;
    std::function<void()> Scroll;

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // Read-only views for the host and for tests.
    int ThumbHeight() const { return thumbHeight_; }
    int ThumbTop() const { return thumbTop_; }
    const BarPart& Part(PressedPart part) const;
    int Pressed() const { return pressedPart_; }
    int TimerMode() const { return timerMode_; }

private:
    void InitializeDrawing() override;
    void TerminateDrawing() override;
    void UserControl_InitProperties() override;
    void UserControl_ReadProperties(const zem::forms::PropertyBag& bag) override;
    void UserControl_WriteProperties(zem::forms::PropertyBag& bag) override;
    void UpdateThumb(bool bSize, bool bPos);
    void StepUp(std::int16_t n);
    void StepDown(std::int16_t n);
    void StepTowards(std::int32_t bound, std::int32_t newValue, bool towardsMin);

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

    std::int32_t min_ = 0, max_ = 100, value_ = 0, largeChange_ = 1, smallChange_ = 1;

    RECT clientRect_{};
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
};
