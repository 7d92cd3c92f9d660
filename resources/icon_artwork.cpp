// The round play emblem, shared by the logo, the about and updater pictures and the icon.
#include "resources/artwork_catalog.h"

#include <cmath>

namespace zem::artwork {

void DrawPlayTriangle(Canvas& canvas, double centerX, double centerY, double size, Color color) {
    // An equilateral triangle pointing right, its centroid at the centre.
    const double half = size / 2, depth = size * 0.866;
    canvas.FillPolygon({{centerX - depth / 3, centerY - half}, {centerX + depth * 2 / 3, centerY}, {centerX - depth / 3, centerY + half}},
                       color);
}

void DrawEmblem(Canvas& canvas, double centerX, double centerY, double radius) {
    const double top = centerY - radius;
    canvas.FillShape(Circle(centerX, centerY, radius), [&](int, int y) {
        return Mix(Rgb(0xFFA628), theme::kAccentDeep, (y + 0.5 - top) / (2 * radius));
    });
    if (radius >= 10) canvas.FillShape(Ring(centerX, centerY, radius * 0.78, std::max(0.6, radius * 0.03)), Color{255, 255, 255, 70});
    DrawPlayTriangle(canvas, centerX + radius * 0.06, centerY, radius * 0.9, theme::kText);
}

void DrawIconArtwork(Artwork& artwork) {
    for (int size : {64, 48, 32, 24, 16}) {
        Canvas icon(size, size, Color{0, 0, 0, 0});
        DrawEmblem(icon, size / 2.0, size / 2.0, size / 2.0 - (size >= 32 ? 1.0 : 0.5));
        artwork.iconImages.push_back(std::move(icon));
    }
}

}  // namespace zem::artwork
