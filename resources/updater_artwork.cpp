// The updater window's pictures: background, close and minimize glyphs, upgrade button.
#include "resources/artwork_catalog.h"

namespace zem::artwork {
namespace {

constexpr int kBannerHeight = 262;
constexpr Color kBody = Rgb(0xF7F7F9);

Color BannerRow(int y) { return y == 0 ? Rgb(0x3A3A40) : Mix(Rgb(0x2E2E33), Rgb(0x1C1C1F), y / double(kBannerHeight)); }

Canvas DrawBackground(const TextPainter& text) {
    Canvas window(550, 402, kBody);
    window.FillRows(0, 0, 550, kBannerHeight, BannerRow);
    window.Fill(0, kBannerHeight, 550, 2, theme::kAccent);
    window.FillShape(Circle(275, 112, 74), Color{255, 150, 0, 18});
    DrawEmblem(window, 275, 112, 56);
    text.DrawCentered(window, 275, 190, "在线升级", 24, theme::kText);
    text.DrawCentered(window, 275, 224, "更快 · 更稳 · 更清晰", 13, Rgb(0x8C8C92));
    window.Fill(120, 340, 297, 1, Rgb(0xEBEBEF));
    return window;
}

// 8 x 8 glyphs on the banner's rows 8 to 15.
Canvas DrawGlyph(bool close, bool hover) {
    Canvas glyph(8, 8);
    glyph.FillRows(0, 0, 8, 8, [](int row) { return BannerRow(row + 8); });
    const Color color = hover ? theme::kAccent : Rgb(0xB4B4BA);
    if (close) {
        glyph.DrawLine(0.8, 0.8, 7.2, 7.2, 1.4, color);
        glyph.DrawLine(0.8, 7.2, 7.2, 0.8, 1.4, color);
    } else {
        glyph.Fill(0, 5, 8, 2, color);
    }
    return glyph;
}

Canvas DrawUpgradeButton(bool hover, const TextPainter& text) {
    Canvas button(100, 32, kBody);
    const Color top = hover ? Rgb(0xFFB13D) : theme::kAccent, bottom = hover ? Rgb(0xF08A10) : theme::kAccentDeep;
    button.FillShape(RoundedBox(0.5, 0.5, 99.5, 31.5, 6), [&](int, int y) { return Mix(top, bottom, y / 31.0); });
    text.DrawCentered(button, 50, 7, "立即升级", 16, theme::kText);
    return button;
}

}  // namespace

void DrawUpdaterArtwork(Artwork& artwork, const TextPainter& text) {
    auto design = [&](const char* name, Canvas picture, std::string sameAs = {}) {
        // The window's pictures were GIFs: PNG here (stb writes no GIF).
        artwork.designs.push_back({Program::Updater, name, FileFormat::Png, std::move(picture), std::move(sameAs)});
    };
    design("Form1.Image1", DrawBackground(text));
    design("Form1.Image3", DrawGlyph(true, false));
    design("Form1.Image4", DrawGlyph(true, true));
    design("Form1.Image2", {}, "Form1.Image3");
    design("Form1.Image6", DrawGlyph(false, false));
    design("Form1.Image7", DrawGlyph(false, true));
    design("Form1.Image5", {}, "Form1.Image6");
    design("Form1.Image9", DrawUpgradeButton(false, text));
    design("Form1.Image10", DrawUpgradeButton(true, text));
    design("Form1.Image8", {}, "Form1.Image9");
}

}  // namespace zem::artwork
