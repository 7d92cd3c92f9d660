// The player's secondary windows: the server-unreachable window, the guest-book
// window's title bar, the settings and about windows.
#include "resources/artwork_catalog.h"

#include <algorithm>
#include <cmath>

namespace zem::artwork {
namespace {

constexpr Color kBand = Rgb(0xEAE5F8);  // the settings and about windows' pale lavender band
constexpr Color kBody = Rgb(0xFAF9FC);  // and their off-white body (the switch's sprite sits on it)
constexpr int kBandHeight = 46;

Canvas LavenderWindow() {
    Canvas window(390, 270, kBody);
    window.VerticalGradient(0, 0, 390, kBandHeight, Lighter(kBand, 0.3), kBand);
    window.Fill(0, kBandHeight, 390, 1, Rgb(0xD9D1F0));
    return window;
}

// A purple quarter disc in the bottom-right corner with a word on it (118 x 64).
Canvas QuarterDiscButton(const char* word, bool hover, const TextPainter& text) {
    Canvas button(118, 64, kBody);
    const Color purple = hover ? Rgb(0x9D78EE) : Rgb(0x7B4FDC);
    button.FillShape(Ellipse(118, 63, 108, 60), [&](int x, int y) { return Mix(Lighter(purple, 0.12), purple, (x + y) / 160.0); });
    text.Draw(button, 62, 30, word, 17, theme::kText);
    return button;
}

// A violet cross on the band (38 x 26).
Canvas BandCloseButton(bool hover) {
    Canvas button(38, 26);
    button.FillRows(0, 0, 38, 26, [](int row) { return Mix(Lighter(kBand, 0.3), kBand, (row + 8) / 45.0); });
    const Color violet = hover ? Rgb(0x7B4FDC) : Rgb(0xB9A6EC);
    if (hover) button.FillShape(RoundedBox(7, 1, 31, 25, 5), Rgb(0xDCD2F6));
    button.DrawLine(13.5, 7.5, 24.5, 18.5, 2, violet);
    button.DrawLine(13.5, 18.5, 24.5, 7.5, 2, violet);
    return button;
}

Canvas DrawSettingsBackground() {
    Canvas window = LavenderWindow();
    // Each switch row (switches at x 88, y 64 + 32 k) gets a violet dot and a hairline under it.
    for (int row = 0; row < 5; ++row) {
        const int top = 64 + 32 * row;
        window.FillShape(Circle(60, top + 9.5, 3), Rgb(0xC9B8F2));
        if (row < 4) window.Fill(40, top + 26, 224, 1, Rgb(0xEEEAF6));
    }
    return window;
}

Canvas DrawAboutPicture(const TextPainter& text) {
    Canvas window = LavenderWindow();
    window.FillShape(Circle(74, 124, 50), Rgb(0xEFEAFB));
    DrawEmblem(window, 74, 122, 40);
    text.Draw(window, 144, 66, "zemplayer", 22, Rgb(0x4B3A8C));
    text.Draw(window, 144, 98, "高清影视，随点随播。", 13, Rgb(0x6E6A7C));
    text.Draw(window, 144, 120, "最新版本与使用帮助请访问：", 13, Rgb(0x6E6A7C));
    window.Fill(144, 150, 200, 1, Rgb(0xE4DEF4));
    return window;
}

Canvas DrawUnreachableBackground(const TextPainter& text) {
    Canvas window(400, 170, Rgb(0xF6F7FA));
    window.VerticalGradient(0, 0, 400, 40, Rgb(0x4277D8), Rgb(0x2F5CB8));
    text.Draw(window, 16, 11, "网络连接", 15, theme::kText);
    // A signal whose arcs are broken by a red badge with an exclamation mark.
    const double cx = 200, cy = 80;
    const Color grey = Rgb(0xA6AEBF);
    for (double radius : {11.0, 21.0, 31.0})
        window.FillShape([=](double x, double y) {
            const double angle = std::atan2(y - cy, x - cx);
            const double outside = std::abs(angle + 1.5708) - 0.75;  // a 86-degree fan upwards
            return std::max(Ring(cx, cy, radius, 2.0)(x, y), outside * radius);
        }, grey);
    window.FillShape(Circle(cx, cy, 3.5), grey);
    window.FillShape(Circle(cx + 22, cy - 6, 10), Rgb(0xE0483E));
    window.Fill(static_cast<int>(cx + 21), static_cast<int>(cy - 12), 2, 8, theme::kText);
    window.Fill(static_cast<int>(cx + 21), static_cast<int>(cy - 2), 2, 2, theme::kText);
    return window;
}

Color TitleRow(int y) { return y >= 41 ? FromColorRef(0x1F1F1F) : Mix(Rgb(0x2D2D31), Rgb(0x202023), y / 40.0); }

Canvas DrawGuestBookTile() {
    Canvas tile(1000, 41);
    tile.FillRows(0, 0, 1000, 41, TitleRow);
    return tile;
}

Canvas DrawGuestBookCap() {
    Canvas cap(8, 42);
    cap.FillRows(0, 0, 8, 42, TitleRow);
    cap.Fill(0, 0, 1, 41, Rgb(0x3A3A40));
    cap.FillShape(RoundedBox(3, 12, 6, 29, 1.5), theme::kAccent);  // an accent mark before the caption
    return cap;
}

Canvas DrawGuestBookClose() {
    Canvas sprite(96, 41);
    sprite.FillRows(0, 0, 96, 41, TitleRow);
    const Color crosses[3] = {Rgb(0x9A9AA0), theme::kAccent, theme::kAccentDeep};
    for (int frame = 0; frame < 3; ++frame) {
        Canvas layer(32, 41, Color{0, 0, 0, 0});
        if (frame > 0) layer.FillShape(RoundedBox(4, 8, 28, 33, 4), frame == 1 ? Rgb(0x3A3026) : Rgb(0x17171A));
        layer.DrawLine(11, 15, 21, 25, 1.8, crosses[frame]);
        layer.DrawLine(11, 25, 21, 15, 1.8, crosses[frame]);
        sprite.Compose(layer, 32 * frame, 0);
    }
    return sprite;
}

}  // namespace

void DrawSecondaryWindowArtwork(Artwork& artwork, const TextPainter& text) {
    auto design = [&](const char* name, FileFormat format, Canvas picture, std::string sameAs = {}) {
        artwork.designs.push_back({Program::Player, name, format, std::move(picture), std::move(sameAs)});
    };
    design("Form3.Image1", FileFormat::Jpeg, DrawUnreachableBackground(text));

    design("yijian.Image1", FileFormat::Bmp24, DrawGuestBookTile());
    design("yijian.Image2", FileFormat::Bmp24, DrawGuestBookCap());
    design("yijian.Image4", FileFormat::Bmp24, DrawGuestBookClose());

    // The settings window's background was a GIF: PNG here.
    design("shezhitip.Image1", FileFormat::Png, DrawSettingsBackground());
    design("shezhitip.Image3", FileFormat::Png, QuarterDiscButton("保存", false, text));
    design("shezhitip.Image4", FileFormat::Png, QuarterDiscButton("保存", true, text));
    design("shezhitip.Image2", FileFormat::Png, {}, "shezhitip.Image3");
    design("shezhitip.Image6", FileFormat::Png, BandCloseButton(false));
    design("shezhitip.Image7", FileFormat::Png, BandCloseButton(true));
    design("shezhitip.Image5", FileFormat::Png, {}, "shezhitip.Image6");

    design("shezhigy.Image1", FileFormat::Jpeg, DrawAboutPicture(text));
    design("shezhigy.Image3", FileFormat::Png, QuarterDiscButton("确定", false, text));
    design("shezhigy.Image4", FileFormat::Png, QuarterDiscButton("确定", true, text));
    design("shezhigy.Image2", FileFormat::Png, {}, "shezhigy.Image3");
    design("shezhigy.Image6", FileFormat::Png, BandCloseButton(false));
    design("shezhigy.Image7", FileFormat::Png, BandCloseButton(true));
    design("shezhigy.Image5", FileFormat::Png, {}, "shezhigy.Image6");
}

}  // namespace zem::artwork
