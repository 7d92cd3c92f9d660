#include "resources/artwork_catalog.h"

#include <algorithm>
#include <string>

namespace zem::artwork {

Artwork DrawArtwork(const TextPainter& text) {
    Artwork artwork;
    DrawControlArtwork(artwork);
    DrawMainWindowArtwork(artwork, text);
    DrawSecondaryWindowArtwork(artwork, text);
    DrawUpdaterArtwork(artwork, text);
    DrawIconArtwork(artwork);
    return artwork;
}

namespace {

const Canvas& SkinNamed(const Artwork& artwork, const std::string& file) {
    for (const SkinPicture& skin : artwork.skins)
        if (skin.fileName == file) return skin.picture;
    static const Canvas kNone;
    return kNone;
}

const Canvas& DesignNamed(const Artwork& artwork, const std::string& name) {
    for (const DesignPicture& design : artwork.designs)
        if (design.name == name && design.program == Program::Player) return design.picture;
    static const Canvas kNone;
    return kNone;
}

const Canvas& BitmapOf(const Artwork& artwork, Program program, int id) {
    for (const BitmapResource& bitmap : artwork.bitmaps)
        if (bitmap.id == id && bitmap.program == program) return bitmap.picture;
    static const Canvas kNone;
    return kNone;
}

Canvas Scaled(const Canvas& picture, int factor) {
    Canvas scaled(picture.Width() * factor, picture.Height() * factor);
    for (int y = 0; y < scaled.Height(); ++y)
        for (int x = 0; x < scaled.Width(); ++x) scaled.Set(x, y, picture.At(x / factor, y / factor));
    return scaled;
}

// Copies with a colour key, as the play list draws its glyphs.
void PasteKeyed(Canvas& target, const Canvas& source, int sourceX, int sourceY, int width, int height, int x, int y) {
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column) {
            const Color pixel = source.At(sourceX + column, sourceY + row);
            if (pixel != theme::kMagentaKey) target.Set(x + column, y + row, pixel);
        }
}

// The main window as the program composes it: header, play list panel, bottom bar.
Canvas DrawMainWindowPreview(const Artwork& artwork, const TextPainter& text) {
    const int width = 1067, height = 420;
    Canvas window(width, height, theme::kWindow);
    window.Paste(SkinNamed(artwork, "biaotilan.jpg"), 0, 0, width, 100, 0, 0);
    const char* buttons[4] = {"Close.jpg", "max-1.jpg", "min.jpg", "hp.jpg"};
    for (int i = 0; i < 4; ++i)
        window.Paste(SkinNamed(artwork, buttons[i]), i == 2 ? 30 : 0, 0, 30, 80, width - 30 * (i + 1), 20);
    window.Paste(SkinNamed(artwork, "logo.jpg"), 0, 0, 390, 80, 6, 20);
    const char* tabs[4] = {"bf.jpg", "pk.jpg", "zb.jpg", "jp.jpg"};
    const int frames[4] = {214, 0, 214, 0};  // player view selected, tab 2 under the pointer
    for (int i = 0; i < 4; ++i) window.Paste(SkinNamed(artwork, tabs[i]), frames[i], 0, 107, 80, 400 + 100 * i, 20);
    window.Paste(DesignNamed(artwork, "Form1.hy"), width - 145, 60);
    const Color line = FromColorRef(0xC0E0FF);
    window.Fill(1, 100, width - 2, 1, line);
    window.Fill(1, 100, 1, height - 101, line);
    window.Fill(width - 2, 100, 1, height - 101, line);
    window.Fill(1, height - 2, width - 2, 1, line);

    // The player panel at (2, 101).
    const int panelX = 2, panelY = 101, panelWidth = width - 4, panelHeight = height - 103;
    const int listX = panelX + panelWidth - 250, splitterX = panelX + panelWidth - 260;
    window.Fill(panelX, panelY, splitterX - panelX, panelHeight - 43, Rgb(0x0E0E10));
    DrawPlayTriangle(window, (panelX + splitterX) / 2.0, panelY + 120, 40, Rgb(0x2A2A2E));
    const Canvas& splitter = DesignNamed(artwork, "Form1.Image11");
    for (int y = 0; y < panelHeight - 43; ++y) window.Paste(splitter, 0, y % 148, 10, 1, splitterX, panelY + y);
    window.Paste(DesignNamed(artwork, "Form1.Image12"), 10, 0, 10, 128, splitterX, panelY + (panelHeight - 43) / 2 - 64);
    window.Fill(listX, panelY, 250, panelHeight - 43, FromColorRef(0x404040));
    window.Paste(DesignNamed(artwork, "Form1.Image15"), 0, 0, 250, 50, listX, panelY);
    window.Paste(DesignNamed(artwork, "Form1.Image16"), 21, 0, 21, 45, listX + 229, panelY);

    const Canvas& glyphs = BitmapOf(artwork, Program::Player, 101);
    const Canvas& rows = BitmapOf(artwork, Program::Player, 102);
    const Canvas& strip = BitmapOf(artwork, Program::Player, 103);
    const int listTop = panelY + 45, drawWidth = 250 - 17;
    auto rowLook = [&](int y, int sourceY) {
        window.Paste(rows, 0, sourceY, 60, 28, listX, y);
        for (int x = 60; x < drawWidth - 60; ++x) window.Paste(rows, 60 + (x - 60) * 48 / (drawWidth - 120), sourceY, 1, 28, listX + x, y);
        window.Paste(rows, 108, sourceY, 60, 28, listX + drawWidth - 60, y);
    };
    struct Row { bool group; const char* text; int look; bool open = false; };  // look: 0 none, 1 hover, 2 selected
    const Row list[] = {{true, "热门电影", 1}, {true, "经典剧集", 0, true}, {false, "第01集", 0}, {false, "第02集", 2},
                        {false, "第03集", 1}, {false, "第04集", 0}, {true, "动画专辑", 0}};
    int y = listTop;
    for (const Row& row : list) {
        if (row.look) rowLook(y, row.look == 1 ? 0 : 28);
        if (row.group) {
            PasteKeyed(window, glyphs, row.open ? 12 : 0, 0, 12, 12, listX + 15, y + 8);
            if (row.look == 1) PasteKeyed(window, glyphs, 30, 5, 8, 7, listX + drawWidth - 20, y + 8);
            text.Draw(window, listX + 32, y + 6, row.text, 14, theme::kText);
        } else {
            if (row.look == 2) PasteKeyed(window, glyphs, 24, 5, 4, 7, listX + 15, y + 10);
            text.Draw(window, listX + 40, y + 6, row.text, 13, row.look == 2 ? theme::kAccent : theme::kText);
        }
        y += 28;
    }
    // The scroll bar along the list's right edge: arrows, a track and a thumb.
    const int barX = listX + 250 - 17, barHeight = panelHeight - 43 - 45;
    window.Paste(strip, 0, 0, 16, 16, barX, listTop);
    for (int row = 16; row < barHeight - 16; ++row) window.Paste(strip, 0, 48, 16, 1, barX, listTop + row);
    const int thumbTop = listTop + 30, thumbHeight = 60;
    window.Paste(strip, 0, 62, 16, 4, barX, thumbTop);
    for (int row = 4; row < thumbHeight - 4; ++row) window.Paste(strip, 0, 66, 16, 1, barX, thumbTop + row);
    window.Paste(strip, 0, 68, 16, 4, barX, thumbTop + thumbHeight - 4);
    window.Paste(strip, 0, 82, 16, 16, barX, listTop + barHeight - 16);

    // The bottom bar.
    const int barY = panelY + panelHeight - 43;
    window.Paste(DesignNamed(artwork, "Form1.Image14"), 0, 0, panelWidth, 43, panelX, barY);
    window.Paste(SkinNamed(artwork, "lbl.jpg"), panelX + (panelWidth - 455) / 2, barY);
    window.Paste(DesignNamed(artwork, "Form1.Image20"), panelX + panelWidth - 65, barY);
    text.Draw(window, panelX + 20, barY + 12, "当前版本号：1.2", 14, theme::kText);
    return window;
}

}  // namespace

Canvas DrawContactSheet(const Artwork& artwork, const TextPainter& text) {
    struct Item { std::string caption; const Canvas* picture; };
    std::vector<Item> items;
    for (const BitmapResource& bitmap : artwork.bitmaps)
        items.push_back({std::string(bitmap.program == Program::Player ? "zemplayer " : "update ") + std::to_string(bitmap.id),
                         &bitmap.picture});
    for (const SkinPicture& skin : artwork.skins) items.push_back({"skin/" + skin.fileName, &skin.picture});
    for (const DesignPicture& design : artwork.designs)
        if (design.sameAs.empty())
            items.push_back({std::string(design.program == Program::Updater ? "update " : "") + design.name, &design.picture});
    for (const Canvas& icon : artwork.iconImages) items.push_back({"icon " + std::to_string(icon.Width()), &icon});
    for (const DesignIcon& icon : artwork.icons)
        if (icon.name != "Form1.Icon") items.push_back({icon.name, &icon.images.front()});

    const int sheetWidth = 1200, margin = 16, maxWidth = sheetWidth - 2 * margin;
    const Color paper = Rgb(0x74747C);
    std::vector<std::pair<Canvas, std::string>> tiles;
    for (const Item& item : items) {
        const Canvas& picture = *item.picture;
        const int factor = picture.Width() <= 40 && picture.Height() <= 140 ? 3 : picture.Width() <= 110 ? 2 : 1;
        Canvas tile = Scaled(picture.Crop(0, 0, std::min(picture.Width(), maxWidth / factor), picture.Height()), factor);
        Canvas backed(tile.Width(), tile.Height(), Rgb(0x9C9CA4));
        backed.Compose(tile, 0, 0);  // icons show their transparency on a lighter backing
        tiles.push_back({std::move(backed), item.caption});
    }
    const Canvas preview = DrawMainWindowPreview(artwork, text);

    // Lay the tiles out in rows, then paint.
    struct Placed { int x, y; };
    std::vector<Placed> places;
    int x = margin, y = margin + preview.Height() + 40, rowHeight = 0;
    for (const auto& [tile, caption] : tiles) {
        const int tileWidth = std::max(tile.Width(), static_cast<int>(text.Measure(caption, 12)));
        if (x + tileWidth > sheetWidth - margin) {
            x = margin;
            y += rowHeight + 12;
            rowHeight = 0;
        }
        places.push_back({x, y});
        x += tileWidth + 16;
        rowHeight = std::max(rowHeight, tile.Height() + 18);
    }
    Canvas sheet(sheetWidth, y + rowHeight + margin, paper);
    text.Draw(sheet, margin, 10, "main window, composed", 13, theme::kText);
    sheet.Paste(preview, (sheetWidth - preview.Width()) / 2, margin + 16);
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        text.Draw(sheet, places[i].x, places[i].y, tiles[i].second, 12, theme::kText);
        sheet.Paste(tiles[i].first, places[i].x, places[i].y + 16);
    }
    return sheet;
}

}  // namespace zem::artwork
