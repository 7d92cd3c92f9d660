#include "canvas.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kKey = RGB(255, 0, 255);

char Letter(COLORREF color) {
    switch (color) {
        case 0: return '.';
        case kRed: return 'R';
        case kBlue: return 'B';
        case kGreen: return 'G';
        case kKey: return 'K';
        default: return '?';
    }
}

// A source strip whose columns are numbered by their red channel (x + 1),
// and whose rows are numbered by green (y + 1).
void Number(Canvas& canvas) {
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) SetPixel(canvas.dc(), x, y, RGB(x + 1, y + 1, 0));
}

TEST(Raster, BitBltCopiesExactlyAndCutsToBothBitmaps) {
    Canvas source(6, 6);
    Number(source);
    Canvas target(8, 8);
    // Partly outside the target on the left and top, and reading past the
    // source's right edge: only pixels both bitmaps have change.
    ASSERT_TRUE(BitBlt(target.dc(), -1, -2, 6, 6, source.dc(), 2, 1, SRCCOPY));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const int sourceX = x + 1 + 2;
            const int sourceY = y + 2 + 1;
            const bool copied = x < 5 && y < 4 && sourceX < 6 && sourceY < 6;
            EXPECT_EQ(target.at(x, y), copied ? RGB(sourceX + 1, sourceY + 1, 0) : 0u) << x << "," << y;
        }
}

TEST(Raster, BitBltWithinOneBitmapHandlesOverlap) {
    Canvas canvas(4, 4);
    Number(canvas);
    ASSERT_TRUE(BitBlt(canvas.dc(), 1, 1, 3, 3, canvas.dc(), 0, 0, SRCCOPY));
    for (int y = 1; y < 4; ++y)
        for (int x = 1; x < 4; ++x) EXPECT_EQ(canvas.at(x, y), RGB(x, y, 0)) << x << "," << y;
    ASSERT_TRUE(BitBlt(canvas.dc(), 0, 0, 3, 3, canvas.dc(), 1, 1, SRCCOPY));
    EXPECT_EQ(canvas.at(0, 0), RGB(1, 1, 0));
    EXPECT_EQ(canvas.at(2, 2), RGB(3, 3, 0));
}

TEST(Raster, PatternAndConstantOperations) {
    Canvas canvas(4, 1);
    HBRUSH brush = CreateSolidBrush(kBlue);
    HGDIOBJ previous = SelectObject(canvas.dc(), brush);
    BitBlt(canvas.dc(), 0, 0, 2, 1, nullptr, 0, 0, PATCOPY);
    BitBlt(canvas.dc(), 2, 0, 1, 1, nullptr, 0, 0, WHITENESS);
    EXPECT_EQ(canvas.Row(0, [](COLORREF c) { return c == 0xFFFFFF ? 'W' : Letter(c); }), "BBW.");
    EXPECT_FALSE(BitBlt(canvas.dc(), 0, 0, 1, 1, canvas.dc(), 0, 0, 0x00660046)) << "unsupported operation";
    SelectObject(canvas.dc(), previous);
    DeleteObject(brush);
}

TEST(Raster, StretchBltTakesTheNearestSourcePixel) {
    struct Case {
        int sourceWidth, width;
        std::vector<int> expected;  // source column of each destination pixel
    };
    const Case cases[] = {
        {2, 10, {0, 0, 0, 0, 0, 1, 1, 1, 1, 1}},  // two track rows over a tall track: half each
        {1, 5, {0, 0, 0, 0, 0}},
        {10, 5, {1, 3, 5, 7, 9}},
        {2, 3, {0, 1, 1}},
        {3, 3, {0, 1, 2}},
        {4, -4, {3, 2, 1, 0}},  // a negative extent mirrors
    };
    for (const Case& c : cases) {
        Canvas source(10, 1);
        Number(source);
        Canvas target(12, 2);
        SetStretchBltMode(target.dc(), COLORONCOLOR);
        const int x = c.width < 0 ? 4 : 1;  // a mirrored rectangle ends left of x
        ASSERT_TRUE(StretchBlt(target.dc(), x, 0, c.width, 2, source.dc(), 0, 0, c.sourceWidth, 1, SRCCOPY));
        const int first = c.width < 0 ? x + c.width + 1 : x;
        for (std::size_t i = 0; i < c.expected.size(); ++i) {
            EXPECT_EQ(target.at(first + static_cast<int>(i), 0), RGB(c.expected[i] + 1, 1, 0))
                << c.sourceWidth << " -> " << c.width << " at " << i;
            EXPECT_EQ(target.at(first + static_cast<int>(i), 1), RGB(c.expected[i] + 1, 1, 0));
        }
        EXPECT_EQ(target.at(first - 1, 0), 0u);
        EXPECT_EQ(target.at(first + static_cast<int>(c.expected.size()), 0), 0u);
    }
}

// The nearest source pixel of destination pixel i of `extent` over `sourceExtent`.
int NearestSource(int i, int extent, int sourceExtent) {
    const int count = std::abs(extent);
    const int sourceCount = std::abs(sourceExtent);
    const int offset = static_cast<int>((2LL * i + 1) * sourceCount / (2LL * count));
    return (extent < 0) != (sourceExtent < 0) ? sourceCount - 1 - offset : offset;
}

// Wide rows go in blocks of eight: every block, the columns after the last
// whole one, mirrored rows, rows cut by the target's edges, sources whose last
// window reaches the end of the row and repeated rows all land on the nearest
// source pixel and touch nothing else.
TEST(Raster, StretchBltOfWideRowsMatchesTheNearestPixelEverywhere) {
    struct Case {
        int x, y, width, height, sourceX, sourceY, sourceWidth, sourceHeight;
    };
    const Case cases[] = {
        {3, 2, 53, 9, 0, 0, 37, 5},     // blocks and a tail, the last windows at the row's end
        {60, 2, -53, 9, 0, 0, 37, 5},   // mirrored
        {-5, -3, 70, 14, 0, 0, 37, 5},  // cut on the left, the right and the top
        {1, 1, 40, 6, 20, 1, 17, 3},    // a source part ending at the row's end
        {2, 0, 20, 12, 0, 0, 37, 5},    // narrower than the source: no blocks
        {0, 0, 64, 10, 5, 0, 8, 5},     // eight times wider: one source pixel per block
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) + " at " + std::to_string(c.x));
        Canvas source(37, 5);
        Number(source);
        Canvas target(62, 12);
        SetStretchBltMode(target.dc(), COLORONCOLOR);
        ASSERT_TRUE(StretchBlt(target.dc(), c.x, c.y, c.width, c.height, source.dc(), c.sourceX, c.sourceY,
                               c.sourceWidth, c.sourceHeight, SRCCOPY));
        const int firstX = c.width < 0 ? c.x + c.width + 1 : c.x;
        const int firstY = c.height < 0 ? c.y + c.height + 1 : c.y;
        for (int y = 0; y < target.height(); ++y)
            for (int x = 0; x < target.width(); ++x) {
                const int i = x - firstX;
                const int j = y - firstY;
                COLORREF expected = 0;
                if (i >= 0 && i < std::abs(c.width) && j >= 0 && j < std::abs(c.height)) {
                    const int sourceColumn = c.sourceX + NearestSource(i, c.width, c.sourceWidth);
                    const int sourceRow = c.sourceY + NearestSource(j, c.height, c.sourceHeight);
                    expected = RGB(sourceColumn + 1, sourceRow + 1, 0);
                }
                ASSERT_EQ(target.at(x, y), expected) << x << "," << y;
            }
    }
}

TEST(Raster, ThreePieceProgressBarLandsOnItsColumns) {
    // The updater's bar at W = 297, Value 40: caps copied, middle stretched,
    // and the track from F = 119 to W - 2.
    Canvas skin(10, 10);
    Number(skin);
    Canvas bar(297, 10);
    SetStretchBltMode(bar.dc(), COLORONCOLOR);
    const int width = bar.width();
    const int filled = 119;
    StretchBlt(bar.dc(), 0, 0, 3, 10, skin.dc(), 0, 0, 3, 10, SRCCOPY);
    StretchBlt(bar.dc(), 3, 0, width - 6, 10, skin.dc(), 3, 0, 2, 10, SRCCOPY);
    StretchBlt(bar.dc(), width - 3, 0, 3, 10, skin.dc(), 5, 0, 3, 10, SRCCOPY);
    StretchBlt(bar.dc(), filled, 0, width - filled - 1, 10, skin.dc(), 8, 0, 2, 10, SRCCOPY);
    auto column = [&](int x) { return GetRValue(bar.at(x, 5)) - 1; };
    EXPECT_EQ(column(0), 0);
    EXPECT_EQ(column(2), 2);
    EXPECT_EQ(column(3), 3);
    EXPECT_EQ(column(118), 3) << "the middle's first half is source column 3";
    EXPECT_EQ(column(119), 8);
    EXPECT_EQ(column(295), 9);
    EXPECT_EQ(column(296), 7) << "the right border is never covered";
    EXPECT_EQ(GetGValue(bar.at(0, 9)), 10) << "rows copy one to one";
}

TEST(Raster, TransparentBltSkipsTheKeyColour) {
    Canvas glyph(3, 1);
    SetPixel(glyph.dc(), 0, 0, kKey);
    SetPixel(glyph.dc(), 1, 0, kRed);
    SetPixel(glyph.dc(), 2, 0, kKey);
    Canvas target(8, 1, kBlue);
    ASSERT_TRUE(TransparentBlt(target.dc(), 1, 0, 3, 1, glyph.dc(), 0, 0, 3, 1, kKey));
    EXPECT_EQ(target.Row(0, Letter), "BBRBBBBB");
    // Stretched to twice the size, the key stays out all the same.
    ASSERT_TRUE(TransparentBlt(target.dc(), 2, 0, 6, 1, glyph.dc(), 0, 0, 3, 1, kKey));
    EXPECT_EQ(target.Row(0, Letter), "BBRBRRBB");
    EXPECT_FALSE(TransparentBlt(target.dc(), 0, 0, -1, 1, glyph.dc(), 0, 0, 3, 1, kKey));
}

TEST(Raster, FillRectWithBrushesSystemColoursAndHollow) {
    Canvas canvas(6, 1);
    HBRUSH red = CreateSolidBrush(kRed);
    RECT left{-3, 0, 2, 1};
    EXPECT_EQ(FillRect(canvas.dc(), &left, red), 1);
    RECT system{2, 0, 4, 1};
    FillRect(canvas.dc(), &system, reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_WINDOW + 1)));
    RECT hollow{0, 0, 6, 1};
    FillRect(canvas.dc(), &hollow, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
    RECT empty{5, 0, 4, 1};
    FillRect(canvas.dc(), &empty, red);
    EXPECT_EQ(canvas.Row(0, [](COLORREF c) { return c == 0xFFFFFF ? 'W' : Letter(c); }), "RRWW..");
    DeleteObject(red);
}

}  // namespace
