#include <memory>
#include <string>
#include <vector>

#include "controls/sf_vscrollbar.h"
#include "tests/controls/control_host.h"

namespace {

using zem::controls::testing::ControlHost;

class ScrollBar : public ControlHost {
protected:
    SFVScrollBar& Make(int height, const zem::forms::PropertyBag* saved = nullptr) {
        bar = Place<SFVScrollBar>(RECT{0, 0, 17, height}, saved);
        bar->Change = [this] { events.push_back("Change " + std::to_string(bar->Value())); };
        bar->Scroll = [this] { events.push_back("Scroll " + std::to_string(bar->Value())); };
        bar->OnPropertyChanged = [this](const std::string& key) { changedKeys.push_back(key); };
        return *bar;
    }
    int Look(SFVScrollBar::PressedPart part) const { return bar->Part(part).lookRow; }

    std::unique_ptr<SFVScrollBar> bar;
    std::vector<std::string> events;
    std::vector<std::string> changedKeys;
};

TEST_F(ScrollBar, ThumbSizeAndPlaceFollowRangePageAndValue) {
    struct Case { int height, min, max, large, value, thumbHeight, thumbTop; };
    const Case cases[] = {
        {200, 0, 100, 1, 0, 8, 16},       // round(168 / 101) = 2, raised to 8
        {300, 0, 500, 28, 250, 14, 143},
        {300, 0, 500, 28, 500, 14, 270},  // bottom: 300 - 16 - 14
        {300, 100, 0, 28, 100, 59, 16},   // reversed range: the top is Min
        {300, 100, 0, 28, 0, 59, 225},
        {300, 7, 7, 1, 7, 268, 16},       // equal limits: the thumb fills the track
        {36, 0, 100, 1, 50, 8, 16},       // a track shorter than the smallest thumb: no room
        {116, 0, 1, 1, 0, 42, 16},        // 84 / 2 = 42
        {116, 0, 3, 2, 0, 34, 16},        // 84 / 2.5 = 33.6
        {50, 0, 10, 4, 0, 8, 16},         // 18 / 3.5 = 5, raised to 8
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.height * 1000 + c.max);
        Make(c.height);
        bar->SetMin(static_cast<std::int16_t>(c.min));
        bar->SetMax(static_cast<std::int16_t>(c.max));
        bar->SetLargeChange(static_cast<std::int16_t>(c.large));
        bar->SetValue(static_cast<std::int16_t>(c.value));
        EXPECT_EQ(bar->ThumbHeight(), c.thumbHeight);
        EXPECT_EQ(bar->ThumbTop(), c.thumbTop);
        EXPECT_EQ(bar->Value(), c.value);
    }
}

TEST_F(ScrollBar, HalvesRoundToEven) {
    // Track 100 - 32 = 68 over (2 / 1 + 1) = 22.67 -> 23; room 45 over 2 steps:
    // Value 1 gives 22.5, which rounds to 22.
    Make(100);
    bar->SetMax(2);
    bar->SetValue(1);
    EXPECT_EQ(bar->ThumbHeight(), 23);
    EXPECT_EQ(bar->ThumbTop(), 16 + 22);
}

TEST_F(ScrollBar, LetsLimitOrRefuseWithoutEventsAndAlwaysReportTheirKey) {
    Make(200);
    bar->SetValue(150);
    EXPECT_EQ(bar->Value(), 100);
    bar->SetLargeChange(0);
    bar->SetSmallChange(-3);
    EXPECT_EQ(bar->LargeChange(), 1);
    EXPECT_EQ(bar->SmallChange(), 1);
    bar->SetMax(50);  // brings Value into the new range
    EXPECT_EQ(bar->Value(), 50);
    bar->SetMin(100);
    bar->SetMax(0);
    EXPECT_EQ(bar->Value(), 50);
    bar->SetValue(150);  // outside the reversed range: ignored
    EXPECT_EQ(bar->Value(), 50);
    bar->SetValue(30);
    EXPECT_EQ(bar->Value(), 30);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(changedKeys, (std::vector<std::string>{"Value", "LargeChange", "SmallChange", "Max", "Min", "Max",
                                                     "Value", "Value"}));
}

TEST_F(ScrollBar, ControlIsAlwaysSeventeenPixelsWide) {
    Make(200);
    RECT rect{};
    GetClientRect(bar->hWnd(), &rect);
    EXPECT_EQ(rect.right, 17);
    bar->Move(0, 0, 80, 250);  // the host asks for more through the extender...
    GetClientRect(bar->hWnd(), &rect);
    EXPECT_EQ(rect.right, 17);
    EXPECT_EQ(rect.bottom, 250);
    EXPECT_FLOAT_EQ(bar->Width(), 17.0f);  // ...and reads back what the bar keeps
    EXPECT_FLOAT_EQ(bar->Height(), 250.0f);
    EXPECT_EQ(bar->Part(SFVScrollBar::DownArrow).rect.top, 234);
}

TEST_F(ScrollBar, HeldDownArrowStepsAtPressThenAfter500ThenEvery50) {
    Make(200);
    Move(8, 190);
    EXPECT_EQ(Look(SFVScrollBar::DownArrow), SFVScrollBar::kDownHover);
    Press(8, 190);
    EXPECT_EQ(Look(SFVScrollBar::DownArrow), SFVScrollBar::kDownPressed);
    EXPECT_EQ(events, (std::vector<std::string>{"Change 1"}));
    Advance(499);
    EXPECT_EQ(bar->Value(), 1);
    Advance(1);
    EXPECT_EQ(bar->Value(), 2);
    Advance(100);
    EXPECT_EQ(bar->Value(), 4);
    Move(8, 100);  // off the arrow: resting look, no repeat
    EXPECT_EQ(Look(SFVScrollBar::DownArrow), SFVScrollBar::kDownResting);
    Advance(1000);
    EXPECT_EQ(bar->Value(), 4);
    Move(8, 190);  // back on: the repeat restarts at 50 ms
    EXPECT_EQ(Look(SFVScrollBar::DownArrow), SFVScrollBar::kDownPressed);
    Advance(50);
    EXPECT_EQ(bar->Value(), 5);
    Release(8, 190);
    EXPECT_EQ(Look(SFVScrollBar::DownArrow), SFVScrollBar::kDownHover);
    EXPECT_EQ(bar->Pressed(), SFVScrollBar::None);
    EXPECT_EQ(bar->TimerMode(), 8);
    Advance(1000);
    EXPECT_EQ(bar->Value(), 5);
    EXPECT_EQ(events.size(), 5u);
    EXPECT_EQ(events.back(), "Change 5");
}

TEST_F(ScrollBar, UpArrowAtMinShowsPressedButRaisesNoChange) {
    Make(200);
    Press(8, 8);
    EXPECT_EQ(Look(SFVScrollBar::UpArrow), SFVScrollBar::kUpPressed);
    Advance(700);
    EXPECT_EQ(bar->Value(), 0);
    Release(8, 8);
    EXPECT_TRUE(events.empty());
}

TEST_F(ScrollBar, HeldArrowsStopAtTheirBoundWhateverTheOrderOfTheLimits) {
    // Held through the press, the 500 ms repeat and three of 50 ms: five steps asked.
    struct Case {
        const char* name;
        int min, max, value;
        bool down;
        std::vector<std::string> changes;
    };
    const Case cases[] = {
        {"equal limits, down", 5, 5, 5, true, {}},
        {"equal limits, up", 5, 5, 5, false, {}},
        {"reversed, down towards Max", 100, 0, 2, true, {"Change 1", "Change 0"}},
        {"reversed, up towards Min", 100, 0, 98, false, {"Change 99", "Change 100"}},
        {"down to Max", 0, 3, 1, true, {"Change 2", "Change 3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Make(200);
        bar->SetMin(static_cast<std::int16_t>(c.min));
        bar->SetMax(static_cast<std::int16_t>(c.max));
        bar->SetValue(static_cast<std::int16_t>(c.value));
        events.clear();
        const int y = c.down ? 190 : 8;
        Press(8, y);
        Advance(500);
        for (int repeat = 0; repeat < 3; ++repeat) Advance(50);
        Release(8, y);
        EXPECT_EQ(events, c.changes);
        EXPECT_EQ(bar->Value(), c.down ? c.max : c.min);
    }
}

TEST_F(ScrollBar, HeldTrackPagesUntilTheThumbReachesThePointer) {
    Make(300);
    bar->SetMax(500);
    bar->SetLargeChange(28);
    Press(8, 200);
    EXPECT_EQ(bar->Value(), 28);
    EXPECT_EQ(Look(SFVScrollBar::TrackBelow), SFVScrollBar::kTrackPressed);
    for (int i = 0; i < 40; ++i) Advance(50);
    // The thumb (14 high) stops once it lies under y 200.
    EXPECT_LE(bar->ThumbTop(), 200);
    EXPECT_GT(bar->ThumbTop() + bar->ThumbHeight(), 200 - 14);
    const int stopped = bar->Value();
    Advance(500);
    EXPECT_EQ(bar->Value(), stopped);
    Release(8, 200);
    EXPECT_EQ(Look(SFVScrollBar::TrackBelow), SFVScrollBar::kTrackResting);
}

TEST_F(ScrollBar, FirstMoveOverTheTrackAfterThePressRestartsTheRepeatAt50) {
    Make(300);
    bar->SetMax(500);
    bar->SetLargeChange(28);
    Press(8, 250);
    Move(8, 251);
    Advance(50);
    EXPECT_EQ(bar->Value(), 56);
}

TEST_F(ScrollBar, DragFollowsThePointerInsideTheToleranceAndSnapsBackOutside) {
    Make(300);
    bar->SetMax(500);
    bar->SetLargeChange(28);
    Press(8, 20);  // the thumb at 16..30
    EXPECT_EQ(bar->Pressed(), SFVScrollBar::Thumb);
    Move(8, 20 + 127);
    EXPECT_EQ(bar->ThumbTop(), 143);
    EXPECT_EQ(bar->Value(), 250);
    Move(8, 329);  // far below, still inside (under 330): limited at the bottom
    EXPECT_EQ(bar->Value(), 500);
    Move(147, 150);  // x 147 is outside: back to where the drag began
    EXPECT_EQ(bar->ThumbTop(), 16);
    EXPECT_EQ(bar->Value(), 0);
    Move(147, 151);  // still outside, same value: nothing reported
    Release(8, 20);
    EXPECT_EQ(events, (std::vector<std::string>{"Scroll 250", "Scroll 500", "Scroll 0"}));
}

TEST_F(ScrollBar, DragWithoutRoomKeepsValueAndThumb) {
    struct Case { int height, min, max; };
    for (const Case& c : {Case{300, 5, 5}, Case{36, 0, 100}}) {
        SCOPED_TRACE(c.height);
        events.clear();
        Make(c.height);
        bar->SetMin(static_cast<std::int16_t>(c.min));
        bar->SetMax(static_cast<std::int16_t>(c.max));
        Press(8, 17);
        Move(8, 25);
        Move(8, 5);
        Release(8, 5);
        EXPECT_EQ(bar->ThumbTop(), 16);
        EXPECT_EQ(bar->Value(), c.min);
        EXPECT_TRUE(events.empty());
    }
}

TEST_F(ScrollBar, WheelPagesWithinTheRangeAndAlwaysScrolls) {
    Make(200);
    bar->SetMax(100);
    bar->SetLargeChange(28);
    bar->SetValue(10);
    Wheel(120, 8, 100);
    EXPECT_EQ(bar->Value(), 0);
    Wheel(120, 8, 100);
    Wheel(-120, 8, 100);
    Wheel(-240, 8, 100);
    Wheel(-120, 8, 100);
    Wheel(-120, 8, 100);
    EXPECT_EQ(events, (std::vector<std::string>{"Scroll 0", "Scroll 0", "Scroll 28", "Scroll 56", "Scroll 84",
                                                "Scroll 100"}));
}

TEST_F(ScrollBar, HoverLooksAndLeave) {
    Make(200);
    Move(8, 8);
    EXPECT_EQ(Look(SFVScrollBar::UpArrow), SFVScrollBar::kUpHover);
    Move(8, 20);
    EXPECT_EQ(Look(SFVScrollBar::UpArrow), SFVScrollBar::kUpResting);
    EXPECT_EQ(Look(SFVScrollBar::Thumb), SFVScrollBar::kThumbHover);
    Move(300, 300);  // off the control
    EXPECT_EQ(Look(SFVScrollBar::Thumb), SFVScrollBar::kThumbResting);
    EXPECT_FALSE(bar->Part(SFVScrollBar::Thumb).highlighted);
}

TEST_F(ScrollBar, PressInTheUndrawnColumnHitsNothingButCaptures) {
    Make(200);
    Press(16, 8);
    EXPECT_EQ(bar->Pressed(), SFVScrollBar::None);
    EXPECT_EQ(GetCapture(), bar->hWnd());
    Release(16, 8);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(events.empty());
}

TEST_F(ScrollBar, PaintShowsTheSkinLooks) {
    Make(300);
    bar->SetMax(500);
    bar->SetLargeChange(28);
    bar->SetValue(250);
    const auto skin = zem::platform::LoadResPicture(103);
    EXPECT_TRUE(ShowsPicture(bar->hWnd(), 0, 0, *skin, 0, 0, 16, 16));
    EXPECT_TRUE(ShowsPicture(bar->hWnd(), 0, 284, *skin, 0, 82, 16, 16));
    EXPECT_TRUE(ShowsPicture(bar->hWnd(), 0, 143, *skin, 0, 52, 16, 4));          // top cap
    EXPECT_TRUE(ShowsPicture(bar->hWnd(), 0, 143 + 10, *skin, 0, 52 + 6, 16, 4));  // bottom cap
    EXPECT_TRUE(ShowsPicture(bar->hWnd(), 0, 100, *skin, 0, 48, 16, 1));           // track
    Press(8, 8);
    EXPECT_TRUE(ShowsPicture(bar->hWnd(), 0, 0, *skin, 0, 32, 16, 16));
    Release(8, 8);
    EXPECT_TRUE(ShowsPicture(bar->hWnd(), 0, 0, *skin, 0, 16, 16, 16));
    bar->SetMin(0);
    bar->SetMax(0);  // no thumb: the resting track over the whole track
    for (int y = 16; y < 284; y += 67) EXPECT_TRUE(ShowsPicture(bar->hWnd(), 0, y, *skin, 0, 48, 16, 1));
}

TEST_F(ScrollBar, PropertiesRoundTripAndDefaultsAreNotWritten) {
    Make(200);
    const zem::forms::PropertyBag fresh = bar->Save();
    EXPECT_EQ(fresh.Count(), 0u);
    bar->SetMin(-5);
    bar->SetMax(900);
    bar->SetValue(300);
    bar->SetLargeChange(28);
    bar->SetSmallChange(7);
    const zem::forms::PropertyBag saved = bar->Save();
    EXPECT_EQ(saved.Count(), 5u);
    Make(200, &saved);
    EXPECT_EQ(bar->Min(), -5);
    EXPECT_EQ(bar->Max(), 900);
    EXPECT_EQ(bar->Value(), 300);
    EXPECT_EQ(bar->LargeChange(), 28);
    EXPECT_EQ(bar->SmallChange(), 7);
}

TEST_F(ScrollBar, TerminationRestoresTheWindowProcedure) {
    Make(200);
    HWND window = bar->hWnd();
    bar.reset();
    EXPECT_FALSE(IsWindow(window));
}

}  // namespace
