// An RGBA pixel picture with the few drawing operations the artwork needs:
// fills, gradients, anti-aliased shapes given by a signed distance, and copies.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace zem::artwork {

struct Color {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t alpha = 255;
    friend bool operator==(const Color&, const Color&) = default;
};

// The pictures' colours are written as the platform's COLORREF, 0xBBGGRR.
constexpr Color FromColorRef(std::uint32_t bgr) {
    return Color{static_cast<std::uint8_t>(bgr & 0xFF), static_cast<std::uint8_t>((bgr >> 8) & 0xFF),
                 static_cast<std::uint8_t>((bgr >> 16) & 0xFF), 255};
}
constexpr Color Rgb(std::uint32_t rrggbb) {
    return Color{static_cast<std::uint8_t>((rrggbb >> 16) & 0xFF), static_cast<std::uint8_t>((rrggbb >> 8) & 0xFF),
                 static_cast<std::uint8_t>(rrggbb & 0xFF), 255};
}
Color Mix(Color from, Color to, double amount);  // amount 0 gives `from`, 1 gives `to`
Color Lighter(Color color, double amount);       // towards white
Color Darker(Color color, double amount);        // towards black

// Signed distance of a point to a shape's edge: negative inside, in pixels.
using SignedDistance = std::function<double(double x, double y)>;

class Canvas {
public:
    Canvas() = default;
    Canvas(int width, int height, Color background = {});

    int Width() const { return width_; }
    int Height() const { return height_; }
    Color At(int x, int y) const { return pixels_[Index(x, y)]; }
    void Set(int x, int y, Color color);                    // ignores points outside
    void Blend(int x, int y, Color color, double coverage);  // coverage 0..1, times the colour's alpha

    void Fill(int x, int y, int width, int height, Color color);
    void FrameRect(int x, int y, int width, int height, Color color);
    void VerticalGradient(int x, int y, int width, int height, Color top, Color bottom);
    // Rows take the colour a function gives for each row; the function sees the row's y.
    void FillRows(int x, int y, int width, int height, const std::function<Color(int row)>& colorOfRow);
    // Anti-aliased: every pixel whose centre lies within half a pixel of the edge is blended.
    void FillShape(const SignedDistance& shape, Color color);
    void FillShape(const SignedDistance& shape, const std::function<Color(int x, int y)>& colorAt);
    void DrawLine(double x0, double y0, double x1, double y1, double thickness, Color color);
    void FillPolygon(const std::vector<std::pair<double, double>>& points, Color color);
    // Copies a rectangle of another canvas here, replacing the pixels (alpha included).
    void Paste(const Canvas& source, int sourceX, int sourceY, int width, int height, int x, int y);
    void Paste(const Canvas& source, int x, int y) { Paste(source, 0, 0, source.Width(), source.Height(), x, y); }
    // Draws another canvas over this one, blended by its alpha.
    void Compose(const Canvas& source, int x, int y);
    Canvas Crop(int x, int y, int width, int height) const;

    const std::vector<Color>& Pixels() const { return pixels_; }
    std::vector<std::uint8_t> Bytes(int channels) const;  // rows top to bottom, RGB or RGBA

private:
    std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y) * width_ + x; }
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    int width_ = 0;
    int height_ = 0;
    std::vector<Color> pixels_;
};

// Signed distances of the usual shapes.
SignedDistance Circle(double centerX, double centerY, double radius);
SignedDistance Ellipse(double centerX, double centerY, double radiusX, double radiusY);
SignedDistance RoundedBox(double left, double top, double right, double bottom, double radius);
SignedDistance Capsule(double x0, double y0, double x1, double y1, double radius);
SignedDistance Ring(double centerX, double centerY, double radius, double halfThickness);

}  // namespace zem::artwork
