// Icons: the first icon of an ICO file (BMP or PNG images) as an HICON whose
// 32-bit pixels the drawing layer can paint.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/base/win32_types.h"

// The icon of an ICO file at `path` (index 0; a file holds one icon in its
// sizes), or null when the file is missing, unreadable or no valid ICO file.
// The path is the file system's own (UTF-8), taken as it is, as every file
// call takes it.
HICON ExtractIconA(HINSTANCE instance, const char* path, UINT index);
BOOL DestroyIcon(HICON icon);

namespace zem::platform {

// Straight (not premultiplied) 0xAARRGGBB, rows top to bottom.
struct IconImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// The image of the ICO file best suited to the platform's standard 32 x 32 icon:
// the size closest to it (larger preferred at equal distance), then the
// greatest colour depth. Nothing for malformed data.
std::optional<IconImage> DecodeIconFile(std::span<const unsigned char> file);

HICON CreateIconFromImage(IconImage image);
// The pixels of a live icon, or null.
const IconImage* IconFromHandle(HICON icon);

}  // namespace zem::platform
