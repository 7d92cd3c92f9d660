#include "platform/drawing/png_writer.h"

#include <stb_image_write.h>

#include <vector>

namespace zem::platform {

bool WritePng(const Bitmap& bitmap, const std::string& path) {
    if (bitmap.Empty()) return false;
    std::vector<unsigned char> rgb(static_cast<std::size_t>(bitmap.Width()) * bitmap.Height() * 3);
    std::size_t i = 0;
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (const Pixel* pixel = bitmap.Row(y); pixel != bitmap.Row(y) + bitmap.Width(); ++pixel) {
            rgb[i++] = static_cast<unsigned char>(*pixel >> 16);
            rgb[i++] = static_cast<unsigned char>(*pixel >> 8);
            rgb[i++] = static_cast<unsigned char>(*pixel);
        }
    }
    return stbi_write_png(path.c_str(), bitmap.Width(), bitmap.Height(), 3, rgb.data(), bitmap.Width() * 3) != 0;
}

}  // namespace zem::platform
