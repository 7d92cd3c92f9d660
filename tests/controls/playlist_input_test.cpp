#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "controls/sf_playlist.h"
#include "platform/base/text.h"
#include "platform/drawing/gdi.h"
#include "tests/controls/control_host.h"

namespace {

using zem::controls::testing::ControlHost;

// A list 200 x 300 at the screen's origin: ten rows fit.
class PlayListInput : public ControlHost {
protected:
    PlayListInput() {
        list = Place<SFPlayList>(RECT{0, 0, 200, 300});
        list->MouseDown = [this](std::int16_t button) {
            events.push_back("Down " + std::to_string(button) + " " + std::to_string(list->SelNodeIndex()) + "/" +
                             std::to_string(list->SelItemIndex()));
        };
        list->MouseUp = [this](std::int16_t button) { events.push_back("Up " + std::to_string(button)); };
        list->Click = [this] { events.push_back("Click"); };
    }
    // Groups "g0".."g<groups-1>", group i holding counts[i] entries; the last one added is open.
    void Fill(const std::vector<int>& counts) {
        for (std::size_t i = 0; i < counts.size(); ++i) {
            list->AddNode("g" + std::to_string(i));
            for (int j = 0; j < counts[i]; ++j)
                list->AddItem(static_cast<int>(i), "e" + std::to_string(j), "u" + std::to_string(i) + "/" +
                                                                                std::to_string(j));
        }
    }
    // A press a second after the last one, so that it never makes a double click.
    void Press(int x, int y) {
        Advance(1000);
        ControlHost::Press(x, y);
    }
    const PlayListNode& Node(int i) const { return list->Nodes()[static_cast<std::size_t>(i)]; }

    std::unique_ptr<SFPlayList> list;
    std::vector<std::string> events;
};

TEST_F(PlayListInput, APointerOnARowsTopPixelBelongsToTheRowAbove) {
    Fill({0, 2});  // g0, g1, e0, e1
    struct Case { int py; int hovered; };  // 0 g0, 1 g1, 2 e0, 3 e1, -1 none
    for (const Case& c : {Case{0, -1}, Case{1, 0}, Case{28, 0}, Case{29, 1}, Case{56, 1}, Case{57, 2}, Case{112, 3},
                          Case{113, -1}}) {
        SCOPED_TRACE(c.py);
        Move(100, c.py);
        const bool rows[] = {Node(0).Hover, Node(1).Hover, Node(1).Items[0].Hover, Node(1).Items[1].Hover};
        for (int r = 0; r < 4; ++r) EXPECT_EQ(rows[r], r == c.hovered);
    }
    Move(400, 400);  // off the control: nothing stays hovered
    EXPECT_FALSE(Node(1).Hover || Node(1).Items[1].Hover);
}

TEST_F(PlayListInput, AccordionOpensThePressedGroupAndClosesTheOpenOne) {
    Fill({3, 20});  // g1 open: 2 + 20 rows, the bar shows
    ASSERT_TRUE(list->ScrollBarShown());
    Press(10, 10);  // g0
    Release(10, 10);
    EXPECT_TRUE(Node(0).Expanded);
    EXPECT_FALSE(Node(1).Expanded);
    EXPECT_EQ(list->ExpandedItemsHeight(), 3 * 28);
    EXPECT_FALSE(list->ScrollBarShown());  // five rows fit
    EXPECT_EQ(list->DrawingWidth(), 200);
    Press(10, 10);  // the open group closes
    EXPECT_FALSE(Node(0).Expanded);
    EXPECT_EQ(list->ExpandedItemsHeight(), 0);
    EXPECT_EQ(events, (std::vector<std::string>{"Click"}));
}

TEST_F(PlayListInput, PressingAnEntrySelectsOnlyItThenTellsTheHost) {
    Fill({2, 3});
    Press(10, 10);  // open g0: g0 e0 e1 g1
    Release(10, 10);
    events.clear();
    Press(100, 40);  // g0/e0
    Release(100, 40);
    Press(10, 100);  // open g1: g0 g1 e0 e1 e2
    Release(10, 100);
    EXPECT_EQ(list->SelNodeIndex(), -1);  // a group press clears the numbers...
    EXPECT_TRUE(Node(0).Items[0].Selected);  // ...but the entry stays highlighted
    Press(100, 120);  // g1/e2
    EXPECT_FALSE(Node(0).Items[0].Selected);
    EXPECT_TRUE(Node(1).Items[2].Selected);
    Release(100, 120);
    // The release after opening g1 lies over g1's second entry by then.
    EXPECT_EQ(events, (std::vector<std::string>{"Down 1 0/0", "Up 1", "Click", "Up 1", "Click", "Down 1 1/2",
                                                "Up 1", "Click"}));
}

TEST_F(PlayListInput, ReleaseOverAnEntryRaisesMouseUpWhereverThePressWas) {
    Fill({3});
    Press(100, 10);  // the group row: folds g0 shut
    Move(100, 10);
    Press(10, 10);  // open again
    Move(100, 40);
    Release(100, 40);
    EXPECT_EQ(events, (std::vector<std::string>{"Up 1", "Click"}));
    EXPECT_EQ(list->SelNodeIndex(), -1);
}

TEST_F(PlayListInput, DeleteAreaLiesJustLeftOfTheBar) {
    Fill({0, 0, 30});  // the bar shows: W = 183
    ASSERT_EQ(list->DrawingWidth(), 183);
    struct Case { int px; bool toggles; bool removes; };
    for (const Case& c : {Case{157, true, false}, Case{158, false, false}, Case{159, false, true},
                          Case{182, false, true}}) {
        SCOPED_TRACE(c.px);
        const bool wasOpen = Node(0).Expanded;
        const int before = list->NodesCount();
        Press(c.px, 10);
        EXPECT_EQ(Node(0).Expanded != wasOpen, c.toggles);
        Release(c.px, 10);
        EXPECT_EQ(list->NodesCount() == before - 1, c.removes);
        if (c.toggles) {  // open g2 again
            Press(10, 60);
            Release(10, 60);
        }
    }
    EXPECT_EQ(events, std::vector<std::string>(5, "Click"));  // no MouseUp from group rows
}

TEST_F(PlayListInput, WheelScrollsByOneRowWithinTheRangeOnlyWhileTheBarShows) {
    Fill({20});  // 21 rows = 588: range 288
    Wheel(120, 100, 100);
    EXPECT_EQ(list->ScrollOffset(), 0);
    Wheel(-120, 100, 100);
    EXPECT_EQ(list->ScrollOffset(), 28);
    for (int i = 0; i < 20; ++i) Wheel(-120, 100, 100);
    EXPECT_EQ(list->ScrollOffset(), 288);
    Move(100, 290);  // the last row: 588 - 288 = 300
    EXPECT_TRUE(Node(0).Items[19].Hover);
    Press(10, 10 - 0);  // the row at the top is e9 (288 / 28 = 10.3)
    EXPECT_EQ(list->SelItemIndex(), 9);
    Release(10, 10);
    Press(10, 290);
    Release(10, 290);
    list->RemoveItem(0, 19);
    list->RemoveItem(0, 18);
    EXPECT_EQ(list->ScrollBar().Max(), 288 - 56);
    EXPECT_EQ(list->ScrollOffset(), 288 - 56);  // clamped by the bar
    list->ClearItems(0);
    EXPECT_FALSE(list->ScrollBarShown());
    EXPECT_EQ(list->ScrollOffset(), 0);
    Wheel(-120, 100, 100);
    EXPECT_EQ(list->ScrollBar().Value(), 0);
}

TEST_F(PlayListInput, ABarPressRepaintsTheRowsAtTheNewValue) {
    Fill({20});
    Press(191, 290);  // the bar's down arrow
    Release(191, 290);
    EXPECT_EQ(list->ScrollOffset(), 28);
    Move(100, 1);
    EXPECT_TRUE(Node(0).Items[0].Hover);  // row e0 now at the top
}

TEST_F(PlayListInput, ContentBeyondSixteenBitsStaysReachable) {
    Fill({3000});  // 3001 rows: 84028 pixels
    ASSERT_TRUE(list->ScrollBarShown());
    EXPECT_LE(list->ScrollBar().Max(), 32767);
    list->ScrollTo(list->ContentHeight());
    EXPECT_EQ(list->ScrollOffset(), list->ContentHeight() - 300);
    Move(100, 299);
    EXPECT_TRUE(Node(0).Items[2999].Hover);
    Press(100, 299);
    EXPECT_EQ(list->SelItemIndex(), 2999);
    Release(100, 299);
    const std::int64_t bottom = list->ScrollOffset();
    Wheel(120, 100, 100);
    EXPECT_GT(bottom - list->ScrollOffset(), 0);  // one unit, at most a row
    EXPECT_LE(bottom - list->ScrollOffset(), 28);
    Wheel(-120, 100, 100);
    Wheel(-120, 100, 100);
    EXPECT_EQ(list->ScrollOffset(), bottom);
    list->ScrollTo(0);
    Press(10, 10);  // fold the group: back to one row, no bar, no offset
    EXPECT_FALSE(list->ScrollBarShown());
    EXPECT_EQ(list->ScrollOffset(), 0);
}

TEST_F(PlayListInput, ASizeChangeRecomputesRangeAndWidth) {
    Fill({5});  // 6 rows = 168: fits
    list->Move(0, 0, 250, 100);
    EXPECT_TRUE(list->ScrollBarShown());
    EXPECT_EQ(list->DrawingWidth(), 233);
    EXPECT_EQ(list->ScrollBar().Max(), 68);
    RECT bar{};
    GetWindowRect(list->ScrollBar().hWnd(), &bar);
    EXPECT_EQ(bar.left, 233);
    EXPECT_EQ(bar.bottom - bar.top, 100);
    EXPECT_FLOAT_EQ(list->ScrollBar().Left(), 233.0f);  // placed through its extender
    list->Move(0, 0, 250, 400);
    EXPECT_FALSE(list->ScrollBarShown());
    EXPECT_EQ(list->DrawingWidth(), 250);
}

TEST_F(PlayListInput, DoubleClickTogglesOnceAndMovesAreReported) {
    Fill({2});
    std::vector<std::string> moves;
    list->MouseMove = [&](std::int16_t& button, std::int16_t&, float& x, float& y) {
        moves.push_back(std::to_string(button) + "@" + std::to_string(int(x)) + "," + std::to_string(int(y)));
    };
    list->DblClick = [this] { events.push_back("DblClick"); };
    Press(10, 10);  // folds g0 shut
    Release(10, 10);
    ControlHost::Press(10, 10);  // the second press at once: a double click, left to the runtime
    Release(10, 10);
    EXPECT_FALSE(Node(0).Expanded);
    EXPECT_EQ(events, (std::vector<std::string>{"Click", "DblClick"}));  // no second click, as the runtime reports
    Move(30, 20);
    ASSERT_FALSE(moves.empty());
    EXPECT_EQ(moves.back(), "0@30,20");
}

// ---- Pixels ----

class PlayListPaint : public PlayListInput {
protected:
    bool RowShows(int top, int sourceY) {
        const auto rows = zem::platform::LoadResPicture(102);
        // The left cap up to the glyphs, and the right cap up to the delete mark.
        const int height = std::min(28, 300 - top) - std::max(0, -top);
        const int from = std::max(0, -top);
        return ShowsPicture(list->hWnd(), 0, top + from, *rows, 0, sourceY + from, 15, height) &&
               ShowsPicture(list->hWnd(), list->DrawingWidth() - 60, top + from, *rows, 108, sourceY + from, 40,
                            height);
    }
    zem::platform::Pixel At(int x, int y) { return zem::platform::WindowSurface(list->hWnd())->At(x, y); }
};

TEST_F(PlayListPaint, RowsShowTheirLooks) {
    Fill({4});
    Press(100, 40);  // select e0 (row top 28)
    Release(100, 40);
    Move(100, 70);   // hover e1 (row top 56)
    EXPECT_TRUE(RowShows(28, 28));
    EXPECT_TRUE(RowShows(56, 0));
    const auto glyphs = zem::platform::LoadResPicture(101);
    // The expanded glyph of g0 at (15, 8): its frame pixel, not the key.
    EXPECT_EQ(At(15, 8), glyphs->Pixels().At(12, 0));
    // The background fills the rest.
    EXPECT_EQ(At(100, 250), zem::platform::PixelFromColor(0x2E2E2E));
    Move(100, 10);  // hover g0: background and delete mark
    EXPECT_TRUE(RowShows(0, 0));
    bool markDrawn = false;
    for (int y = 8; y < 15; ++y)
        for (int x = 180; x < 188; ++x) markDrawn = markDrawn || At(x, y) == glyphs->Pixels().At(x - 150, y - 3);
    EXPECT_TRUE(markDrawn);
}

TEST_F(PlayListPaint, EntriesAtTheEdgesOfTheFrame) {
    Fill({30});
    list->ScrollTo(48);  // e0's top at -20: drawn in part
    Move(100, 5);
    EXPECT_TRUE(Node(0).Items[0].Hover);
    EXPECT_TRUE(RowShows(-20, 0));
    list->ScrollTo(8);  // e9's top at 272, e10's at 300 (= H)
    Move(100, 300 - 1);
    EXPECT_TRUE(Node(0).Items[9].Hover);
    EXPECT_TRUE(RowShows(272, 0));
}

// The caption as the platform prints it in the list's face at `points` on the
// screen's resolution, over the list's background: the 28-pixel row of an
// entry at rest, W wide.
zem::platform::Bitmap CaptionAtRest(const SFPlayList& list, const std::string& name, int points) {
    const int width = list.DrawingWidth();
    HDC screen = GetDC(nullptr);
    const int height = MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, 28);
    HGDIOBJ ownBitmap = SelectObject(dc, bitmap);
    HBRUSH back = CreateSolidBrush(list.BackColor());
    const RECT all{0, 0, width, 28};
    FillRect(dc, &all, back);
    HFONT font = CreateFontA(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                             static_cast<DWORD>(list.Font()->Charset()), 0, 0, 0, 0,
                             zem::platform::Utf8ToGbk(list.FontName()).c_str());
    HGDIOBJ ownFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, list.ForeColor());
    RECT caption{40, 8, width, 28};
    DrawTextA(dc, name.c_str(), -1, &caption, DT_SINGLELINE);
    zem::platform::Bitmap pixels(width, 28);
    for (int y = 0; y < 28; ++y)
        for (int x = 0; x < width; ++x) pixels.Set(x, y, zem::platform::PixelFromColor(GetPixel(dc, x, y)));
    SelectObject(dc, ownFont);
    DeleteObject(font);
    SelectObject(dc, ownBitmap);
    DeleteObject(bitmap);
    DeleteObject(back);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return pixels;
}

TEST_F(PlayListPaint, EntryCaptionsShowInTheirColourAtTheirTypeSize) {
    list->SetForeColor(0x00FF00);
    list->SetSelColor(0x0000FF);
    list->AddNode("g");
    list->AddItem(0, "HHHH selected", "u/0");
    list->AddItem(0, "HHHH at rest", "u/1");
    Press(100, 40);  // select the first entry (row top 28)
    Release(100, 40);
    // Anti-aliased text is told by its tint: red (SelColor) for the selected
    // entry, green (ForeColor) for the other, never the other way.
    auto tinted = [&](int top, bool red) {
        int count = 0;
        for (int y = top + 8; y < top + 28; ++y)
            for (int x = 40; x < list->DrawingWidth(); ++x) {
                const int r = static_cast<int>(At(x, y) >> 16 & 0xFF), g = static_cast<int>(At(x, y) >> 8 & 0xFF);
                count += (red ? r - g : g - r) > 64;
            }
        return count;
    };
    EXPECT_GT(tinted(28, true), 0);
    EXPECT_EQ(tinted(28, false), 0);
    EXPECT_GT(tinted(56, false), 0);
    EXPECT_EQ(tinted(56, true), 0);

    for (int points : {9, 12}) {
        SCOPED_TRACE(points);
        list->SetFontSize(points);
        const zem::platform::Bitmap expected = CaptionAtRest(*list, "HHHH at rest", points);
        bool same = true;
        for (int y = 0; y < 28; ++y)
            for (int x = 0; x < list->DrawingWidth(); ++x) same = same && At(x, 56 + y) == expected.At(x, y);
        EXPECT_TRUE(same);
    }
}

TEST_F(PlayListPaint, MouseDownRunsBeforeThePressIsPainted) {
    Fill({2});
    bool selectedLookWhenTold = true;
    list->MouseDown = [&](std::int16_t) { selectedLookWhenTold = RowShows(28, 28); };
    Press(100, 40);
    EXPECT_FALSE(selectedLookWhenTold);
    EXPECT_TRUE(RowShows(28, 28));
}

// A name of 10 MB (a page's title is the server's to choose) shows as the
// short name that fills its row, and a paint costs what shows of it. A
// character the code page cannot hold shows as "?", as the name's GBK showed it.
TEST_F(PlayListPaint, AHugeNameShowsAsTheShortNameThatFillsItsRow) {
    std::string shortName;
    std::string shownName;
    for (int i = 0; i < 20; ++i) {
        shortName += "\xE5\xBD\xB1\xE8\xA7\x86 \xF0\x9F\x8E\xAC x&&y ";  // "影视 🎬 x&&y ": wider than a row
        shownName += "\xE5\xBD\xB1\xE8\xA7\x86 ? x&&y ";
    }
    std::string hugeName = shortName;
    hugeName.reserve(10 << 20);
    while (hugeName.size() < (10 << 20)) hugeName += shortName;
    list->AddNode(shownName);
    list->AddItem(0, shownName, "u");
    const zem::platform::Bitmap* surface = zem::platform::WindowSurface(list->hWnd());
    ASSERT_NE(surface, nullptr);
    const zem::platform::Bitmap expected = *surface;
    list->SetNodeText(0, hugeName);
    list->SetItemName(0, 0, hugeName);
    bool same = true;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < list->DrawingWidth(); ++x) same = same && surface->At(x, y) == expected.At(x, y);
    EXPECT_TRUE(same);
    bool inked = false;
    for (int x = 32; x < list->DrawingWidth(); ++x) inked = inked || expected.At(x, 14) != expected.At(100, 250);
    EXPECT_TRUE(inked) << "the group's name was drawn";
    // A paint takes well under a millisecond: a thousand take far less than
    // 20 s. Converting the two names to GBK and back took about 100 ms a paint.
    const auto start = std::chrono::steady_clock::now();
    int paints = 0;
    while (paints < 1000 && std::chrono::steady_clock::now() - start < std::chrono::seconds(20)) {
        list->Refresh();
        ++paints;
    }
    EXPECT_EQ(paints, 1000);
}

}  // namespace
