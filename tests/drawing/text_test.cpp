#include "canvas.h"
#include "platform/base/text.h"
#include "platform/drawing/ansi_text.h"
#include "platform/drawing/fonts.h"
#include "platform/drawing/text.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstring>

namespace {

constexpr COLORREF kBack = RGB(0x40, 0x40, 0x40);
constexpr COLORREF kInk = RGB(0xFF, 0xFF, 0xFF);

// "播放列表" in GBK.
const char kGbkText[] = "\xB2\xA5\xB7\xC5\xC1\xD0\xB1\xED";

class Text : public ::testing::Test {
protected:
    // A 9-point 宋体 as the play list makes it: MulDiv(9, 96, 72) = 12.
    HFONT MakeFont(int weight = FW_NORMAL) {
        HFONT font = CreateFontA(-MulDiv(9, GetDeviceCaps(nullptr, LOGPIXELSY), 72), 0, 0, 0, weight, 0, 0, 0,
                                 GB2312_CHARSET, 0, 0, 0, 0, "\xCB\xCE\xCC\xE5" /* 宋体 */);
        fonts_.push_back(font);
        return font;
    }
    void Prepare(Canvas& canvas, HFONT font) {
        SelectObject(canvas.dc(), font);
        SetTextColor(canvas.dc(), kInk);
        SetBkMode(canvas.dc(), TRANSPARENT);
    }
    void TearDown() override {
        for (HFONT font : fonts_) DeleteObject(font);
    }
    std::vector<HFONT> fonts_;
};

bool SamePixels(const Canvas& a, const Canvas& b) {
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.at(x, y) != b.at(x, y)) return false;
    return true;
}

TEST_F(Text, TheSystemFacesResolveToAnInstalledCjkFace) {
    auto& engine = zem::platform::FontEngine::Instance();
    const std::string song = engine.ResolveFile("宋体");
    EXPECT_NE(song.find("wqy"), std::string::npos) << song;
    EXPECT_EQ(engine.ResolveFile("微软雅黑"), song);
    EXPECT_EQ(engine.ResolveFile("黑体"), song);
}

TEST_F(Text, GbkAndUtf8TextDrawAlike) {
    Canvas viaGbk(120, 28, kBack);
    Canvas viaUtf8(120, 28, kBack);
    HFONT font = MakeFont();
    Prepare(viaGbk, font);
    RECT rect{4, 0, 120, 28};
    DrawTextA(viaGbk.dc(), kGbkText, -1, &rect, DT_SINGLELINE | DT_VCENTER);
    SelectObject(viaGbk.dc(), GetStockObject(SYSTEM_FONT));
    Prepare(viaUtf8, font);
    RECT same = rect;
    zem::platform::DrawTextUtf8(viaUtf8.dc(), "播放列表", same, DT_SINGLELINE | DT_VCENTER);
    SelectObject(viaUtf8.dc(), GetStockObject(SYSTEM_FONT));
    EXPECT_TRUE(SamePixels(viaGbk, viaUtf8));
    EXPECT_NE(viaGbk.Ink(kBack).right, 0) << "something was drawn";
    EXPECT_EQ(zem::platform::GbkToUtf8(kGbkText), "播放列表");
    EXPECT_EQ(zem::platform::Utf8ToGbk("播放列表"), kGbkText);
}

TEST_F(Text, InkIsTheTextColourBlendedOverTheBackground) {
    Canvas canvas(80, 20, kBack);
    Prepare(canvas, MakeFont());
    SetTextColor(canvas.dc(), RGB(0xFF, 0x96, 0x00));
    TextOutA(canvas.dc(), 2, 2, kGbkText, 4);
    bool full = false;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            const COLORREF c = canvas.at(x, y);
            full |= c == RGB(0xFF, 0x96, 0x00);
            // Between background and ink in every channel.
            EXPECT_GE(GetRValue(c), 0x40);
            EXPECT_LE(GetBValue(c), 0x40);
        }
    EXPECT_TRUE(full) << "strokes at full coverage show the exact text colour";
    SIZE size{};
    ASSERT_TRUE(GetTextExtentPoint32A(canvas.dc(), kGbkText, 4, &size));
    const RECT ink = canvas.Ink(kBack);
    EXPECT_GE(ink.left, 2);
    EXPECT_LE(ink.right, 2 + size.cx);
    EXPECT_GE(ink.top, 2);
    EXPECT_LE(ink.bottom, 2 + size.cy);
    SelectObject(canvas.dc(), GetStockObject(SYSTEM_FONT));
}

TEST_F(Text, VerticalCentringPlacesTheLineBoxMidway) {
    HFONT font = MakeFont();
    for (int height : {28, 27, 13, 8}) {
        Canvas centred(100, 40, kBack);
        Canvas placed(100, 40, kBack);
        Prepare(centred, font);
        Prepare(placed, font);
        SIZE size{};
        GetTextExtentPoint32A(centred.dc(), kGbkText, -1, &size);
        RECT rect{0, 6, 100, 6 + height};
        const int result = DrawTextA(centred.dc(), kGbkText, -1, &rect, DT_SINGLELINE | DT_VCENTER);
        const int top = (rect.top + rect.bottom - size.cy) / 2;
        RECT manual{0, top, 100, 40};
        DrawTextA(placed.dc(), kGbkText, -1, &manual, DT_SINGLELINE);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 100; ++x) {
                const bool inside = y >= rect.top && y < rect.bottom;
                EXPECT_EQ(centred.at(x, y), inside ? placed.at(x, y) : kBack) << height << ": " << x << "," << y;
            }
        EXPECT_EQ(result, top + size.cy - rect.top) << "offset to the bottom of the text";
        SelectObject(centred.dc(), GetStockObject(SYSTEM_FONT));
        SelectObject(placed.dc(), GetStockObject(SYSTEM_FONT));
    }
}

TEST_F(Text, TextIsClippedToItsRectangle) {
    Canvas canvas(100, 30, kBack);
    Prepare(canvas, MakeFont());
    RECT rect{10, 8, 40, 20};
    DrawTextA(canvas.dc(), "WWWWWWWWWWWW", -1, &rect, DT_SINGLELINE | DT_VCENTER);
    const RECT ink = canvas.Ink(kBack);
    EXPECT_GE(ink.left, 10);
    EXPECT_LE(ink.right, 40);
    EXPECT_GE(ink.top, 8);
    EXPECT_LE(ink.bottom, 20);
    EXPECT_EQ(ink.right, 40) << "the row runs on to the rectangle's edge";
    // DT_NOCLIP lets it run past.
    RECT free{10, 8, 40, 20};
    DrawTextA(canvas.dc(), "WWWWWWWWWWWW", -1, &free, DT_SINGLELINE | DT_VCENTER | DT_NOCLIP);
    EXPECT_GT(canvas.Ink(kBack).right, 40);
    SelectObject(canvas.dc(), GetStockObject(SYSTEM_FONT));
}

// Rectangles at the ends of the plane: sums of their edges overflow int. The
// text is placed and measured as it would be in a rectangle of the same size
// at the origin, and draws nothing on a bitmap far from it.
TEST_F(Text, RectanglesNearTheEndsOfThePlaneNeitherOverflowNorDrawElsewhere) {
    HFONT font = MakeFont();
    struct Case {
        const char* name;
        RECT rect;
        UINT format;
        RECT atOrigin;  // the same size at (0, 0), for the result
    };
    const Case cases[] = {
        {"centred near INT_MIN", {0, INT_MIN, 100, INT_MIN + 10}, DT_SINGLELINE | DT_VCENTER, {0, 0, 100, 10}},
        {"at the bottom near INT_MAX", {0, INT_MAX - 10, 100, INT_MAX}, DT_SINGLELINE | DT_BOTTOM, {0, 0, 100, 10}},
        {"centred across near INT_MAX", {INT_MAX - 50, 0, INT_MAX, 20}, DT_SINGLELINE | DT_CENTER, {0, 0, 50, 20}},
        {"right-aligned near INT_MIN", {INT_MIN, 0, INT_MIN + 50, 20}, DT_SINGLELINE | DT_RIGHT, {0, 0, 50, 20}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas(100, 40, kBack);
        Prepare(canvas, font);
        RECT rect = c.rect;
        RECT atOrigin = c.atOrigin;
        Canvas origin(100, 40, kBack);
        Prepare(origin, font);
        const int result = DrawTextA(canvas.dc(), kGbkText, -1, &rect, c.format | DT_NOCLIP);
        EXPECT_EQ(result, DrawTextA(origin.dc(), kGbkText, -1, &atOrigin, c.format));
        EXPECT_EQ(canvas.Ink(kBack).right, 0) << "nothing drawn";
        EXPECT_GT(origin.Ink(kBack).right, 0);
        SelectObject(canvas.dc(), GetStockObject(SYSTEM_FONT));
        SelectObject(origin.dc(), GetStockObject(SYSTEM_FONT));
    }
    Canvas canvas(100, 40, kBack);
    Prepare(canvas, font);
    RECT whole{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    EXPECT_EQ(DrawTextA(canvas.dc(), kGbkText, -1, &whole, DT_SINGLELINE | DT_VCENTER | DT_CENTER), INT_MAX);
    SelectObject(canvas.dc(), GetStockObject(SYSTEM_FONT));
}

TEST_F(Text, HorizontalAlignmentAndCalcRect) {
    HFONT font = MakeFont();
    Canvas probe(10, 10);
    Prepare(probe, font);
    RECT measured{20, 5, 20, 5};
    const int height = DrawTextA(probe.dc(), kGbkText, -1, &measured, DT_SINGLELINE | DT_CALCRECT);
    SIZE size{};
    GetTextExtentPoint32A(probe.dc(), kGbkText, -1, &size);
    EXPECT_EQ(measured.right - measured.left, size.cx);
    EXPECT_EQ(measured.bottom - measured.top, size.cy);
    EXPECT_EQ(height, size.cy);
    EXPECT_EQ(probe.Ink(0).right, 0) << "DT_CALCRECT draws nothing";
    SelectObject(probe.dc(), GetStockObject(SYSTEM_FONT));

    struct Case {
        UINT format;
        int left;  // where a left-aligned draw gives the same pixels
    };
    const int width = 150;
    for (const Case& c : {Case{DT_CENTER, (width - size.cx) / 2}, Case{DT_RIGHT, width - size.cx}}) {
        Canvas aligned(width, 20, kBack);
        Canvas manual(width, 20, kBack);
        Prepare(aligned, font);
        Prepare(manual, font);
        RECT rect{0, 0, width, 20};
        DrawTextA(aligned.dc(), kGbkText, -1, &rect, DT_SINGLELINE | c.format);
        RECT shifted{c.left, 0, width, 20};
        DrawTextA(manual.dc(), kGbkText, -1, &shifted, DT_SINGLELINE | DT_LEFT);
        EXPECT_TRUE(SamePixels(aligned, manual)) << c.format;
        SelectObject(aligned.dc(), GetStockObject(SYSTEM_FONT));
        SelectObject(manual.dc(), GetStockObject(SYSTEM_FONT));
    }
}

TEST_F(Text, LinesPrefixesAndWordBreaks) {
    Canvas canvas(10, 10);
    Prepare(canvas, MakeFont());
    SIZE line{};
    GetTextExtentPoint32A(canvas.dc(), "File", -1, &line);
    auto measure = [&](const char* text, UINT format, int width = 1000) {
        RECT rect{0, 0, width, 0};
        DrawTextA(canvas.dc(), text, -1, &rect, format | DT_CALCRECT);
        return SIZE{rect.right, rect.bottom};
    };
    EXPECT_EQ(measure("&File", 0).cx, line.cx) << "the prefix mark takes no room";
    EXPECT_GT(measure("&File", DT_NOPREFIX).cx, line.cx);
    EXPECT_EQ(measure("A&&B", 0).cx, measure("A&B", DT_NOPREFIX).cx);
    EXPECT_EQ(measure("one\r\ntwo\nthree", 0).cy, 3 * line.cy);
    EXPECT_EQ(measure("one\r\ntwo", DT_SINGLELINE).cy, line.cy);
    EXPECT_EQ(measure("File File File", DT_WORDBREAK, line.cx + 2).cy, 3 * line.cy);
    EXPECT_EQ(measure(kGbkText, DT_WORDBREAK, 30).cy, 2 * line.cy) << "CJK text breaks between characters";
    SelectObject(canvas.dc(), GetStockObject(SYSTEM_FONT));
}

TEST_F(Text, OpaqueModeFillsTheTextBoxWithTheBackgroundColour) {
    Canvas canvas(100, 30, kBack);
    Prepare(canvas, MakeFont());
    SetBkMode(canvas.dc(), OPAQUE);
    SetBkColor(canvas.dc(), RGB(0, 0x80, 0));
    SIZE size{};
    GetTextExtentPoint32A(canvas.dc(), "ab", -1, &size);
    TextOutA(canvas.dc(), 5, 3, "ab", -1);
    EXPECT_EQ(canvas.at(5, 3), RGB(0, 0x80, 0));
    EXPECT_EQ(canvas.at(5 + size.cx - 1, 3 + size.cy - 1), RGB(0, 0x80, 0));
    EXPECT_EQ(canvas.at(4, 3), kBack);
    EXPECT_EQ(canvas.at(5 + size.cx, 3), kBack);
    EXPECT_EQ(canvas.at(5, 3 + size.cy), kBack);
    SelectObject(canvas.dc(), GetStockObject(SYSTEM_FONT));
}

TEST_F(Text, WeightAndHeightChangeTheRendering) {
    Canvas canvas(10, 10);
    SIZE normal{}, bold{}, cell{};
    Prepare(canvas, MakeFont());
    GetTextExtentPoint32A(canvas.dc(), "abc", -1, &normal);
    SelectObject(canvas.dc(), MakeFont(FW_BOLD));
    GetTextExtentPoint32A(canvas.dc(), "abc", -1, &bold);
    HFONT byCell = CreateFontA(20, 0, 0, 0, FW_NORMAL, 0, 0, 0, GB2312_CHARSET, 0, 0, 0, 0, "");
    fonts_.push_back(byCell);
    SelectObject(canvas.dc(), byCell);
    GetTextExtentPoint32A(canvas.dc(), "abc", -1, &cell);
    SelectObject(canvas.dc(), GetStockObject(SYSTEM_FONT));
    EXPECT_GT(bold.cx, normal.cx);
    EXPECT_EQ(bold.cy, normal.cy);
    EXPECT_NEAR(cell.cy, 20, 1) << "a positive height is the cell height";
}


namespace single_line {

// A line of `count` copies of `piece`.
std::string Repeated(const std::string& piece, std::size_t count) {
    std::string text;
    text.reserve(piece.size() * count);
    for (std::size_t i = 0; i < count; ++i) text += piece;
    return text;
}

// How many of `count` paints are done within `seconds`.
template <typename Paint>
int PaintsWithin(int count, int seconds, Paint paint) {
    const auto start = std::chrono::steady_clock::now();
    int paints = 0;
    while (paints < count && std::chrono::steady_clock::now() - start < std::chrono::seconds(seconds)) {
        paint();
        ++paints;
    }
    return paints;
}

}  // namespace single_line

// A line of 10 MB shows what fits of it, as a short line that fits shows:
// left-aligned its start, right-aligned its end, centred its middle; and the
// aligned ends cost what shows, not what the line holds.
TEST_F(Text, AHugeSingleLineShowsAsTheShortLineThatFillsTheClip) {
    const std::string shown = "播放&列表 ABC";  // the prefix mark underlines 列
    const std::string beyond = single_line::Repeated("影视 x&&y ", 10 << 20 >> 4);
    struct Case {
        const char* what;
        UINT alignment;
        std::string huge;
    };
    const Case cases[] = {
        {"left", DT_LEFT, shown + beyond},
        {"right", DT_RIGHT, beyond + shown},
        {"centre", DT_CENTER, beyond + shown + beyond},
    };
    HFONT font = MakeFont();
    SIZE size{};
    {
        Canvas measure(4, 4, kBack);
        Prepare(measure, font);
        std::string stripped = "播放列表 ABC";
        size = zem::platform::MeasureTextUtf8(measure.dc(), stripped);
        SelectObject(measure.dc(), GetStockObject(SYSTEM_FONT));
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Canvas expected(size.cx + 40, 28, kBack);
        Canvas drawn(size.cx + 40, 28, kBack);
        // The clip is the rectangle, as wide as the short line.
        const RECT place{20, 0, 20 + size.cx, 28};
        Prepare(expected, font);
        RECT rect = place;
        zem::platform::DrawTextUtf8(expected.dc(), shown, rect, DT_SINGLELINE | DT_VCENTER | c.alignment);
        Prepare(drawn, font);
        rect = place;
        zem::platform::DrawTextUtf8(drawn.dc(), c.huge, rect, DT_SINGLELINE | DT_VCENTER | c.alignment);
        EXPECT_TRUE(SamePixels(expected, drawn));
        EXPECT_NE(expected.Ink(kBack).right, 0) << "something was drawn";
        // The same through the "A" call, as the play list draws its names.
        Canvas viaGbk(size.cx + 40, 28, kBack);
        Prepare(viaGbk, font);
        rect = place;
        const std::string gbk = zem::platform::Utf8ToGbk(c.huge);
        DrawTextA(viaGbk.dc(), gbk.c_str(), static_cast<int>(gbk.size()), &rect, DT_SINGLELINE | DT_VCENTER | c.alignment);
        EXPECT_TRUE(SamePixels(expected, viaGbk));

        if (c.alignment == DT_CENTER) continue;  // placed from its whole width, which is measured
        // Paints of the line's visible end take microseconds each, through
        // either call: 1000 and 5000 of them take far less than 10 s. Reading
        // the whole line takes about 200 ms a paint, converting it from GBK
        // about 30 ms.
        EXPECT_EQ(single_line::PaintsWithin(1000, 10, [&] {
                      rect = place;
                      zem::platform::DrawTextUtf8(drawn.dc(), c.huge, rect, DT_SINGLELINE | DT_VCENTER | c.alignment);
                  }),
                  1000);
        EXPECT_EQ(single_line::PaintsWithin(5000, 10, [&] {
                      rect = place;
                      DrawTextA(viaGbk.dc(), gbk.c_str(), static_cast<int>(gbk.size()), &rect,
                                DT_SINGLELINE | DT_VCENTER | c.alignment);
                  }),
                  5000)
            << "through DrawTextA";
        SelectObject(drawn.dc(), GetStockObject(SYSTEM_FONT));
        SelectObject(expected.dc(), GetStockObject(SYSTEM_FONT));
        SelectObject(viaGbk.dc(), GetStockObject(SYSTEM_FONT));
    }
}

// A label's caption of 10 MB, wrapped at its blanks: the lines that show are
// laid out, the rest is not read.
TEST_F(Text, AHugeWrappedTextLaysOutOnlyTheLinesThatShow) {
    const std::string text = single_line::Repeated("影视 abc def ", 10 << 20 >> 4);
    HFONT font = MakeFont();
    Canvas expected(200, 30, kBack);
    Canvas drawn(200, 30, kBack);
    RECT rect{0, 0, 200, 30};
    Prepare(expected, font);
    zem::platform::DrawTextUtf8(expected.dc(), text.substr(0, 4000), rect, DT_WORDBREAK | DT_NOPREFIX);
    Prepare(drawn, font);
    rect = RECT{0, 0, 200, 30};
    zem::platform::DrawTextUtf8(drawn.dc(), text, rect, DT_WORDBREAK | DT_NOPREFIX);
    EXPECT_TRUE(SamePixels(expected, drawn));
    EXPECT_NE(expected.Ink(kBack).bottom, 0) << "something was drawn";
    EXPECT_EQ(single_line::PaintsWithin(1000, 10, [&] {
                  rect = RECT{0, 0, 200, 30};
                  zem::platform::DrawTextUtf8(drawn.dc(), text, rect, DT_WORDBREAK | DT_NOPREFIX);
              }),
              1000);
    SelectObject(drawn.dc(), GetStockObject(SYSTEM_FONT));
    SelectObject(expected.dc(), GetStockObject(SYSTEM_FONT));
}

// DrawTextA converts only the end of a single line that shows: whatever the
// GBK bytes, it shows what the whole line converted shows. The pieces it
// converts begin at 4096 bytes and double: these lines cut a double-byte
// character at that edge, hold nothing that shows there, hide where
// characters start (a run of double-byte characters after a lone lead byte)
// or start the piece at a character marked by a run of '&'.
TEST_F(Text, ASingleGbkLineShowsAsTheWholeLineConverted) {
    const std::string beyond = single_line::Repeated("\xD3\xB0\xCA\xD3 x&&y ", 1 << 20);  // "影视 x&&y "
    const std::string carriageReturns(4095, '\r');
    struct Case {
        const char* what;
        UINT format;
        std::string gbk;
        int width;
    };
    const Case cases[] = {
        {"a character cut at the first piece's end", DT_LEFT, carriageReturns + beyond, 60},
        {"line breaks at the end", DT_RIGHT, beyond + kGbkText + std::string(10000, '\n'), 60},
        {"double-byte characters after a lone lead byte", DT_RIGHT,
         beyond + "A\xB2" + single_line::Repeated("\xB2\xA5\xB7\xC5", 3000), 60},
        {"a tab marked by the third '&' before the piece", DT_RIGHT | DT_EXPANDTABS,
         beyond + "&&&\t" + carriageReturns, 4},
    };
    HFONT font = MakeFont();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const UINT format = DT_SINGLELINE | DT_VCENTER | c.format;
        const RECT place{20, 0, 20 + c.width, 28};
        Canvas expected(c.width + 40, 28, kBack);
        Prepare(expected, font);
        RECT rect = place;
        const int bottom = zem::platform::DrawTextUtf8(expected.dc(), zem::platform::GbkToUtf8(c.gbk), rect, format);
        Canvas drawn(c.width + 40, 28, kBack);
        Prepare(drawn, font);
        rect = place;
        EXPECT_EQ(DrawTextA(drawn.dc(), c.gbk.c_str(), static_cast<int>(c.gbk.size()), &rect, format), bottom);
        EXPECT_TRUE(SamePixels(expected, drawn));
        EXPECT_NE(expected.Ink(kBack).right, 0) << "something was drawn";
        SelectObject(drawn.dc(), GetStockObject(SYSTEM_FONT));
        SelectObject(expected.dc(), GetStockObject(SYSTEM_FONT));
    }
}

// UTF-8 drawn as DrawTextA shows it once converted to GBK: what GBK cannot
// hold is "?", each malformed byte too, wherever the pieces converted end: a
// sequence cut at the first piece's edge, stray continuation bytes across it,
// a character marked by a run of '&' before it, lines read from the front
// past a first piece that ends inside the first line. Drawing the UTF-8
// itself shows every case otherwise; the long lines cost what shows.
TEST_F(Text, Utf8DrawnAsGbkShowsWhatTheWholeTextConvertedShows) {
    const std::string beyond = single_line::Repeated("影视 x&&y ", 1 << 20);
    const std::string outside = "\xF0\x9F\x98\x80" "한";  // an emoji and a Hangul syllable: no GBK characters
    const std::string malformed = "\xF0\x9F\x98" "A\xC3";  // a cut sequence and a lone lead byte
    struct Case {
        const char* what;
        UINT format;
        std::string utf8;
        int width;
        int height;
    };
    const Case cases[] = {
        {"a sequence cut at the first piece's end", DT_SINGLELINE | DT_VCENTER | DT_LEFT,
         std::string(4094, '\r') + outside + malformed + beyond, 160, 28},
        {"stray continuation bytes across the end piece's edge", DT_SINGLELINE | DT_VCENTER | DT_RIGHT,
         beyond + "&" + outside + malformed + std::string(5000, '\x80') + outside, 160, 28},
        {"a tab marked by the third '&' before the end piece", DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_EXPANDTABS,
         beyond + "&&&\t" + outside + std::string(4088, '\r'), 16, 28},
        {"centred", DT_SINGLELINE | DT_VCENTER | DT_CENTER, outside + " " + malformed, 160, 28},
        {"wrapped lines after a word longer than the first piece", DT_WORDBREAK,
         std::string(5000, 'x') + " " + outside + " " + malformed + " " + beyond, 160, 40},
        {"lines of a text box after a line longer than the first piece", DT_LEFT | DT_NOPREFIX,
         std::string(5000, 'x') + "\r\n" + outside + "\r\n" + malformed + "&" + outside, 160, 40},
    };
    HFONT font = MakeFont();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const RECT place{20, 0, 20 + c.width, c.height};
        Canvas expected(c.width + 40, c.height, kBack);
        Prepare(expected, font);
        RECT rect = place;
        const std::string shown = zem::platform::GbkToUtf8(zem::platform::Utf8ToGbk(c.utf8));
        const int bottom = zem::platform::DrawTextUtf8(expected.dc(), shown, rect, c.format);
        Canvas drawn(c.width + 40, c.height, kBack);
        Prepare(drawn, font);
        rect = place;
        EXPECT_EQ(zem::platform::DrawTextAsGbk(drawn.dc(), c.utf8, rect, c.format), bottom);
        EXPECT_TRUE(SamePixels(expected, drawn));
        EXPECT_NE(expected.Ink(kBack).right, 0) << "something was drawn";
        Canvas itself(c.width + 40, c.height, kBack);
        Prepare(itself, font);
        rect = place;
        zem::platform::DrawTextUtf8(itself.dc(), c.utf8, rect, c.format);
        EXPECT_FALSE(SamePixels(itself, drawn)) << "the UTF-8 itself shows the same";
        if (c.utf8.size() > (1u << 20)) {
            EXPECT_EQ(single_line::PaintsWithin(1000, 10, [&] {
                          rect = place;
                          zem::platform::DrawTextAsGbk(drawn.dc(), c.utf8, rect, c.format);
                      }),
                      1000);
        }
        SelectObject(drawn.dc(), GetStockObject(SYSTEM_FONT));
        SelectObject(expected.dc(), GetStockObject(SYSTEM_FONT));
        SelectObject(itself.dc(), GetStockObject(SYSTEM_FONT));
    }
}

}  // namespace
