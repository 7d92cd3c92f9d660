// Every picture the programs embed or ship, drawn in code so it can be made again.
// Bitmap resources are found by id, design pictures by "<window>.<control>", skin
// pictures are the JPEG files of the data folder's "skin" folder.
#pragma once

#include "resources/canvas.h"
#include "resources/text_painter.h"

#include <string>
#include <vector>

namespace zem::artwork {

enum class Program { Player, Updater };
enum class FileFormat { Bmp24, Jpeg, Png };

struct BitmapResource {
    Program program;
    int id;
    Canvas picture;
};

struct DesignPicture {
    Program program;
    std::string name;     // "<window>.<control>"
    FileFormat format;    // the window's GIF pictures are kept as PNG: stb writes no GIF
    Canvas picture;
    std::string sameAs;   // when not empty: the picture of that design picture, embedded once
};

// An icon file kept with a window's design: the form's own icon ("Form1.Icon"),
// or a control's custom pointer ("Form1.Picture4.MouseIcon").
struct DesignIcon {
    Program program;
    std::string name;
    std::vector<Canvas> images;  // square, largest first
};

struct SkinPicture {
    std::string fileName;  // inside "zemskin/skin/"
    Canvas picture;
};

struct Artwork {
    std::vector<BitmapResource> bitmaps;
    std::vector<DesignPicture> designs;
    std::vector<DesignIcon> icons;
    std::vector<SkinPicture> skins;
    std::vector<Canvas> iconImages;  // 64, 48, 32, 24 and 16 pixels square
};

// The theme shared by every picture.
namespace theme {
inline constexpr Color kWindow = FromColorRef(0x1F1F1F);  // the main window's background
inline constexpr Color kText = FromColorRef(0xFFFFFF);
inline constexpr Color kAccent = FromColorRef(0x0096FF);  // the play list's orange bullet
inline constexpr Color kAccentDeep = Rgb(0xD96A00);
inline constexpr Color kMagentaKey = FromColorRef(0xFF00FF);
inline constexpr Color kGlyph = Rgb(0xC8C8C8);
}  // namespace theme

// The header's vertical gradient at row y (0 to 99): every header sprite is drawn on
// it, so sprites blend into the background wherever they are copied.
Color HeaderBackground(int y);

Artwork DrawArtwork(const TextPainter& text);

// Parts of DrawArtwork, one per group of windows.
void DrawControlArtwork(Artwork& artwork);
void DrawMainWindowArtwork(Artwork& artwork, const TextPainter& text);
void DrawSecondaryWindowArtwork(Artwork& artwork, const TextPainter& text);
void DrawUpdaterArtwork(Artwork& artwork, const TextPainter& text);
void DrawIconArtwork(Artwork& artwork);  // the icon file, the windows' design icons and the custom pointer

// Shared shapes.
void DrawEmblem(Canvas& canvas, double centerX, double centerY, double radius);  // the round play emblem
void DrawPlayTriangle(Canvas& canvas, double centerX, double centerY, double size, Color color);

// A picture of every piece of artwork with a preview of the main window's header.
Canvas DrawContactSheet(const Artwork& artwork, const TextPainter& text);

}  // namespace zem::artwork
