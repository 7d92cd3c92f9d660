// File images of the artwork: 24-bit BMP, JPEG and PNG through stb's writer, and
// our own ICO writer (32-bit BMP entries with an AND mask).
#pragma once

#include "resources/canvas.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace zem::artwork {

using FileBytes = std::vector<unsigned char>;

FileBytes EncodeBmp24(const Canvas& canvas);
FileBytes EncodeJpeg(const Canvas& canvas, int quality = 95);
FileBytes EncodePng(const Canvas& canvas);  // RGBA
// Icon file with one entry per image, each a square 32-bit bottom-up DIB whose
// header gives twice the height, followed by the 1-bit AND mask (set where alpha is 0).
FileBytes EncodeIcon(const std::vector<Canvas>& images);

// Reads a BMP, JPEG or PNG file image back; nothing when it is not one.
std::optional<Canvas> DecodeImage(const unsigned char* data, std::size_t size);

}  // namespace zem::artwork
