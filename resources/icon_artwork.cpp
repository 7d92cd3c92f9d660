// The round play emblem, shared by the logo, the about and updater pictures and the icon;
// the icons kept with the windows' designs.
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

namespace {

// The play-list toggle's pointer: a white left-right arrow with a dark edge,
// centred on the 32-pixel square, where an icon shown as the pointer has its hot spot.
Canvas DrawTogglePointer() {
    Canvas pointer(32, 32, Color{0, 0, 0, 0});
    pointer.FillPolygon({{1.5, 16}, {12, 5.5}, {12, 12.5}, {20, 12.5}, {20, 5.5}, {30.5, 16}, {20, 26.5}, {20, 19.5},
                         {12, 19.5}, {12, 26.5}},
                        Color{0, 0, 0, 255});
    pointer.FillPolygon({{4, 16}, {10.5, 9.5}, {10.5, 14}, {21.5, 14}, {21.5, 9.5}, {28, 16}, {21.5, 22.5}, {21.5, 18},
                         {10.5, 18}, {10.5, 22.5}},
                        theme::kText);
    return pointer;
}

}  // namespace

void DrawIconArtwork(Artwork& artwork) {
    for (int size : {64, 48, 32, 24, 16}) {
        Canvas icon(size, size, Color{0, 0, 0, 0});
        DrawEmblem(icon, size / 2.0, size / 2.0, size / 2.0 - (size >= 32 ? 1.0 : 0.5));
        artwork.iconImages.push_back(std::move(icon));
    }
    // Each program's main window starts with the icon file's icon as its design icon.
    artwork.icons.push_back({Program::Player, "Form1.Icon", artwork.iconImages});
    artwork.icons.push_back({Program::Updater, "Form1.Icon", artwork.iconImages});
    artwork.icons.push_back({Program::Player, "Form1.Picture4.MouseIcon", {DrawTogglePointer()}});
}

}  // namespace zem::artwork
