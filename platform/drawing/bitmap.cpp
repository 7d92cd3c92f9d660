#include "platform/drawing/bitmap.h"

#include <algorithm>

namespace zem::platform {

namespace {

// Resized bitmaps take their memory in steps of this many pixels a side.
constexpr int kGrowthStep = 128;

int RoundUpToStep(int value) { return (value + kGrowthStep - 1) / kGrowthStep * kGrowthStep; }

}  // namespace

Bitmap::Bitmap(int width, int height, Pixel fill)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      stride_(width_),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), fill) {
    if (width_ == 0 || height_ == 0) {
        width_ = height_ = stride_ = 0;
        pixels_.clear();
    }
}

void Bitmap::Resize(int width, int height, Pixel fill) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == 0 || height == 0) {
        *this = Bitmap();
        return;
    }
    if (width == width_ && height == height_) return;
    const std::size_t rows = stride_ > 0 ? pixels_.size() / static_cast<std::size_t>(stride_) : 0;
    const std::size_t needed = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    // Kept unless it is too small, or four times more than needed.
    const bool fits = width <= stride_ && static_cast<std::size_t>(height) <= rows && pixels_.size() / 4 <= needed;
    if (!fits) {
        Bitmap grown;
        grown.width_ = width;
        grown.height_ = height;
        grown.stride_ = RoundUpToStep(width);
        grown.pixels_.assign(static_cast<std::size_t>(grown.stride_) * static_cast<std::size_t>(RoundUpToStep(height)),
                             fill);
        const int keptWidth = std::min(width, width_);
        for (int y = 0; y < std::min(height, height_); ++y) std::copy(Row(y), Row(y) + keptWidth, grown.Row(y));
        *this = std::move(grown);
        return;
    }
    const int oldWidth = width_;
    const int oldHeight = height_;
    width_ = width;
    height_ = height;
    // What comes into view was last something else: it becomes `fill`.
    if (width > oldWidth) Fill(RECT{oldWidth, 0, width, std::min(height, oldHeight)}, fill);
    if (height > oldHeight) Fill(RECT{0, oldHeight, width, height}, fill);
}

void Bitmap::Fill(const RECT& area, Pixel pixel) {
    const int left = std::max<int>(area.left, 0);
    const int top = std::max<int>(area.top, 0);
    const int right = std::min<int>(area.right, width_);
    const int bottom = std::min<int>(area.bottom, height_);
    for (int y = top; y < bottom; ++y) std::fill(Row(y) + left, Row(y) + std::max(left, right), pixel);
}

}  // namespace zem::platform
