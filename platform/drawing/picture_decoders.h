// Decoders of the picture files the programs read: JPEG (libjpeg-turbo), PNG
// (libpng), GIF (giflib) and BMP (our own). A file is recognised by its first
// bytes only, never by its name. Every decoder reads the picture's size first
// and refuses one over the limits before it takes any pixel memory, so a few
// hostile bytes cannot make it allocate gigabytes. Every failure throws
// PictureError.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace zem::platform {

// A picture that cannot be made: the file is missing, unreadable or not an image.
class PictureError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class PictureFormat { Jpeg, Png, Gif, Bmp, Ico };

// The format the bytes start with, or nothing for any other file.
std::optional<PictureFormat> SniffPictureFormat(std::span<const unsigned char> bytes);

// The largest picture a decoder accepts. 16384 pixels on a side and 64
// megapixels (2^26: 256 MiB of 32-bit pixels) hold every picture a skin or a
// page can use with room to spare, and bound what one file can cost.
struct PictureLimits {
    int largestSide = 16384;
    std::uint64_t largestArea = std::uint64_t{1} << 26;
};

// Throws PictureError unless width x height is a picture within the limits.
void CheckPictureSize(std::int64_t width, std::int64_t height, const PictureLimits& limits);

// Straight (not premultiplied) 0xAARRGGBB words, rows top to bottom.
struct DecodedPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    // True when some pixel is not fully opaque.
    bool HasTransparency() const;
};

DecodedPicture DecodeJpeg(std::span<const unsigned char> bytes, const PictureLimits& limits = {});
DecodedPicture DecodePng(std::span<const unsigned char> bytes, const PictureLimits& limits = {});
// The first frame of the file, on its logical screen (transparent around the frame).
DecodedPicture DecodeGif(std::span<const unsigned char> bytes, const PictureLimits& limits = {});
DecodedPicture DecodeBmp(std::span<const unsigned char> bytes, const PictureLimits& limits = {});

// A JPEG, PNG, GIF or BMP file by its first bytes (an ICO file is the icon
// loader's; it is refused here like any other file).
DecodedPicture DecodePicture(std::span<const unsigned char> bytes, const PictureLimits& limits = {});

}  // namespace zem::platform
