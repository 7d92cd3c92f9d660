// Draws short labels into the artwork from a TrueType font file (the build passes
// the CJK font it ships with). Without a readable font nothing is drawn, so the
// pictures keep their sizes and layout either way.
#pragma once

#include "resources/canvas.h"

#include <string>
#include <string_view>
#include <vector>

namespace zem::artwork {

class TextPainter {
public:
    TextPainter() = default;
    explicit TextPainter(const std::string& fontPath);
    ~TextPainter();
    TextPainter(const TextPainter&) = delete;
    TextPainter& operator=(const TextPainter&) = delete;

    bool HasFont() const { return font_ != nullptr; }
    // Width in pixels of UTF-8 `text` at a pixel height.
    double Measure(std::string_view text, double pixelHeight) const;
    // Draws with the top of the em box at y.
    void Draw(Canvas& canvas, double x, double y, std::string_view text, double pixelHeight, Color color) const;
    void DrawCentered(Canvas& canvas, double centerX, double y, std::string_view text, double pixelHeight,
                      Color color) const;

private:
    std::vector<unsigned char> data_;
    struct FontInfo;
    FontInfo* font_ = nullptr;
};

}  // namespace zem::artwork
