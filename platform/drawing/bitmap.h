// A rectangle of 32-bit pixels, the one pixel store behind bitmaps, window
// surfaces and the composed screen.
//
// Pixels are 0x00RRGGBB words, rows top to bottom (in memory each pixel reads
// B, G, R, 0: the layout of a top-down 32-bit device-independent bitmap). A
// bitmap made at a size has no padding; one that was resized may keep rows
// longer than its width (Stride). COLORREF values (0x00BBGGRR) convert with
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
    // Pixels from one row to the next in memory (Width() unless resized).
    int Stride() const { return stride_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }

    Pixel* Row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(stride_); }
    const Pixel* Row(int y) const {
        return pixels_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(stride_);
    }
    Pixel At(int x, int y) const { return Row(y)[x]; }
    void Set(int x, int y, Pixel pixel) { Row(y)[x] = pixel; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    // Every pixel, row after row: only for a bitmap that was never resized
    // (Stride() == Width()), such as a decoded picture or a composed screen.
    std::span<Pixel> Pixels() { return pixels_; }
    std::span<const Pixel> Pixels() const { return pixels_; }

    // Fills the part of `area` that lies inside the bitmap.
    void Fill(const RECT& area, Pixel pixel);

    // Takes a new size: the pixels at the top left stay, what is new is
    // `fill`. The memory is kept while the new size fits it and is not much
    // smaller, and it grows in steps, so a window resized pixel by pixel
    // neither moves nor reallocates its pixels at each step.
    void Resize(int width, int height, Pixel fill);

private:
    int width_ = 0;
    int height_ = 0;
    int stride_ = 0;
    std::vector<Pixel> pixels_;
};

}  // namespace zem::platform
