// Draws every picture of the programs and writes them out:
//   <out>/zemskin/skin/*.jpg and <out>/zemskin/icon.ico   the data folder's pictures
//   <out>/embedded_zemplayer.cpp, <out>/embedded_update.cpp the programs' embedded resources
//   <out>/artwork.png                                      a contact sheet of all of it
// Usage: zem_draw_artwork <out> <font file>
#include "resources/artwork_catalog.h"
#include "resources/embedded_source.h"
#include "resources/image_codecs.h"
#include "resources/text_painter.h"

#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

bool WriteFile(const std::filesystem::path& path, const void* data, std::size_t size) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!file) std::cerr << "zem_draw_artwork: cannot write " << path << '\n';
    return static_cast<bool>(file);
}
bool WriteFile(const std::filesystem::path& path, const zem::artwork::FileBytes& bytes) {
    return WriteFile(path, bytes.data(), bytes.size());
}
bool WriteFile(const std::filesystem::path& path, const std::string& text) {
    return WriteFile(path, text.data(), text.size());
}

}  // namespace

int main(int argc, char** argv) {
    using namespace zem::artwork;
    if (argc != 3) {
        std::cerr << "usage: zem_draw_artwork <output folder> <font file>\n";
        return 2;
    }
    const std::filesystem::path out = argv[1];
    const TextPainter text(argv[2]);
    if (!text.HasFont()) {
        std::cerr << "zem_draw_artwork: cannot read the font " << argv[2] << '\n';
        return 1;
    }
    std::error_code error;
    std::filesystem::create_directories(out / "zemskin" / "skin", error);
    if (error) {
        std::cerr << "zem_draw_artwork: cannot make " << out << ": " << error.message() << '\n';
        return 1;
    }
    const Artwork artwork = DrawArtwork(text);
    bool written = true;
    for (const SkinPicture& skin : artwork.skins)
        written &= WriteFile(out / "zemskin" / "skin" / skin.fileName, EncodeJpeg(skin.picture));
    written &= WriteFile(out / "zemskin" / "icon.ico", EncodeIcon(artwork.iconImages));
    written &= WriteFile(out / "embedded_zemplayer.cpp", EmbeddedSource(artwork, Program::Player));
    written &= WriteFile(out / "embedded_update.cpp", EmbeddedSource(artwork, Program::Updater));
    written &= WriteFile(out / "artwork.png", EncodePng(DrawContactSheet(artwork, text)));
    return written ? 0 : 1;
}
