// PNG through libpng's simplified reader, which keeps its errors to itself
// (no longjmp reaches our frames) and converts every colour type and depth.
#include "platform/drawing/picture_decoders.h"

#include <png.h>

#include <bit>

namespace zem::platform {

static_assert(std::endian::native == std::endian::little, "BGRA bytes are 0xAARRGGBB words");

DecodedPicture DecodePng(std::span<const unsigned char> bytes, const PictureLimits& limits) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()))
        throw PictureError(std::string("not a PNG picture (") + image.message + ")");
    try {
        CheckPictureSize(image.width, image.height, limits);
    } catch (...) {
        png_image_free(&image);
        throw;
    }
    image.format = PNG_FORMAT_BGRA;
    DecodedPicture picture;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
    if (!png_image_finish_read(&image, nullptr, picture.pixels.data(), 0, nullptr))
        throw PictureError(std::string("broken PNG picture (") + image.message + ")");
    return picture;
}

}  // namespace zem::platform
