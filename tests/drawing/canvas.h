// A memory DC holding a bitmap of its own, for pixel tests.
#pragma once

#include "platform/drawing/gdi.h"

#include <string>

class Canvas {
public:
    Canvas(int width, int height, COLORREF fill = 0) : width_(width), height_(height) {
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateCompatibleBitmap(dc_, width, height);
        previous_ = SelectObject(dc_, bitmap_);
        Fill({0, 0, width, height}, fill);
    }
    ~Canvas() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return dc_; }
    HBITMAP bitmap() const { return bitmap_; }
    int width() const { return width_; }
    int height() const { return height_; }
    COLORREF at(int x, int y) const { return GetPixel(dc_, x, y); }
    void Fill(RECT rect, COLORREF color) {
        HBRUSH brush = CreateSolidBrush(color);
        FillRect(dc_, &rect, brush);
        DeleteObject(brush);
    }
    // One character per pixel of row y: the letter `legend` gives for each colour.
    template <typename Legend>
    std::string Row(int y, Legend legend) const {
        std::string row;
        for (int x = 0; x < width_; ++x) row += legend(at(x, y));
        return row;
    }
    // The smallest rectangle holding every pixel that is not `background`.
    RECT Ink(COLORREF background) const {
        RECT ink{width_, height_, 0, 0};
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                if (at(x, y) != background) {
                    ink.left = std::min<LONG>(ink.left, x);
                    ink.top = std::min<LONG>(ink.top, y);
                    ink.right = std::max<LONG>(ink.right, x + 1);
                    ink.bottom = std::max<LONG>(ink.bottom, y + 1);
                }
        return ink;
    }

private:
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};
