// Text layout and output: lines, alignment, clipping to the rectangle, the
// background box in OPAQUE mode, prefix underlines, and glyph coverage
// blended in the text colour.
#include "platform/drawing/text.h"

#include "platform/base/text.h"
#include "platform/drawing/ansi_text.h"
#include "platform/drawing/gdi.h"
#include "platform/drawing/gdi_objects.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <vector>

namespace zem::platform {

namespace {

struct Line {
    std::u32string characters;
    std::vector<bool> underlined;  // per character: marked by a prefix '&'
    int width = 0;
};

bool IsBreakableWide(char32_t c) { return c >= 0x2E80; }

int Advance(SizedFont& font, char32_t c, UINT format) {
    if (c == U'\t' && (format & DT_EXPANDTABS)) return 8 * font.GlyphFor(U' ').advance;
    return font.GlyphFor(c).advance;
}

int Measure(SizedFont& font, const std::u32string& text, UINT format) {
    int width = 0;
    for (char32_t c : text) width += Advance(font, c, format);
    return width;
}

// Prefix marks: "&x" underlines x, "&&" is one '&'.
void StripPrefixes(std::u32string& text, std::vector<bool>& underlined, UINT format) {
    underlined.assign(text.size(), false);
    if (format & DT_NOPREFIX) return;
    std::u32string stripped;
    std::vector<bool> marks;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == U'&') {
            if (i + 1 >= text.size()) break;
            ++i;
            stripped.push_back(text[i]);
            marks.push_back(text[i] != U'&');
            continue;
        }
        stripped.push_back(text[i]);
        marks.push_back(false);
    }
    text = std::move(stripped);
    underlined = std::move(marks);
}

std::vector<Line> LayOut(SizedFont& font, std::string_view utf8, int maxWidth, UINT format) {
    std::u32string text = drawing_text::DecodeUtf8(utf8);
    std::vector<bool> underlined;
    StripPrefixes(text, underlined, format);

    std::vector<Line> lines;
    Line current;
    auto finish = [&] {
        current.width = Measure(font, current.characters, format);
        lines.push_back(std::move(current));
        current = Line{};
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t c = text[i];
        if (c == U'\r' || c == U'\n') {
            if (format & DT_SINGLELINE) continue;
            if (c == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n') ++i;
            finish();
            continue;
        }
        current.characters.push_back(c);
        current.underlined.push_back(underlined[i]);
    }
    finish();

    if (!(format & DT_WORDBREAK) || (format & DT_SINGLELINE)) return lines;
    // Word breaking: a line longer than the rectangle breaks after its last
    // space or before a wide (CJK) character that still fits; a single word
    // wider than the rectangle stays whole.
    std::vector<Line> wrapped;
    for (Line& line : lines) {
        std::size_t start = 0;
        while (start < line.characters.size()) {
            int width = 0;
            std::size_t end = start;
            std::size_t lastBreak = start;
            while (end < line.characters.size()) {
                const int advance = Advance(font, line.characters[end], format);
                if (width + advance > maxWidth && end > start) break;
                width += advance;
                ++end;
                if (line.characters[end - 1] == U' ' || IsBreakableWide(line.characters[end - 1]) ||
                    (end < line.characters.size() && IsBreakableWide(line.characters[end])))
                    lastBreak = end;
            }
            if (end < line.characters.size() && lastBreak > start) end = lastBreak;
            if (end < line.characters.size() && lastBreak == start) {
                // One word wider than the rectangle: run to its end.
                while (end < line.characters.size() && line.characters[end] != U' ') ++end;
            }
            Line piece;
            piece.characters = line.characters.substr(start, end - start);
            piece.underlined.assign(line.underlined.begin() + static_cast<std::ptrdiff_t>(start),
                                    line.underlined.begin() + static_cast<std::ptrdiff_t>(end));
            while (!piece.characters.empty() && piece.characters.back() == U' ') {
                piece.characters.pop_back();
                piece.underlined.pop_back();
            }
            piece.width = Measure(font, piece.characters, format);
            wrapped.push_back(std::move(piece));
            start = end;
            while (start < line.characters.size() && line.characters[start] == U' ') ++start;
        }
        if (line.characters.empty()) wrapped.push_back(std::move(line));
    }
    return wrapped;
}

Pixel Blend(Pixel under, Pixel over, unsigned coverage) {
    if (coverage >= 255) return over;
    const unsigned rest = 255 - coverage;
    auto channel = [&](int shift) {
        const unsigned a = (over >> shift) & 0xFF;
        const unsigned b = (under >> shift) & 0xFF;
        return ((a * coverage + b * rest + 127) / 255) << shift;
    };
    return channel(16) | channel(8) | channel(0);
}

void FillBox(DrawTarget& target, const ClipRegion& clip, int left, int top, int right, int bottom, Pixel pixel) {
    for (int row = std::max<int>(top, clip.Bounds().top); row < std::min<int>(bottom, clip.Bounds().bottom); ++row) {
        Pixel* line = target.pixels->Row(row);
        clip.ForEachRun(row, left, right, [&](int a, int b) { std::fill(line + a, line + b, pixel); });
    }
}

// Draws one line with its top-left corner at (x, y) of the bitmap.
void DrawLine(DrawTarget& target, const ClipRegion& clip, SizedFont& font, const FontDescription& style,
              const Line& line, int x, int y, const DeviceContext& dc, UINT format) {
    const Pixel color = PixelFromColor(dc.textColor);
    if (dc.backMode == OPAQUE)
        FillBox(target, clip, x, y, x + line.width, y + font.Height(), PixelFromColor(dc.backColor));
    const int baseline = y + font.Ascent();
    const int thickness = std::max(1, font.PixelsPerEm() / 16);
    int pen = x;
    for (std::size_t i = 0; i < line.characters.size(); ++i) {
        const char32_t c = line.characters[i];
        const int advance = Advance(font, c, format);
        if (c != U'\t') {
            const Glyph& glyph = font.GlyphFor(c);
            const int left = pen + glyph.left;
            const int top = baseline - glyph.top;
            for (int row = 0; row < glyph.height; ++row) {
                const int bitmapRow = top + row;
                if (bitmapRow < clip.Bounds().top || bitmapRow >= clip.Bounds().bottom) continue;
                Pixel* out = target.pixels->Row(bitmapRow);
                const std::uint8_t* coverage = glyph.coverage.data() + static_cast<std::size_t>(row) * glyph.width;
                clip.ForEachRun(bitmapRow, left, left + glyph.width, [&](int a, int b) {
                    for (int column = a; column < b; ++column)
                        if (const unsigned amount = coverage[column - left])
                            out[column] = Blend(out[column], color, amount);
                });
            }
        }
        if (line.underlined[i] || style.underline) {
            const int underline = baseline + std::max(1, font.Descent() / 3);
            FillBox(target, clip, pen, underline, pen + advance, underline + thickness, color);
        }
        if (style.strikeOut) {
            const int strike = baseline - font.PixelsPerEm() * 3 / 10;
            FillBox(target, clip, pen, strike, pen + advance, strike + thickness, color);
        }
        pen += advance;
    }
}

// Layout arithmetic runs in 64 bits: a rectangle may lie anywhere in the
// 32-bit plane (near INT_MIN or INT_MAX), where sums of its edges overflow int.
std::int64_t FloorHalf(std::int64_t value) { return value >= 0 ? value / 2 : -((-value + 1) / 2); }

int ClampToInt(std::int64_t value) { return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX)); }

}  // namespace

HFONT CreateFontFromDescription(const FontDescription& description) {
    auto font = std::make_unique<FontObject>();
    font->description = description;
    return HandleFromValue<HFONT>(GdiTable::Instance().Add(std::move(font)));
}

bool DescribeFont(HFONT handle, FontDescription& description) {
    auto* font = GdiTable::Instance().FindAs<FontObject>(handle, ObjectKind::Font);
    if (!font) return false;
    description = font->description;
    return true;
}

int DrawTextUtf8(HDC handle, std::string_view text, RECT& rect, UINT format) {
    auto& table = GdiTable::Instance();
    DeviceContext* dc = table.FindDC(handle);
    if (!dc) return 0;
    SizedFont* font = nullptr;
    try {
        font = &table.FontOf(*dc);
    } catch (const std::exception&) {
        return 0;
    }
    FontDescription style;
    if (auto* object = table.FindAs<FontObject>(dc->font, ObjectKind::Font)) style = object->description;

    const std::int64_t left = rect.left;
    const std::int64_t right = rect.right;
    const std::vector<Line> lines = LayOut(*font, text, ClampToInt(right - left), format);
    const int lineHeight = font->Height();
    const std::int64_t height = std::int64_t{lineHeight} * static_cast<std::int64_t>(lines.size());
    int widest = 0;
    for (const Line& line : lines) widest = std::max(widest, line.width);

    if (format & DT_CALCRECT) {
        rect.right = ClampToInt(left + widest);
        rect.bottom = ClampToInt(std::int64_t{rect.top} + height);
        return ClampToInt(height);
    }

    std::int64_t top = rect.top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER) top = FloorHalf(std::int64_t{rect.top} + rect.bottom - lineHeight);
        else if (format & DT_BOTTOM) top = std::int64_t{rect.bottom} - lineHeight;
    }
    const int result = ClampToInt((format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM))
                                      ? top + height - rect.top
                                      : height);

    DrawTarget target;
    if (!table.ResolveContext(*dc, target)) return result;
    ClipRegion clip = target.clip;
    if (!(format & DT_NOCLIP))
        clip.Intersect(ClipRegion::FromRect({ClampToInt(left + target.origin.x),
                                             ClampToInt(std::int64_t{rect.top} + target.origin.y),
                                             ClampToInt(right + target.origin.x),
                                             ClampToInt(std::int64_t{rect.bottom} + target.origin.y)}));
    // Nothing shows through an empty clip (an inverted rectangle, one off the
    // bitmap), and its bounds may sit at the ends of the plane.
    if (clip.IsEmpty()) return result;
    const RECT& bounds = clip.Bounds();
    std::int64_t y = top + target.origin.y;
    for (const Line& line : lines) {
        std::int64_t x = left;
        if (format & DT_CENTER) x = left + FloorHalf(right - left - line.width);
        else if (format & DT_RIGHT) x = right - line.width;
        x += target.origin.x;
        // Only a line that reaches the clipped area is drawn, so the glyph
        // arithmetic inside stays near the bitmap.
        // (A glyph may reach past its box by its overhang: one line height.)
        if (y < std::int64_t{bounds.bottom} + lineHeight && y + 2 * lineHeight > bounds.top &&
            x < std::int64_t{bounds.right} + lineHeight && x + line.width + lineHeight > bounds.left)
            DrawLine(target, clip, *font, style, line, static_cast<int>(x), static_cast<int>(y), *dc, format);
        y += lineHeight;
    }
    return result;
}

BOOL TextOutUtf8(HDC handle, int x, int y, std::string_view text) {
    auto& table = GdiTable::Instance();
    DeviceContext* dc = table.FindDC(handle);
    DrawTarget target;
    if (!dc || !table.ResolveContext(*dc, target)) return FALSE;
    SizedFont* font = nullptr;
    try {
        font = &table.FontOf(*dc);
    } catch (const std::exception&) {
        return FALSE;
    }
    FontDescription style;
    if (auto* object = table.FindAs<FontObject>(dc->font, ObjectKind::Font)) style = object->description;
    Line line;
    line.characters = drawing_text::DecodeUtf8(text);
    line.underlined.assign(line.characters.size(), false);
    line.width = Measure(*font, line.characters, 0);
    DrawLine(target, target.clip, *font, style, line, x + target.origin.x, y + target.origin.y, *dc, 0);
    return TRUE;
}

SIZE MeasureTextUtf8(HDC handle, std::string_view text) {
    auto& table = GdiTable::Instance();
    DeviceContext* dc = table.FindDC(handle);
    if (!dc) return {};
    try {
        SizedFont& font = table.FontOf(*dc);
        return {Measure(font, drawing_text::DecodeUtf8(text), 0), font.Height()};
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace zem::platform

namespace {

std::string_view Counted(const char* text, int count) {
    if (!text) return {};
    return count < 0 ? std::string_view(text) : std::string_view(text, static_cast<std::size_t>(count));
}

}  // namespace

HFONT CreateFontA(int height, int, int, int, int weight, DWORD italic, DWORD underline, DWORD strikeOut,
                  DWORD charSet, DWORD, DWORD, DWORD, DWORD, const char* faceName) {
    // Width, escapement, orientation, precision, quality and pitch are taken
    // and not used: text is drawn upright at the face's own widths, anti-aliased.
    zem::platform::FontDescription description;
    description.height = height;
    description.weight = weight == FW_DONTCARE ? FW_NORMAL : weight;
    description.italic = italic != 0;
    description.underline = underline != 0;
    description.strikeOut = strikeOut != 0;
    description.charSet = charSet;
    description.face = zem::platform::GbkToUtf8(faceName ? faceName : "");
    return zem::platform::CreateFontFromDescription(description);
}

int DrawTextA(HDC dc, const char* text, int count, RECT* rect, UINT format) {
    if (!rect) return 0;
    return zem::platform::DrawTextUtf8(dc, zem::platform::GbkToUtf8(Counted(text, count)), *rect,
                                       format);
}

BOOL TextOutA(HDC dc, int x, int y, const char* text, int count) {
    return zem::platform::TextOutUtf8(dc, x, y, zem::platform::GbkToUtf8(Counted(text, count)));
}

BOOL GetTextExtentPoint32A(HDC dc, const char* text, int count, SIZE* size) {
    if (!size || !zem::platform::GdiTable::Instance().FindDC(dc)) return FALSE;
    *size = zem::platform::MeasureTextUtf8(dc, zem::platform::GbkToUtf8(Counted(text, count)));
    return TRUE;
}
