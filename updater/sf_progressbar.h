// SFProgressBar: the updater's self-drawn horizontal progress bar. It draws
// from the 10 x 10 skin (bitmap resource 101 of the program) into a frame of
// its own that survives being covered: its window's paints copy that frame.
// Height fixed at 10 pixels, any width; Min, Max and Value persist through
// the host's property bag. No events, no input.
#pragma once

#include <cstdint>
#include <string>

#include "controls/public_data.h"
#include "controls/self_drawn_control.h"
#include "platform/drawing/picture.h"

class SFProgressBar;
inline constexpr PublicData::ThunkEntryRoutine ProgressBarThunkEntry = &PublicData::ThunkEntry<SFProgressBar>;

class SFProgressBar : public zem::controls::SelfDrawnControl {
public:
    static constexpr int kHeight = 10;

    SFProgressBar(zem::forms::Container& parent, std::string name);
    ~SFProgressBar() override;

    // Setters keep 0 <= Min < Max and Min <= Value <= Max: a value that would
    // break them is refused (Value is not clamped). Every set tells the host
    // that the property changed, refused or not.
    std::int32_t Min() const { return min_; }
    void SetMin(std::int32_t New_Min);
    std::int32_t Max() const { return max_; }
    void SetMax(std::int32_t New_Max);
    std::int32_t Value() const { return value_; }
    void SetValue(std::int32_t New_Value);

    // The first column the empty track covers: the filled part is x 0 to F - 1.
    int FilledEnd() const;

    // While redraw is off, accepted values change the properties only; turned
    // on again, the bar is drawn once if anything changed meanwhile. A host
    // that sets values faster than the screen shows them paints only the last.
    void SetRedraw(bool redraw);

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void InitializeDrawing() override;
    void TerminateDrawing() override;
    void UserControl_InitProperties() override;
    void UserControl_ReadProperties(const zem::forms::PropertyBag& bag) override;
    void UserControl_WriteProperties(zem::forms::PropertyBag& bag) override;
    void UserControl_Resize() override;

    void RedrawBar();
    int InnerWidth() const;

    std::int32_t min_ = 0;
    std::int32_t max_ = 0;
    std::int32_t value_ = 0;
    bool redraw_ = true;
    bool redrawWaiting_ = false;
    zem::platform::PicturePtr skin_;
};
