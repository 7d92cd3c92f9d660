// A rectangle of 32-bit pixels, the one pixel store behind bitmaps, window
// surfaces and the composed screen.
//
// Pixels are 0x00RRGGBB words, rows top to bottom with no padding (in memory
// each pixel reads B, G, R, 0: the layout of a top-down 32-bit device-
// independent bitmap). COLORREF values (0x00BBGGRR) convert with
// PixelFromColor / ColorFromPixel.
#pragma once

#include "platform/base/win32_types.h"

#include <cstdint>
#include <span>
#include <vector>

namespace zem::platform {

using Pixel = std::uint32_t;

constexpr Pixel PixelFromColor(COLORREF color) {
    return (static_cast<Pixel>(GetRValue(color)) << 16) | (static_cast<Pixel>(GetGValue(color)) << 8) |
           GetBValue(color);
}
constexpr COLORREF ColorFromPixel(Pixel pixel) {
    return RGB(static_cast<BYTE>((pixel >> 16) & 0xFF), static_cast<BYTE>((pixel >> 8) & 0xFF),
               static_cast<BYTE>(pixel & 0xFF));
}

class Bitmap {
public:
    Bitmap() = default;
    // A bitmap of width x height pixels, all `fill`. Negative sizes count as 0.
    Bitmap(int width, int height, Pixel fill = 0);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }

    Pixel* Row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_); }
    const Pixel* Row(int y) const {
        return pixels_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
    }
    Pixel At(int x, int y) const { return Row(y)[x]; }
    void Set(int x, int y, Pixel pixel) { Row(y)[x] = pixel; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    std::span<Pixel> Pixels() { return pixels_; }
    std::span<const Pixel> Pixels() const { return pixels_; }

    // Fills the part of `area` that lies inside the bitmap.
    void Fill(const RECT& area, Pixel pixel);

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<Pixel> pixels_;
};

}  // namespace zem::platform
