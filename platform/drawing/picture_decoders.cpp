#include "platform/drawing/picture_decoders.h"

#include <algorithm>
#include <cstring>

namespace zem::platform {

std::optional<PictureFormat> SniffPictureFormat(std::span<const unsigned char> bytes) {
    auto startsWith = [&](std::initializer_list<unsigned char> magic) {
        return bytes.size() >= magic.size() && std::equal(magic.begin(), magic.end(), bytes.begin());
    };
    if (startsWith({0xFF, 0xD8, 0xFF})) return PictureFormat::Jpeg;
    if (startsWith({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A})) return PictureFormat::Png;
    if (startsWith({'G', 'I', 'F', '8', '7', 'a'}) || startsWith({'G', 'I', 'F', '8', '9', 'a'}))
        return PictureFormat::Gif;
    if (startsWith({'B', 'M'})) return PictureFormat::Bmp;
    if (startsWith({0x00, 0x00, 0x01, 0x00})) return PictureFormat::Ico;
    return std::nullopt;
}

void CheckPictureSize(std::int64_t width, std::int64_t height, const PictureLimits& limits) {
    if (width <= 0 || height <= 0) throw PictureError("the picture has no pixels");
    if (width > limits.largestSide || height > limits.largestSide ||
        static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > limits.largestArea)
        throw PictureError("the picture is too large: " + std::to_string(width) + " x " + std::to_string(height));
}

bool DecodedPicture::HasTransparency() const {
    return std::any_of(pixels.begin(), pixels.end(), [](std::uint32_t pixel) { return (pixel >> 24) != 0xFF; });
}

DecodedPicture DecodePicture(std::span<const unsigned char> bytes, const PictureLimits& limits) {
    switch (SniffPictureFormat(bytes).value_or(PictureFormat::Ico)) {
    case PictureFormat::Jpeg: return DecodeJpeg(bytes, limits);
    case PictureFormat::Png: return DecodePng(bytes, limits);
    case PictureFormat::Gif: return DecodeGif(bytes, limits);
    case PictureFormat::Bmp: return DecodeBmp(bytes, limits);
    case PictureFormat::Ico: break;
    }
    throw PictureError("not a JPEG, PNG, GIF or BMP file");
}

}  // namespace zem::platform
