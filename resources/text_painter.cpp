#include "resources/text_painter.h"

#include <cmath>
#include <fstream>
#include <iterator>

#include <stb_truetype.h>

namespace zem::artwork {
namespace {

// Decodes UTF-8 into code points; a broken sequence yields U+FFFD and goes on.
std::vector<char32_t> CodePoints(std::string_view text) {
    std::vector<char32_t> points;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const int length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
        if (length == 0 || i + length > text.size()) {
            points.push_back(U'\uFFFD');
            ++i;
            continue;
        }
        char32_t point = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length; ++k) point = (point << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        points.push_back(point);
        i += length;
    }
    return points;
}

}  // namespace

struct TextPainter::FontInfo {
    stbtt_fontinfo info{};
};

TextPainter::TextPainter(const std::string& fontPath) {
    std::ifstream file(fontPath, std::ios::binary);
    if (!file) return;
    data_.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    const int offset = stbtt_GetFontOffsetForIndex(data_.data(), 0);
    if (offset < 0) return;
    auto* font = new FontInfo;
    if (!stbtt_InitFont(&font->info, data_.data(), offset)) {
        delete font;
        return;
    }
    font_ = font;
}

TextPainter::~TextPainter() { delete font_; }

double TextPainter::Measure(std::string_view text, double pixelHeight) const {
    if (!font_) return 0;
    const float scale = stbtt_ScaleForPixelHeight(&font_->info, static_cast<float>(pixelHeight));
    double width = 0;
    for (char32_t point : CodePoints(text)) {
        int advance = 0, bearing = 0;
        stbtt_GetCodepointHMetrics(&font_->info, static_cast<int>(point), &advance, &bearing);
        width += advance * scale;
    }
    return width;
}

void TextPainter::Draw(Canvas& canvas, double x, double y, std::string_view text, double pixelHeight,
                       Color color) const {
    if (!font_) return;
    const float scale = stbtt_ScaleForPixelHeight(&font_->info, static_cast<float>(pixelHeight));
    int ascent = 0, descent = 0, gap = 0;
    stbtt_GetFontVMetrics(&font_->info, &ascent, &descent, &gap);
    const double baseline = y + ascent * scale;
    double penX = x;
    for (char32_t point : CodePoints(text)) {
        const int glyph = stbtt_FindGlyphIndex(&font_->info, static_cast<int>(point));
        int advance = 0, bearing = 0;
        stbtt_GetGlyphHMetrics(&font_->info, glyph, &advance, &bearing);
        const float shiftX = static_cast<float>(penX - std::floor(penX));
        const float shiftY = static_cast<float>(baseline - std::floor(baseline));
        int width = 0, height = 0, offsetX = 0, offsetY = 0;
        unsigned char* coverage = stbtt_GetGlyphBitmapSubpixel(&font_->info, scale, scale, shiftX, shiftY, glyph,
                                                               &width, &height, &offsetX, &offsetY);
        for (int row = 0; row < height; ++row)
            for (int column = 0; column < width; ++column)
                canvas.Blend(static_cast<int>(std::floor(penX)) + offsetX + column,
                             static_cast<int>(std::floor(baseline)) + offsetY + row, color,
                             coverage[row * width + column] / 255.0);
        stbtt_FreeBitmap(coverage, nullptr);
        penX += advance * scale;
    }
}

void TextPainter::DrawCentered(Canvas& canvas, double centerX, double y, std::string_view text, double pixelHeight,
                               Color color) const {
    Draw(canvas, std::round(centerX - Measure(text, pixelHeight) / 2), y, text, pixelHeight, color);
}

}  // namespace zem::artwork
