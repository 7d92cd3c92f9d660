// The main window's skin files ("zemskin/skin/*.jpg") and its design pictures.
#include "resources/artwork_catalog.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

namespace zem::artwork {
namespace {

constexpr int kHeaderHeight = 100;
constexpr int kSpriteTop = 20;  // every header sprite is copied to y 20
constexpr Color kIdleGlyph = Rgb(0xA9A9AE);

// A sprite picture of `frames` frames on the header's background rows 20 to 99.
Canvas HeaderSprite(int frameWidth, int frames) {
    Canvas sprite(frameWidth * frames, 80);
    sprite.FillRows(0, 0, sprite.Width(), 80, [](int row) { return HeaderBackground(row + kSpriteTop); });
    return sprite;
}

// Draws `paint` into a frame-sized layer and lays it over the frame at `left`.
void InFrame(Canvas& sprite, int left, int width, const std::function<void(Canvas&)>& paint) {
    Canvas layer(width, sprite.Height(), Color{0, 0, 0, 0});
    paint(layer);
    sprite.Compose(layer, left, 0);
}

// --- caption buttons: 30 x 80 frames, glyph in the top band (hy covers y 60 to 98 on the right)

using Glyph = std::function<void(Canvas&, double centerX, double centerY, Color)>;

void CloseGlyph(Canvas& canvas, double x, double y, Color color) {
    canvas.DrawLine(x - 5, y - 5, x + 5, y + 5, 1.6, color);
    canvas.DrawLine(x - 5, y + 5, x + 5, y - 5, 1.6, color);
}
void MaximizeGlyph(Canvas& canvas, double x, double y, Color color) {
    canvas.FillShape(
        [=](double px, double py) { return std::abs(RoundedBox(x - 5.5, y - 5, x + 5.5, y + 5, 1)(px, py)) - 0.75; },
        color);
    canvas.Fill(static_cast<int>(x - 5), static_cast<int>(y - 5), 10, 2, color);
}
void RestoreGlyph(Canvas& canvas, double x, double y, Color color) {
    // Two windows: the one behind shows only where the front one does not cover it.
    const SignedDistance back = RoundedBox(x - 2.5, y - 6, x + 6, y + 2.5, 1);
    const SignedDistance front = RoundedBox(x - 6, y - 2.5, x + 2.5, y + 6, 1);
    canvas.FillShape([=](double px, double py) { return std::max(std::abs(back(px, py)) - 0.75, -(front(px, py) + 0.75)); },
                     color);
    canvas.FillShape([=](double px, double py) { return std::abs(front(px, py)) - 0.75; }, color);
}
void MinimizeGlyph(Canvas& canvas, double x, double y, Color color) { canvas.DrawLine(x - 5.5, y + 1, x + 5.5, y + 1, 1.8, color); }
void MenuGlyph(Canvas& canvas, double x, double y, Color color) {
    for (double row : {-4.0, 0.0, 4.0}) canvas.DrawLine(x - 5.5, y + row, x + 5.5, y + row, 1.6, color);
}

Canvas CaptionSprite(const Glyph& glyph, bool danger) {
    Canvas sprite = HeaderSprite(30, 3);
    const double glyphY = 19;
    InFrame(sprite, 0, 30, [&](Canvas& frame) { glyph(frame, 15, glyphY, kIdleGlyph); });
    InFrame(sprite, 30, 30, [&](Canvas& frame) {
        frame.FillShape(RoundedBox(2, 5, 28, 33, 4), danger ? Rgb(0xE0483E) : Rgb(0x3C3C41));
        glyph(frame, 15, glyphY, theme::kText);
    });
    InFrame(sprite, 60, 30, [&](Canvas& frame) {
        frame.FillShape(RoundedBox(2, 5, 28, 33, 4), danger ? Rgb(0xA8302A) : Rgb(0x151517));
        glyph(frame, 15, glyphY + 1, danger ? Rgb(0xF0D0CC) : theme::kAccent);
    });
    return sprite;
}

// --- view tabs: 107 x 80 frames; the next tab covers the last 7 columns, so the
// face lies in x 7 to 99.

using TabIcon = std::function<void(Canvas&, double centerX, double centerY, Color)>;

void PlayIcon(Canvas& canvas, double x, double y, Color color) {
    canvas.FillShape(Ring(x, y, 12, 1.1), color);
    DrawPlayTriangle(canvas, x + 1.5, y, 10, color);
}
void LibraryIcon(Canvas& canvas, double x, double y, Color color) {
    for (double dx : {-6.5, 6.5})
        for (double dy : {-6.5, 6.5}) canvas.FillShape(RoundedBox(x + dx - 5, y + dy - 5, x + dx + 5, y + dy + 5, 2), color);
}
void LiveIcon(Canvas& canvas, double x, double y, Color color) {
    canvas.FillShape([=](double px, double py) { return std::abs(RoundedBox(x - 12, y - 7, x + 12, y + 11, 3)(px, py)) - 1; },
                     color);
    canvas.DrawLine(x - 6, y - 14, x, y - 8, 1.6, color);
    canvas.DrawLine(x + 6, y - 14, x, y - 8, 1.6, color);
    canvas.FillShape(Circle(x + 7, y + 6, 1.6), color);
    DrawPlayTriangle(canvas, x - 1, y + 2, 7, color);
}
void StarIcon(Canvas& canvas, double x, double y, Color color) {
    std::vector<std::pair<double, double>> points;
    for (int i = 0; i < 10; ++i) {
        const double angle = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
        const double radius = i % 2 == 0 ? 13 : 5.6;
        points.push_back({x + radius * std::cos(angle), y + 1 + radius * std::sin(angle)});
    }
    canvas.FillPolygon(points, color);
}

Canvas TabSprite(const TabIcon& icon, const char* label, const TextPainter& text) {
    Canvas sprite = HeaderSprite(107, 3);
    const double centerX = 53, iconY = 28, labelY = 48, labelSize = 15;
    InFrame(sprite, 0, 107, [&](Canvas& frame) {
        icon(frame, centerX, iconY, kIdleGlyph);
        text.DrawCentered(frame, centerX, labelY, label, labelSize, kIdleGlyph);
    });
    InFrame(sprite, 107, 107, [&](Canvas& frame) {
        frame.FillShape(RoundedBox(9, 4, 98, 76, 6), Rgb(0x323236));
        icon(frame, centerX, iconY, theme::kText);
        text.DrawCentered(frame, centerX, labelY, label, labelSize, theme::kText);
    });
    InFrame(sprite, 214, 107, [&](Canvas& frame) {
        frame.FillShape(RoundedBox(9, 4, 98, 76, 6),
                        [](int, int y) { return Mix(Rgb(0x3A2E22), Rgb(0x2A2622), y / 76.0); });
        frame.FillShape(RoundedBox(24, 73, 82, 77, 2), theme::kAccent);
        icon(frame, centerX, iconY, theme::kAccent);
        text.DrawCentered(frame, centerX, labelY, label, labelSize, theme::kText);
    });
    return sprite;
}

// --- the bottom bar, the ticker strip and the play list panel

Color BottomBarRow(int y) {
    if (y == 0) return Rgb(0x34343A);
    return Mix(Rgb(0x28282C), Rgb(0x1A1A1D), y / 42.0);
}
Color TickerRow(int y) {
    if (y == 0) return Rgb(0x303035);
    if (y == 42) return Rgb(0x151517);
    return Mix(Rgb(0x232326), Rgb(0x1C1C1F), y / 42.0);
}
Color ListHeadRow(int y) {
    if (y >= 44) return Rgb(0x111113);
    return Mix(Rgb(0x2C2C30), Rgb(0x222225), y / 43.0);
}

Canvas Strip(int width, int height, const std::function<Color(int)>& row) {
    Canvas strip(width, height);
    strip.FillRows(0, 0, width, height, row);
    return strip;
}

void ListIcon(Canvas& canvas, double x, double y, Color color) {
    for (double row : {-5.0, 0.0, 5.0}) {
        canvas.FillShape(Circle(x - 6, y + row, 1.5), color);
        canvas.DrawLine(x - 2, y + row, x + 7, y + row, 1.6, color);
    }
}

void TrashIcon(Canvas& canvas, double x, double y, Color color) {
    canvas.DrawLine(x - 6, y - 5, x + 6, y - 5, 1.5, color);
    canvas.DrawLine(x - 2, y - 7, x + 2, y - 7, 1.5, color);
    canvas.FillPolygon({{x - 5, y - 3}, {x + 5, y - 3}, {x + 4, y + 7}, {x - 4, y + 7}}, color);
    const Color slot = Color{0, 0, 0, 110};
    for (double dx : {-2.0, 0.0, 2.0}) canvas.DrawLine(x + dx, y - 1, x + dx, y + 5, 0.8, slot);
}

Canvas DrawHeaderBackground() {
    Canvas header(2560, kHeaderHeight);
    header.FillRows(0, 0, header.Width(), kHeaderHeight, HeaderBackground);
    return header;
}

Canvas DrawHeaderCap(bool left) {
    Canvas cap(10, kHeaderHeight);
    cap.FillRows(0, 0, 10, kHeaderHeight, HeaderBackground);
    for (int x = 0; x < 10; ++x)
        for (int y = 0; y < kHeaderHeight; ++y)
            cap.Set(x, y, Darker(cap.At(x, y), 0.25 * (left ? (9 - x) : x) / 9.0));
    return cap;
}

Canvas DrawLogo(const TextPainter& text) {
    Canvas logo(390, 80);
    logo.FillRows(0, 0, 390, 80, [](int row) { return HeaderBackground(row + kSpriteTop); });
    DrawEmblem(logo, 40, 30, 22);
    text.Draw(logo, 76, 9, "zem", 30, theme::kText);
    text.Draw(logo, 76 + text.Measure("zem", 30), 9, "player", 30, theme::kAccent);
    text.Draw(logo, 78, 46, "高清影视 · 随点随播", 13, Rgb(0x8C8C92));
    return logo;
}

Canvas DrawHeaderBadge(const TextPainter& text) {
    // hy: 145 x 39 at the header's right end, rows 60 to 98.
    Canvas badge(145, 39);
    badge.FillRows(0, 0, 145, 39, [](int row) { return HeaderBackground(row + 60); });
    badge.FillShape(RoundedBox(14, 8, 134, 32, 12), Rgb(0x2B2B30));
    badge.FillShape([](double x, double y) { return std::abs(RoundedBox(14, 8, 134, 32, 12)(x, y)) - 0.5; },
                    Rgb(0x45454C));
    for (int bar = 0; bar < 4; ++bar)
        badge.Fill(28 + bar * 4, 25 - bar * 3, 3, 3 + bar * 3, bar < 3 ? theme::kAccent : Rgb(0x5A5A60));
    text.Draw(badge, 50, 12, "高清流畅", 14, Rgb(0xC8C8CC));
    return badge;
}

Canvas DrawDragStrip() {
    // lbl.jpg: the bottom bar's 455-pixel drag strip, a grip of dots in the middle.
    Canvas strip = Strip(455, 43, BottomBarRow);
    for (int column = 0; column < 9; ++column)
        for (int row = 0; row < 2; ++row)
            strip.FillShape(Circle(227.5 + (column - 4) * 6, 19 + row * 6, 1.2), Rgb(0x4A4A50));
    return strip;
}

Canvas DrawTickerEnd(const TextPainter& text) {
    Canvas end = Strip(460, 43, TickerRow);
    // Fades in from the strip on the left; a speaker and a caption at the right.
    for (int x = 0; x < 460; ++x)
        for (int y = 1; y < 42; ++y) end.Set(x, y, Mix(end.At(x, y), Rgb(0x2A2622), std::min(1.0, x / 300.0) * 0.8));
    const double cx = 398, cy = 21;
    const Color speaker = theme::kAccent;
    end.FillPolygon({{cx - 8, cy - 3}, {cx - 4, cy - 3}, {cx + 2, cy - 8}, {cx + 2, cy + 8}, {cx - 4, cy + 3}, {cx - 8, cy + 3}},
                    speaker);
    end.FillShape([=](double x, double y) { return x < cx + 4 ? 10.0 : Ring(cx + 2, cy, 6, 0.8)(x, y); }, speaker);
    end.FillShape([=](double x, double y) { return x < cx + 5 ? 10.0 : Ring(cx + 2, cy, 10, 0.8)(x, y); }, speaker);
    text.Draw(end, 418, 13, "资讯", 14, Rgb(0xC8C8CC));
    return end;
}

Canvas DrawListHead(const TextPainter& text) {
    Canvas head = Strip(350, 50, ListHeadRow);
    ListIcon(head, 20, 22, theme::kAccent);
    text.Draw(head, 36, 14, "播放记录", 15, theme::kText);
    return head;
}

Canvas DrawClearSprite() {
    Canvas sprite = Strip(63, 45, ListHeadRow);
    InFrame(sprite, 0, 21, [](Canvas& frame) { TrashIcon(frame, 10.5, 22, kIdleGlyph); });
    InFrame(sprite, 21, 21, [](Canvas& frame) {
        frame.FillShape(RoundedBox(1, 11, 20, 33, 4), Rgb(0x3C3C41));
        TrashIcon(frame, 10.5, 22, theme::kText);
    });
    InFrame(sprite, 42, 21, [](Canvas& frame) {
        frame.FillShape(RoundedBox(1, 11, 20, 33, 4), Rgb(0x151517));
        TrashIcon(frame, 10.5, 23, theme::kAccent);
    });
    return sprite;
}

Color SplitterColumn(int x) {
    static constexpr std::uint32_t kColumns[10] = {0x161618, 0x1C1C1F, 0x222225, 0x252528, 0x262629,
                                                   0x262629, 0x252528, 0x222225, 0x1C1C1F, 0x161618};
    return Rgb(kColumns[x]);
}

Canvas DrawSplitterBackground() {
    Canvas strip(10, 148);
    for (int x = 0; x < 10; ++x) strip.Fill(x, 0, 1, 148, SplitterColumn(x));
    return strip;
}

Canvas DrawSplitterToggle(bool pointsRight) {
    Canvas sprite(20, 128);
    for (int frame = 0; frame < 2; ++frame)
        for (int x = 0; x < 10; ++x) sprite.Fill(frame * 10 + x, 0, 1, 128, SplitterColumn(x));
    for (int frame = 0; frame < 2; ++frame)
        InFrame(sprite, frame * 10, 10, [&](Canvas& layer) {
            const Color face = frame == 0 ? Rgb(0x35353A) : Rgb(0x4A4036);
            const Color arrow = frame == 0 ? kIdleGlyph : theme::kAccent;
            layer.FillShape(RoundedBox(1, 34, 9, 94, 3), face);
            for (double y : {58.0, 70.0}) {
                const double tipX = pointsRight ? 6.5 : 3.5, tailX = pointsRight ? 3.5 : 6.5;
                layer.DrawLine(tailX, y - 3.5, tipX, y, 1.3, arrow);
                layer.DrawLine(tipX, y, tailX, y + 3.5, 1.3, arrow);
            }
        });
    return sprite;
}

Canvas DrawListToggle(bool listShown, const TextPainter& text) {
    Canvas button = Strip(60, 43, BottomBarRow);
    const Color color = listShown ? theme::kAccent : kIdleGlyph;
    if (listShown) button.FillShape(RoundedBox(4, 8, 56, 35, 5), Rgb(0x33302C));
    ListIcon(button, 19, 21.5, color);
    text.Draw(button, 30, 14, "列表", 13, listShown ? theme::kText : kIdleGlyph);
    return button;
}

}  // namespace

Color HeaderBackground(int y) {
    if (y == 0) return Rgb(0x3A3A40);
    return Mix(Rgb(0x2B2B30), Rgb(0x1B1B1E), (y - 1) / 98.0);
}

void DrawMainWindowArtwork(Artwork& artwork, const TextPainter& text) {
    auto skin = [&](const char* file, Canvas picture) { artwork.skins.push_back({file, std::move(picture)}); };
    skin("biaotilan.jpg", DrawHeaderBackground());
    skin("Z.jpg", DrawHeaderCap(true));
    skin("Y.jpg", DrawHeaderCap(false));
    skin("Close.jpg", CaptionSprite(CloseGlyph, true));
    skin("max-1.jpg", CaptionSprite(MaximizeGlyph, false));
    skin("min.jpg", CaptionSprite(MinimizeGlyph, false));
    skin("hp.jpg", CaptionSprite(MenuGlyph, false));
    skin("max-2.jpg", CaptionSprite(RestoreGlyph, false));
    skin("bf.jpg", TabSprite(PlayIcon, "播放", text));
    skin("pk.jpg", TabSprite(LibraryIcon, "片库", text));
    skin("lbl.jpg", DrawDragStrip());
    skin("logo.jpg", DrawLogo(text));
    skin("jp.jpg", TabSprite(StarIcon, "精品", text));
    skin("zb.jpg", TabSprite(LiveIcon, "直播", text));

    auto design = [&](const char* name, FileFormat format, Canvas picture, std::string sameAs = {}) {
        artwork.designs.push_back({Program::Player, name, format, std::move(picture), std::move(sameAs)});
    };
    // Pictures that were GIFs in the window's design are PNG files here (stb writes no GIF).
    design("Form1.tupian", FileFormat::Jpeg, DrawTickerEnd(text));
    design("Form1.Image19", FileFormat::Jpeg, Strip(5800, 43, TickerRow));
    design("Form1.Image16", FileFormat::Png, DrawClearSprite());
    Canvas clearButton = Strip(60, 45, ListHeadRow);
    clearButton.Paste(DrawClearSprite(), 0, 0, 21, 45, 0, 0);
    design("Form1.Picture7", FileFormat::Png, std::move(clearButton));
    design("Form1.Image15", FileFormat::Jpeg, DrawListHead(text));
    design("Form1.Image12", FileFormat::Jpeg, DrawSplitterToggle(true));
    design("Form1.Image13", FileFormat::Jpeg, DrawSplitterToggle(false));
    design("Form1.Image11", FileFormat::Jpeg, DrawSplitterBackground());
    design("Form1.Image14", FileFormat::Jpeg, Strip(5800, 43, BottomBarRow));
    design("Form1.Picture9", FileFormat::Jpeg, {}, "Form1.Image14");
    design("Form1.hy", FileFormat::Jpeg, DrawHeaderBadge(text));
    design("Form1.Image20", FileFormat::Png, DrawListToggle(true, text));
    design("Form1.Image18", FileFormat::Png, DrawListToggle(false, text));
    design("Form1.Picture8", FileFormat::Png, {}, "Form1.Image20");
}

}  // namespace zem::artwork
