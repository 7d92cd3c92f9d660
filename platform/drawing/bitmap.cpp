#include "platform/drawing/bitmap.h"

#include <algorithm>

namespace zem::platform {

Bitmap::Bitmap(int width, int height, Pixel fill)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), fill) {
    if (width_ == 0 || height_ == 0) {
        width_ = height_ = 0;
        pixels_.clear();
    }
}

void Bitmap::Fill(const RECT& area, Pixel pixel) {
    const int left = std::max<int>(area.left, 0);
    const int top = std::max<int>(area.top, 0);
    const int right = std::min<int>(area.right, width_);
    const int bottom = std::min<int>(area.bottom, height_);
    for (int y = top; y < bottom; ++y) std::fill(Row(y) + left, Row(y) + std::max(left, right), pixel);
}

}  // namespace zem::platform
