#include "resources/canvas.h"

#include <algorithm>
#include <cmath>

namespace zem::artwork {
namespace {

std::uint8_t Channel(double value) { return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L)); }

}  // namespace

Color Mix(Color from, Color to, double amount) {
    amount = std::clamp(amount, 0.0, 1.0);
    auto mix = [amount](std::uint8_t a, std::uint8_t b) { return Channel(a + (b - a) * amount); };
    return Color{mix(from.red, to.red), mix(from.green, to.green), mix(from.blue, to.blue), mix(from.alpha, to.alpha)};
}

Color Lighter(Color color, double amount) {
    Color white{255, 255, 255, color.alpha};
    return Mix(color, white, amount);
}

Color Darker(Color color, double amount) {
    Color black{0, 0, 0, color.alpha};
    return Mix(color, black, amount);
}

Canvas::Canvas(int width, int height, Color background)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, background) {}

void Canvas::Set(int x, int y, Color color) {
    if (Inside(x, y)) pixels_[Index(x, y)] = color;
}

void Canvas::Blend(int x, int y, Color color, double coverage) {
    if (!Inside(x, y)) return;
    const double weight = std::clamp(coverage, 0.0, 1.0) * color.alpha / 255.0;
    if (weight <= 0) return;
    Color& under = pixels_[Index(x, y)];
    const double underAlpha = under.alpha / 255.0;
    const double outAlpha = weight + underAlpha * (1 - weight);
    auto blend = [&](std::uint8_t top, std::uint8_t bottom) {
        return Channel((top * weight + bottom * underAlpha * (1 - weight)) / outAlpha);
    };
    under = Color{blend(color.red, under.red), blend(color.green, under.green), blend(color.blue, under.blue),
                  Channel(outAlpha * 255)};
}

void Canvas::Fill(int x, int y, int width, int height, Color color) {
    for (int row = std::max(y, 0); row < std::min(y + height, height_); ++row)
        for (int column = std::max(x, 0); column < std::min(x + width, width_); ++column)
            pixels_[Index(column, row)] = color;
}

void Canvas::FrameRect(int x, int y, int width, int height, Color color) {
    Fill(x, y, width, 1, color);
    Fill(x, y + height - 1, width, 1, color);
    Fill(x, y, 1, height, color);
    Fill(x + width - 1, y, 1, height, color);
}

void Canvas::VerticalGradient(int x, int y, int width, int height, Color top, Color bottom) {
    FillRows(x, y, width, height, [&](int row) {
        return Mix(top, bottom, height > 1 ? static_cast<double>(row - y) / (height - 1) : 0.0);
    });
}

void Canvas::FillRows(int x, int y, int width, int height, const std::function<Color(int row)>& colorOfRow) {
    for (int row = std::max(y, 0); row < std::min(y + height, height_); ++row) Fill(x, row, width, 1, colorOfRow(row));
}

void Canvas::FillShape(const SignedDistance& shape, Color color) {
    FillShape(shape, [color](int, int) { return color; });
}

void Canvas::FillShape(const SignedDistance& shape, const std::function<Color(int x, int y)>& colorAt) {
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            const double distance = shape(x + 0.5, y + 0.5);
            if (distance < 0.5) Blend(x, y, colorAt(x, y), 0.5 - distance);
        }
}

void Canvas::DrawLine(double x0, double y0, double x1, double y1, double thickness, Color color) {
    FillShape(Capsule(x0, y0, x1, y1, thickness / 2), color);
}

void Canvas::FillPolygon(const std::vector<std::pair<double, double>>& points, Color color) {
    // Four by four samples per pixel, even-odd rule.
    auto inside = [&points](double x, double y) {
        bool in = false;
        for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
            const auto [xi, yi] = points[i];
            const auto [xj, yj] = points[j];
            if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) in = !in;
        }
        return in;
    };
    double left = width_, top = height_, right = 0, bottom = 0;
    for (const auto& [x, y] : points) {
        left = std::min(left, x), top = std::min(top, y), right = std::max(right, x), bottom = std::max(bottom, y);
    }
    for (int y = std::max(0, static_cast<int>(top)); y < std::min(height_, static_cast<int>(bottom) + 1); ++y)
        for (int x = std::max(0, static_cast<int>(left)); x < std::min(width_, static_cast<int>(right) + 1); ++x) {
            int hits = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx) hits += inside(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4);
            if (hits) Blend(x, y, color, hits / 16.0);
        }
}

void Canvas::Paste(const Canvas& source, int sourceX, int sourceY, int width, int height, int x, int y) {
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column) {
            const int fromX = sourceX + column, fromY = sourceY + row;
            if (source.Inside(fromX, fromY)) Set(x + column, y + row, source.At(fromX, fromY));
        }
}

void Canvas::Compose(const Canvas& source, int x, int y) {
    for (int row = 0; row < source.Height(); ++row)
        for (int column = 0; column < source.Width(); ++column) Blend(x + column, y + row, source.At(column, row), 1);
}

Canvas Canvas::Crop(int x, int y, int width, int height) const {
    Canvas cropped(width, height);
    cropped.Paste(*this, x, y, width, height, 0, 0);
    return cropped;
}

std::vector<std::uint8_t> Canvas::Bytes(int channels) const {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(pixels_.size() * channels);
    for (const Color& pixel : pixels_) {
        bytes.push_back(pixel.red);
        bytes.push_back(pixel.green);
        bytes.push_back(pixel.blue);
        if (channels == 4) bytes.push_back(pixel.alpha);
    }
    return bytes;
}

SignedDistance Circle(double centerX, double centerY, double radius) {
    return [=](double x, double y) { return std::hypot(x - centerX, y - centerY) - radius; };
}

SignedDistance Ellipse(double centerX, double centerY, double radiusX, double radiusY) {
    // Scaled distance: exact on the axes, close enough elsewhere for edges one pixel wide.
    return [=](double x, double y) {
        const double dx = (x - centerX) / radiusX, dy = (y - centerY) / radiusY;
        const double length = std::hypot(dx, dy);
        if (length == 0) return -std::min(radiusX, radiusY);
        const double gradient = std::hypot(dx / radiusX, dy / radiusY) / length;
        return (length - 1) / gradient;
    };
}

SignedDistance RoundedBox(double left, double top, double right, double bottom, double radius) {
    const double centerX = (left + right) / 2, centerY = (top + bottom) / 2;
    const double halfWidth = (right - left) / 2 - radius, halfHeight = (bottom - top) / 2 - radius;
    return [=](double x, double y) {
        const double qx = std::abs(x - centerX) - halfWidth, qy = std::abs(y - centerY) - halfHeight;
        return std::hypot(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) - radius;
    };
}

SignedDistance Capsule(double x0, double y0, double x1, double y1, double radius) {
    return [=](double x, double y) {
        const double dx = x1 - x0, dy = y1 - y0;
        const double lengthSquared = dx * dx + dy * dy;
        const double along = lengthSquared > 0 ? std::clamp(((x - x0) * dx + (y - y0) * dy) / lengthSquared, 0.0, 1.0) : 0;
        return std::hypot(x - (x0 + along * dx), y - (y0 + along * dy)) - radius;
    };
}

SignedDistance Ring(double centerX, double centerY, double radius, double halfThickness) {
    return [=](double x, double y) { return std::abs(std::hypot(x - centerX, y - centerY) - radius) - halfThickness; };
}

}  // namespace zem::artwork
