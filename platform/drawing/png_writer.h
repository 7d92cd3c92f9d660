// PNG files of bitmaps: snapshots of windows and of the screen.
#pragma once

#include "platform/drawing/bitmap.h"

#include <string>

namespace zem::platform {

// Writes the bitmap as an opaque 24-bit PNG; false when the file cannot be written.
bool WritePng(const Bitmap& bitmap, const std::string& path);

}  // namespace zem::platform
