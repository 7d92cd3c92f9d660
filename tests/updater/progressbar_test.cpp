// SFProgressBar: where the fill ends for a value, what the setters accept,
// its persistence and its fixed height.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/drawing/picture.h"
#include "platform/drawing/window_painting.h"
#include "tests/controls/control_host.h"
#include "updater/sf_progressbar.h"

namespace {

using zem::controls::testing::ControlHost;

class ProgressBar : public ControlHost {
protected:
    SFProgressBar& Make(const zem::forms::PropertyBag* saved = nullptr, RECT bounds = RECT{0, 0, 297, 10}) {
        bar = Place<SFProgressBar>(bounds, saved);
        bar->OnPropertyChanged = [this](const std::string& key) { changed.push_back(key); };
        return *bar;
    }
    // Whether column x of the bar's window shows skin column `skinColumn`.
    bool ColumnShows(int x, int skinColumn) const {
        const auto skin = zem::platform::LoadResPicture(101);
        const zem::platform::Bitmap* surface = zem::platform::WindowSurface(bar->hWnd());
        if (surface == nullptr) return false;
        for (int y = 0; y < 10; ++y)
            if (surface->At(x, y) != skin->Pixels().At(skinColumn, y)) return false;
        return true;
    }
    // The first column that shows the empty track (the right border excluded).
    int FirstTrackColumn() const {
        for (int x = 0; x < 296; ++x)
            if (ColumnShows(x, 8)) return x;
        return 296;
    }

    std::unique_ptr<SFProgressBar> bar;
    std::vector<std::string> changed;
};

TEST_F(ProgressBar, TheFillEndsWhereTheValueRoundsToEven) {
    Make();
    const struct Case {
        int value, filledEnd;
    } cases[] = {{0, 1}, {40, 119}, {50, 148}, {99, 293}, {100, 296}};
    for (const Case& c : cases) {
        bar->SetValue(c.value);
        EXPECT_EQ(FirstTrackColumn(), c.filledEnd) << c.value;
        EXPECT_TRUE(ColumnShows(0, 0)) << c.value;    // left border
        EXPECT_TRUE(ColumnShows(296, 7)) << c.value;  // right border, never covered
        if (c.value < 100) {
            EXPECT_TRUE(ColumnShows(295, 8)) << c.value;  // the track reaches the border
        }
        if (c.filledEnd > 4) {
            EXPECT_TRUE(ColumnShows(c.filledEnd - 2, 3) || ColumnShows(c.filledEnd - 2, 5)) << c.value;
        }
    }
    EXPECT_TRUE(ColumnShows(295, 6));  // full: the last fill column
}

TEST_F(ProgressBar, SettersKeepTheRangeAndAlwaysReportTheKey) {
    Make();
    bar->SetValue(60);
    bar->SetValue(101);  // ignored, not clamped
    EXPECT_EQ(bar->Value(), 60);
    bar->SetMin(-1);
    bar->SetMin(100);  // Min = Max
    EXPECT_EQ(bar->Min(), 0);
    bar->SetMax(10);
    EXPECT_EQ(bar->Value(), 10);
    EXPECT_EQ(FirstTrackColumn(), 296);  // drawn full
    bar->SetMax(100);
    bar->SetValue(20);
    bar->SetMin(50);
    EXPECT_EQ(bar->Value(), 50);
    EXPECT_EQ(FirstTrackColumn(), 1);  // drawn empty
    EXPECT_EQ(changed, (std::vector<std::string>{"Value", "Value", "Min", "Min", "Max", "Max", "Value", "Min"}));
}

TEST_F(ProgressBar, PersistsItsValuesAndTakesStoredOnesAsTheyAre) {
    Make();
    EXPECT_EQ(bar->Save().Count(), 0u);  // defaults are not written
    bar->SetMax(200);
    bar->SetValue(100);
    const zem::forms::PropertyBag saved = bar->Save();
    Make(&saved);
    EXPECT_EQ(bar->Max(), 200);
    EXPECT_EQ(bar->Value(), 100);
    EXPECT_EQ(FirstTrackColumn(), 148);
    // A stored empty range draws an empty bar instead of dividing by zero.
    zem::forms::PropertyBag broken;
    broken.WriteProperty("Min", 5);
    broken.WriteProperty("Max", 5);
    broken.WriteProperty("Value", 5);
    Make(&broken);
    EXPECT_EQ(bar->Max(), 5);
    EXPECT_EQ(FirstTrackColumn(), 1);
}

TEST_F(ProgressBar, StaysTenPixelsHighAndRedrawsForANewWidth) {
    Make(nullptr, RECT{5, 5, 105, 50});
    RECT place{};
    GetWindowRect(bar->hWnd(), &place);
    EXPECT_EQ(place.bottom - place.top, 10);
    EXPECT_EQ(place.right - place.left, 100);
    bar->SetValue(50);
    bar->Move(5, 5, 297, 30);
    GetWindowRect(bar->hWnd(), &place);
    EXPECT_EQ(place.bottom - place.top, 10);
    EXPECT_EQ(FirstTrackColumn(), 148);
}

}  // namespace
