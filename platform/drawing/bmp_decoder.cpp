// BMP files: uncompressed 1, 4, 8, 16, 24 and 32 bits per pixel, with colour
// masks or without, rows bottom-up or top-down. Every offset and size is
// checked against the file before it is read. Run-length compressed files are
// refused: no picture of the programs uses them, and a decoder of our own
// stays small enough to read whole.
#include "platform/drawing/picture_decoders.h"

#include <array>
#include <bit>

namespace zem::platform {
namespace {

constexpr std::uint32_t kUncompressed = 0;
constexpr std::uint32_t kBitFields = 3;
constexpr std::uint32_t kAlphaBitFields = 6;

class Reader {
public:
    explicit Reader(std::span<const unsigned char> bytes) : bytes_(bytes) {}
    bool Holds(std::uint64_t at, std::uint64_t count) const {
        return at <= bytes_.size() && count <= bytes_.size() - at;
    }
    std::uint32_t Read32(std::uint64_t at) const {
        Need(at, 4);
        return std::uint32_t{bytes_[at]} | (std::uint32_t{bytes_[at + 1]} << 8) |
               (std::uint32_t{bytes_[at + 2]} << 16) | (std::uint32_t{bytes_[at + 3]} << 24);
    }
    std::uint16_t Read16(std::uint64_t at) const {
        Need(at, 2);
        return static_cast<std::uint16_t>(bytes_[at] | (bytes_[at + 1] << 8));
    }
    const unsigned char* At(std::uint64_t at) const { return bytes_.data() + at; }
    void Need(std::uint64_t at, std::uint64_t count) const {
        if (!Holds(at, count)) throw PictureError("the BMP file is cut short");
    }

private:
    std::span<const unsigned char> bytes_;
};

// One channel's mask: where it sits and how to widen it to eight bits.
class Channel {
public:
    explicit Channel(std::uint32_t mask) : mask_(mask) {
        if (mask == 0) return;
        shift_ = std::countr_zero(mask);
        bits_ = std::popcount(mask >> shift_);
        if (bits_ > 8) {
            shift_ += bits_ - 8;
            bits_ = 8;
        }
        largest_ = (1u << bits_) - 1;
    }
    bool Present() const { return mask_ != 0; }
    std::uint32_t Of(std::uint32_t word) const {
        if (mask_ == 0) return 0;
        return (((word & mask_) >> shift_) & largest_) * 255 / largest_;
    }

private:
    std::uint32_t mask_ = 0;
    int shift_ = 0;
    int bits_ = 0;
    std::uint32_t largest_ = 1;
};

struct Header {
    std::int64_t width = 0;
    std::int64_t height = 0;  // negative: rows top-down
    unsigned bits = 0;
    std::uint32_t compression = kUncompressed;
    std::uint32_t coloursUsed = 0;
    std::array<std::uint32_t, 4> masks{};  // red, green, blue, alpha
    std::uint64_t paletteAt = 0;
    unsigned paletteEntrySize = 4;
};

Header ReadHeader(const Reader& file) {
    Header header;
    const std::uint32_t size = file.Read32(14);
    file.Need(14, size);
    if (size == 12) {  // the oldest header: 16-bit sizes, 3-byte palette entries
        header.width = file.Read16(18);
        header.height = static_cast<std::int16_t>(file.Read16(20));
        header.bits = file.Read16(24);
        header.paletteEntrySize = 3;
    } else if (size == 40 || size == 52 || size == 56 || size == 108 || size == 124) {
        header.width = static_cast<std::int32_t>(file.Read32(18));
        header.height = static_cast<std::int32_t>(file.Read32(22));
        header.bits = file.Read16(28);
        header.compression = file.Read32(30);
        header.coloursUsed = file.Read32(46);
    } else {
        throw PictureError("unknown BMP header of " + std::to_string(size) + " bytes");
    }
    header.paletteAt = 14 + std::uint64_t{size};
    if (header.compression == kBitFields || header.compression == kAlphaBitFields) {
        // A 40-byte header has its masks after it, where others hold them inside.
        const unsigned count = header.compression == kAlphaBitFields || size >= 56 ? 4 : 3;
        for (unsigned i = 0; i < count; ++i) header.masks[i] = file.Read32(54 + 4 * i);
        if (size == 40) header.paletteAt += 4 * count;
    } else if (header.compression != kUncompressed) {
        throw PictureError("compressed BMP files are not read");
    }
    if (header.bits == 16 && header.compression == kUncompressed) header.masks = {0x7C00, 0x03E0, 0x001F, 0};
    if (header.bits == 32 && header.compression == kUncompressed)
        header.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    return header;
}

}  // namespace

DecodedPicture DecodeBmp(std::span<const unsigned char> bytes, const PictureLimits& limits) {
    const Reader file(bytes);
    if (file.Read16(0) != 0x4D42) throw PictureError("not a BMP file");
    const std::uint32_t pixelsAt = file.Read32(10);
    const Header header = ReadHeader(file);
    const std::int64_t rows = header.height < 0 ? -header.height : header.height;
    CheckPictureSize(header.width, rows, limits);
    const unsigned bits = header.bits;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        throw PictureError("BMP files of " + std::to_string(bits) + " bits per pixel are not read");
    if ((header.compression != kUncompressed) && bits != 16 && bits != 32)
        throw PictureError("colour masks of a BMP file need 16 or 32 bits per pixel");

    std::vector<std::uint32_t> palette;
    if (bits <= 8) {
        const std::uint32_t largest = 1u << bits;
        const std::uint32_t count = header.coloursUsed == 0 ? largest : header.coloursUsed;
        if (count > largest) throw PictureError("the BMP palette is larger than its pixels can address");
        file.Need(header.paletteAt, std::uint64_t{count} * header.paletteEntrySize);
        for (std::uint32_t i = 0; i < count; ++i) {
            const unsigned char* entry = file.At(header.paletteAt + std::uint64_t{i} * header.paletteEntrySize);
            palette.push_back(0xFF000000u | (std::uint32_t{entry[2]} << 16) | (std::uint32_t{entry[1]} << 8) |
                              entry[0]);
        }
    }
    const std::uint64_t stride = (static_cast<std::uint64_t>(header.width) * bits + 31) / 32 * 4;
    file.Need(pixelsAt, stride * static_cast<std::uint64_t>(rows));

    const Channel red(header.masks[0]), green(header.masks[1]), blue(header.masks[2]), alpha(header.masks[3]);
    DecodedPicture picture;
    picture.width = static_cast<int>(header.width);
    picture.height = static_cast<int>(rows);
    picture.pixels.resize(static_cast<std::size_t>(header.width * rows));
    bool anyAlpha = false;
    for (std::int64_t row = 0; row < rows; ++row) {
        const std::int64_t stored = header.height < 0 ? row : rows - 1 - row;
        const unsigned char* source = file.At(pixelsAt + static_cast<std::uint64_t>(stored) * stride);
        std::uint32_t* out = picture.pixels.data() + static_cast<std::size_t>(row * header.width);
        for (std::int64_t x = 0; x < header.width; ++x) {
            if (bits <= 8) {
                const std::uint64_t bit = static_cast<std::uint64_t>(x) * bits;
                const unsigned index = (source[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
                out[x] = index < palette.size() ? palette[index] : 0xFF000000u;
            } else if (bits == 24) {
                const unsigned char* p = source + x * 3;
                out[x] = 0xFF000000u | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
            } else {
                const unsigned char* p = source + x * (bits / 8);
                const std::uint32_t word = bits == 16 ? std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8)
                                                      : std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) |
                                                            (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
                const std::uint32_t a = alpha.Present() ? alpha.Of(word) : 0xFF;
                anyAlpha = anyAlpha || (alpha.Present() && a != 0);
                out[x] = (a << 24) | (red.Of(word) << 16) | (green.Of(word) << 8) | blue.Of(word);
            }
        }
    }
    // Most writers leave the fourth byte of 32-bit pixels zero: such a file is opaque.
    if (alpha.Present() && !anyAlpha)
        for (std::uint32_t& pixel : picture.pixels) pixel |= 0xFF000000u;
    return picture;
}

}  // namespace zem::platform
