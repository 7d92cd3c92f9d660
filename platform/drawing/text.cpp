// Text layout and output: lines, alignment, clipping to the rectangle, the
// background box in OPAQUE mode, prefix underlines, and glyph coverage
// blended in the text colour.
#include "platform/drawing/text.h"

#include "platform/base/text.h"
#include "platform/drawing/ansi_text.h"
#include "platform/drawing/gdi.h"
#include "platform/drawing/gdi_objects.h"
#include "platform/drawing/text_segments.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

namespace zem::platform {

namespace {

bool IsBreakableWide(char32_t c) { return c >= 0x2E80; }
bool IsLineBreak(char32_t c) { return c == U'\r' || c == U'\n'; }

int Advance(SizedFont& font, char32_t c, UINT format) {
    if (c == U'\t' && (format & DT_EXPANDTABS)) return 8 * font.GlyphFor(U' ').advance;
    return font.GlyphFor(c).advance;
}

// One line of a text: the characters of bytes [begin, end), trailing blanks of
// a broken line left out. Its width is known only where it was measured.
struct Line {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::int64_t width = 0;
};

// Reading a text and measuring costs what is placed: lines are laid out one
// at a time, as they are asked for, and a line is read only as far as its
// breaking needs. A single line is the whole text (its line breaks are no
// characters); otherwise lines end at CR, LF or CR LF, and with DT_WORDBREAK
// a line longer than the rectangle breaks after its last blank or before a
// wide (CJK) character that still fits; a single word wider than the
// rectangle stays whole.
class LineLayout {
public:
    LineLayout(SizedFont& font, std::string_view text, std::int64_t maxWidth, UINT format)
        : font_(font), text_(text), maxWidth_(maxWidth), format_(format) {}

    bool Prefixes() const { return !(format_ & DT_NOPREFIX); }
    drawing_text::ForwardCharacters From(std::size_t at) const { return {text_, at, Prefixes()}; }
    drawing_text::BackwardCharacters Back(const Line& line) const { return {text_, line.begin, line.end, Prefixes()}; }

    // The width of a line's characters.
    std::int64_t Measure(const Line& line) const {
        std::int64_t width = 0;
        drawing_text::ForwardCharacters reader = From(line.begin);
        drawing_text::MarkedCharacter next;
        while (reader.Position() < line.end && reader.Next(next))
            if (!IsLineBreak(next.character)) width += Advance(font_, next.character, format_);
        return width;
    }

    bool Next(Line& line) {
        if (done_) return false;
        if (format_ & DT_SINGLELINE) {
            done_ = true;
            line = {0, text_.size(), 0};
            return true;
        }
        if (!(format_ & DT_WORDBREAK)) {
            line.begin = at_;
            line.end = RunToBreak(at_);
            at_ = PastBreak(line.end);
            return true;
        }
        return NextPiece(line);
    }

    // Whether laying out the lines so far read up to the text's end: until
    // then they are the lines of any longer text that starts with this one.
    bool ReachedEnd() const { return reachedEnd_; }

private:
    bool Read(drawing_text::ForwardCharacters& reader, drawing_text::MarkedCharacter& next) const {
        if (reader.Next(next)) return true;
        reachedEnd_ = true;
        return false;
    }

    // The end of the characters before the next line break (or the text's end).
    std::size_t RunToBreak(std::size_t at) const {
        drawing_text::ForwardCharacters reader = From(at);
        drawing_text::MarkedCharacter next;
        std::size_t end = reader.Position();
        while (Read(reader, next) && !IsLineBreak(next.character)) end = reader.Position();
        return end;
    }

    // Past the line break at `at` (CR LF is one); at the text's end, the last line is done.
    std::size_t PastBreak(std::size_t at) {
        drawing_text::ForwardCharacters reader = From(at);
        drawing_text::MarkedCharacter next;
        if (!Read(reader, next)) {
            done_ = true;
            return at;
        }
        const bool carriageReturn = next.character == U'\r';
        const std::size_t after = reader.Position();
        if (carriageReturn && Read(reader, next) && next.character == U'\n') return reader.Position();
        return after;
    }

    // Where a word that starts before `at` ends: at the next blank or line break.
    // Blanks and line breaks are single bytes that no sequence holds, so bytes
    // are looked at, not characters; a '&' that marks the blank belongs to it.
    std::size_t WordEnd(std::size_t at) const {
        std::size_t stop = at;
        while (stop < text_.size() && text_[stop] != ' ' && text_[stop] != '\r' && text_[stop] != '\n') ++stop;
        if (stop == text_.size()) reachedEnd_ = true;
        if (!Prefixes()) return stop;
        std::size_t run = stop;
        while (run > at && text_[run - 1] == '&') --run;
        return (stop - run) % 2 == 1 ? stop - 1 : stop;
    }

    bool NextPiece(Line& line) {
        const std::size_t start = at_;
        drawing_text::ForwardCharacters reader = From(start);
        drawing_text::MarkedCharacter next;
        std::int64_t width = 0;
        std::size_t end = start;
        std::size_t kept = start;           // past the last character that is no blank
        std::size_t lastBreak = start;
        std::size_t keptAtBreak = start;
        bool overflow = false;
        while (true) {
            const drawing_text::ForwardCharacters before = reader;
            if (!Read(reader, next) || IsLineBreak(next.character)) {
                reader = before;
                break;
            }
            const int advance = Advance(font_, next.character, format_);
            if (width + advance > maxWidth_ && end > start) {
                reader = before;
                overflow = true;
                break;
            }
            width += advance;
            end = reader.Position();
            if (next.character != U' ') kept = end;
            drawing_text::ForwardCharacters ahead = reader;
            drawing_text::MarkedCharacter following;
            const bool wideNext = Read(ahead, following) && !IsLineBreak(following.character) &&
                                  IsBreakableWide(following.character);
            if (next.character == U' ' || IsBreakableWide(next.character) || wideNext) {
                lastBreak = end;
                keptAtBreak = kept;
            }
        }
        if (overflow && lastBreak > start) {
            end = lastBreak;
            kept = keptAtBreak;
        } else if (overflow) {
            end = WordEnd(end);
            kept = end;
        }
        line = {start, kept, 0};
        // Blanks after a broken piece start no line; the line's break ends it.
        drawing_text::ForwardCharacters skip = From(end);
        std::size_t after = end;
        while (Read(skip, next) && next.character == U' ') after = skip.Position();
        drawing_text::ForwardCharacters probe = From(after);
        at_ = !Read(probe, next) || IsLineBreak(next.character) ? PastBreak(after) : after;
        return true;
    }

    SizedFont& font_;
    std::string_view text_;
    std::int64_t maxWidth_;
    UINT format_;
    std::size_t at_ = 0;
    bool done_ = false;
    mutable bool reachedEnd_ = false;
};

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

// Layout arithmetic runs in 64 bits: a rectangle may lie anywhere in the
// 32-bit plane (near INT_MIN or INT_MAX), where sums of its edges overflow int.
std::int64_t FloorHalf(std::int64_t value) { return value >= 0 ? value / 2 : -((-value + 1) / 2); }

int ClampToInt(std::int64_t value) { return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX)); }

// A character placed on a line, x in the bitmap's pixels.
struct Placed {
    drawing_text::MarkedCharacter mark;
    int x = 0;
    int advance = 0;
};

// The characters of a line that reach the columns [from, to) of the bitmap
// (a glyph may reach past its box by its overhang: `overhang` pixels), and
// the part of the line's box that lies there. Only those are read: from the
// front for a line whose start is known, from the back for one whose end is
// (right-aligned), so a line far wider than what shows costs what shows.
struct VisiblePart {
    std::vector<Placed> placed;  // in the line's order
    std::int64_t boxLeft = 0;
    std::int64_t boxRight = 0;
    bool ranOut = false;  // the line ended before the part reached the edge it was read towards
};

VisiblePart PlaceFromStart(const LineLayout& layout, SizedFont& font, const Line& line, std::int64_t start,
                           std::int64_t from, std::int64_t to, UINT format) {
    VisiblePart part{{}, start, start};
    drawing_text::ForwardCharacters reader = layout.From(line.begin);
    drawing_text::MarkedCharacter next;
    std::int64_t pen = start;
    while (pen < to && reader.Position() < line.end && reader.Next(next)) {
        if (IsLineBreak(next.character)) continue;
        const int advance = Advance(font, next.character, format);
        if (pen + advance > from) part.placed.push_back({next, static_cast<int>(pen), advance});
        pen += advance;
    }
    part.boxRight = pen;
    part.ranOut = pen < to;
    return part;
}

VisiblePart PlaceFromEnd(const LineLayout& layout, SizedFont& font, const Line& line, std::int64_t end,
                         std::int64_t from, std::int64_t to, UINT format) {
    VisiblePart part{{}, end, end};
    drawing_text::BackwardCharacters reader = layout.Back(line);
    drawing_text::MarkedCharacter previous;
    std::int64_t pen = end;
    while (pen > from && reader.Previous(previous)) {
        if (IsLineBreak(previous.character)) continue;
        const int advance = Advance(font, previous.character, format);
        pen -= advance;
        if (pen < to) part.placed.push_back({previous, static_cast<int>(pen), advance});
    }
    std::reverse(part.placed.begin(), part.placed.end());
    part.boxLeft = pen;
    part.ranOut = pen > from;
    return part;
}

// Draws the placed characters of one line whose top is at row y of the bitmap.
void DrawLine(DrawTarget& target, const ClipRegion& clip, SizedFont& font, const FontDescription& style,
              const VisiblePart& part, int y, const DeviceContext& dc) {
    const Pixel color = PixelFromColor(dc.textColor);
    if (dc.backMode == OPAQUE)
        FillBox(target, clip, ClampToInt(part.boxLeft), y, ClampToInt(part.boxRight), y + font.Height(),
                PixelFromColor(dc.backColor));
    const int baseline = y + font.Ascent();
    const int thickness = std::max(1, font.PixelsPerEm() / 16);
    for (const Placed& placed : part.placed) {
        const char32_t c = placed.mark.character;
        const int pen = placed.x;
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
        if (placed.mark.underlined || style.underline) {
            const int underline = baseline + std::max(1, font.Descent() / 3);
            FillBox(target, clip, pen, underline, pen + placed.advance, underline + thickness, color);
        }
        if (style.strikeOut) {
            const int strike = baseline - font.PixelsPerEm() * 3 / 10;
            FillBox(target, clip, pen, strike, pen + placed.advance, strike + thickness, color);
        }
    }
}


// One pass of DrawText over a text: drawn, or only laid out to learn whether
// the text held all that shows (a single line read to its end before the
// clip's edge may show more of a longer text).
struct TextPass {
    bool draw = true;
    bool ranOut = false;
};

int DrawTextWith(HDC handle, std::string_view text, RECT& rect, UINT format, TextPass& pass);
int DrawInSegments(HDC handle, const drawing_text::TextSegments& pieces, RECT& rect, UINT format);

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
    TextPass pass;
    return DrawTextWith(handle, text, rect, format, pass);
}

int DrawTextAsGbk(HDC handle, std::string_view text, RECT& rect, UINT format) {
    return DrawInSegments(handle, drawing_text::Utf8AsGbkSegments(text), rect, format);
}

namespace {

int DrawTextWith(HDC handle, std::string_view text, RECT& rect, UINT format, TextPass& pass) {
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
    const int lineHeight = font->Height();
    LineLayout layout(*font, text, right - left, format);
    Line line;

    if (format & DT_CALCRECT) {
        // The whole text is measured; a width past what a rectangle can hold
        // saturates there.
        std::int64_t widest = 0;
        std::int64_t height = 0;
        while (layout.Next(line)) {
            widest = std::max(widest, layout.Measure(line));
            height += lineHeight;
        }
        rect.right = ClampToInt(left + widest);
        rect.bottom = ClampToInt(std::int64_t{rect.top} + height);
        return ClampToInt(height);
    }

    std::int64_t top = rect.top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER) top = FloorHalf(std::int64_t{rect.top} + rect.bottom - lineHeight);
        else if (format & DT_BOTTOM) top = std::int64_t{rect.bottom} - lineHeight;
    }

    DrawTarget target;
    std::optional<ClipRegion> clip;
    if (table.ResolveContext(*dc, target)) {
        clip = target.clip;
        if (!(format & DT_NOCLIP))
            clip->Intersect(ClipRegion::FromRect({ClampToInt(left + target.origin.x),
                                                  ClampToInt(std::int64_t{rect.top} + target.origin.y),
                                                  ClampToInt(right + target.origin.x),
                                                  ClampToInt(std::int64_t{rect.bottom} + target.origin.y)}));
        // Nothing shows through an empty clip (an inverted rectangle, one off the
        // bitmap), and its bounds may sit at the ends of the plane.
        if (clip->IsEmpty()) clip.reset();
    }
    // Lines are laid out down to the last one that can show (below the clip,
    // or the rectangle when nothing is drawn): the height returned is theirs,
    // which is the whole text's when it ends there. DT_CALCRECT measures all.
    const std::int64_t stop = clip ? std::int64_t{clip->Bounds().bottom} - target.origin.y + lineHeight
                                   : std::int64_t{rect.bottom};
    std::int64_t y = top;
    while ((y < stop || y == top) && layout.Next(line)) {
        y += lineHeight;
        if (!clip) continue;
        const RECT& bounds = clip->Bounds();
        const std::int64_t row = y - lineHeight + target.origin.y;
        // Only a line that reaches the clipped area is drawn, so the glyph
        // arithmetic inside stays near the bitmap.
        // (A glyph may reach past its box by its overhang: one line height.)
        if (row >= std::int64_t{bounds.bottom} + lineHeight || row + 2 * lineHeight <= bounds.top) continue;
        const std::int64_t from = std::int64_t{bounds.left} - lineHeight;
        const std::int64_t to = std::int64_t{bounds.right} + lineHeight;
        VisiblePart part;
        if (format & DT_RIGHT) {
            part = PlaceFromEnd(layout, *font, line, right + target.origin.x, from, to, format);
        } else {
            std::int64_t start = left;
            // A centred line is placed from its whole width: one wider than the
            // rectangle shows its middle.
            if (format & DT_CENTER) start = left + FloorHalf(right - left - layout.Measure(line));
            part = PlaceFromStart(layout, *font, line, start + target.origin.x, from, to, format);
        }
        if (format & DT_SINGLELINE) pass.ranOut = pass.ranOut || part.ranOut;
        if (pass.draw && part.boxRight > from && part.boxLeft < to)
            DrawLine(target, *clip, *font, style, part, static_cast<int>(row), *dc);
    }
    if (!(format & DT_SINGLELINE)) pass.ranOut = layout.ReachedEnd();
    const std::int64_t height = y - top;
    return ClampToInt((format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM)) ? top + height - rect.top
                                                                                      : height);
}

// A text shows from its front, or a single line from its end, only as far as
// the clip reaches: only a piece of the text at that end is converted, laid
// out and, while the layout reads to the piece's end (a single line: runs out
// before the clip's edge), doubled, so the cost follows what shows, not the
// text's length. A centred single line is placed from its whole width, and
// DT_CALCRECT measures it all: those convert the whole text.
int DrawInSegments(HDC handle, const drawing_text::TextSegments& pieces, RECT& rect, UINT format) {
    const std::string_view text = pieces.Bytes();
    const bool single = (format & DT_SINGLELINE) != 0;
    const bool fromEnd = single && (format & DT_RIGHT);
    const bool piecewise = !(format & DT_CALCRECT) && !(single && (format & DT_CENTER));
    // The prefix marks pair up across a run of '&', so a piece read from the
    // end starts after a byte that is no '&'.
    const bool prefixes = !(format & DT_NOPREFIX);
    std::string utf8;
    std::size_t converted = 0;  // bytes of the front piece converted into utf8
    for (std::size_t length = piecewise ? 4096 : text.size();; length *= 2) {
        bool whole = length >= text.size();
        if (fromEnd) {
            std::size_t start = whole ? 0 : pieces.StartBefore(text.size() - length, length);
            while (prefixes && start != std::string_view::npos && start > 0 && text[start - 1] == '&')
                start = pieces.StartBefore(start - 1, length);
            if (start == std::string_view::npos) continue;  // no sure character start near: a longer piece
            whole = start == 0;
            utf8.clear();
            pieces.AppendEnd(start, utf8);
        } else {
            converted += pieces.AppendFront(converted, std::min(length, text.size()), utf8);
        }
        if (whole) return DrawTextUtf8(handle, utf8, rect, format);
        TextPass trial{false, false};
        RECT place = rect;
        DrawTextWith(handle, utf8, place, format, trial);
        if (!trial.ranOut) return DrawTextUtf8(handle, utf8, rect, format);
    }
}

}  // namespace

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
    if (target.clip.IsEmpty()) return TRUE;
    // One line without prefix marks, its line breaks drawn as characters, read
    // as far as the clip reaches.
    const RECT& bounds = target.clip.Bounds();
    const int lineHeight = font->Height();
    drawing_text::ForwardCharacters reader(text, 0, false);
    drawing_text::MarkedCharacter next;
    VisiblePart part;
    std::int64_t pen = std::int64_t{x} + target.origin.x;
    part.boxLeft = pen;
    while (pen < std::int64_t{bounds.right} + lineHeight && reader.Next(next)) {
        const int advance = Advance(*font, next.character, 0);
        if (pen + advance > std::int64_t{bounds.left} - lineHeight)
            part.placed.push_back({next, static_cast<int>(pen), advance});
        pen += advance;
    }
    part.boxRight = pen;
    DrawLine(target, target.clip, *font, style, part, y + target.origin.y, *dc);
    return TRUE;
}

SIZE MeasureTextUtf8(HDC handle, std::string_view text) {
    auto& table = GdiTable::Instance();
    DeviceContext* dc = table.FindDC(handle);
    if (!dc) return {};
    try {
        SizedFont& font = table.FontOf(*dc);
        std::int64_t width = 0;
        std::size_t at = 0;
        while (at < text.size()) width += Advance(font, drawing_text::DecodeNext(text, at), 0);
        return {ClampToInt(width), font.Height()};
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
    return zem::platform::DrawInSegments(dc, zem::platform::drawing_text::GbkSegments(Counted(text, count)), *rect,
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
