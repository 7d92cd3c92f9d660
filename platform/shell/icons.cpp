#include "platform/shell/icons.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <tuple>

#include "platform/drawing/picture_decoders.h"

namespace zem::platform {
namespace {

constexpr int kLargestSide = 1024;

std::uint32_t Read32(std::span<const unsigned char> data, std::size_t at) {
    return static_cast<std::uint32_t>(data[at]) | (static_cast<std::uint32_t>(data[at + 1]) << 8) |
           (static_cast<std::uint32_t>(data[at + 2]) << 16) | (static_cast<std::uint32_t>(data[at + 3]) << 24);
}
std::uint16_t Read16(std::span<const unsigned char> data, std::size_t at) {
    return static_cast<std::uint16_t>(data[at] | (data[at + 1] << 8));
}

// An embedded PNG image, read by the pictures' PNG decoder with an icon's limits.
std::optional<IconImage> DecodeEmbeddedPng(std::span<const unsigned char> data) {
    try {
        DecodedPicture decoded = zem::platform::DecodePng(data, {kLargestSide, kLargestSide * kLargestSide});
        return IconImage{decoded.width, decoded.height, std::move(decoded.pixels)};
    } catch (const PictureError&) {
        return std::nullopt;
    }
}

// A device-independent bitmap of an icon: the header, a palette for up to 8
// bits per pixel, the colour rows and the 1-bit transparency mask, rows bottom up.
std::optional<IconImage> DecodeDib(std::span<const unsigned char> data) {
    if (data.size() < 40) return std::nullopt;
    const std::uint32_t headerSize = Read32(data, 0);
    const auto width = static_cast<std::int32_t>(Read32(data, 4));
    const auto doubledHeight = static_cast<std::int32_t>(Read32(data, 8));
    const std::uint16_t bits = Read16(data, 14);
    const std::uint32_t compression = Read32(data, 16);
    const std::uint32_t used = Read32(data, 32);
    if (headerSize < 40 || headerSize > data.size() || compression != 0) return std::nullopt;
    const int height = doubledHeight / 2;
    if (width <= 0 || height <= 0 || width > kLargestSide || height > kLargestSide) return std::nullopt;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return std::nullopt;
    const std::size_t paletteCount = bits <= 8 ? (used != 0 && used <= (1u << bits) ? used : (1u << bits)) : 0;
    const std::size_t paletteAt = headerSize;
    const std::size_t colourAt = paletteAt + paletteCount * 4;
    const std::size_t colourStride = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
    const std::size_t maskStride = ((static_cast<std::size_t>(width) + 31) / 32) * 4;
    const std::size_t maskAt = colourAt + colourStride * static_cast<std::size_t>(height);
    if (maskAt > data.size()) return std::nullopt;
    // Some 32-bit icons leave out the mask; they carry their alpha themselves.
    const bool hasMask = maskAt + maskStride * static_cast<std::size_t>(height) <= data.size();

    IconImage image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    bool anyAlpha = false;
    for (int row = 0; row < height; ++row) {
        const std::size_t source = colourAt + colourStride * static_cast<std::size_t>(height - 1 - row);
        for (int x = 0; x < width; ++x) {
            std::uint32_t argb = 0;
            if (bits == 32 || bits == 24) {
                const std::size_t at = source + static_cast<std::size_t>(x) * (bits / 8);
                const std::uint32_t alpha = bits == 32 ? data[at + 3] : 0;
                anyAlpha = anyAlpha || alpha != 0;
                argb = (alpha << 24) | (static_cast<std::uint32_t>(data[at + 2]) << 16) |
                       (static_cast<std::uint32_t>(data[at + 1]) << 8) | data[at];
            } else {
                const std::size_t bitIndex = static_cast<std::size_t>(x) * bits;
                const unsigned char byte = data[source + bitIndex / 8];
                const unsigned shift = static_cast<unsigned>(8 - bits - (bitIndex % 8));
                const std::size_t entry = (byte >> shift) & ((1u << bits) - 1);
                if (entry < paletteCount) {
                    const std::size_t at = paletteAt + entry * 4;
                    argb = (static_cast<std::uint32_t>(data[at + 2]) << 16) |
                           (static_cast<std::uint32_t>(data[at + 1]) << 8) | data[at];
                }
            }
            image.pixels[static_cast<std::size_t>(row) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] = argb;
        }
    }
    // Without alpha of its own, a pixel is opaque where the mask bit is clear.
    if (!anyAlpha) {
        for (int row = 0; row < height; ++row) {
            const std::size_t source = maskAt + maskStride * static_cast<std::size_t>(height - 1 - row);
            for (int x = 0; x < width; ++x) {
                const bool transparent =
                    hasMask && ((data[source + static_cast<std::size_t>(x) / 8] >> (7 - x % 8)) & 1) != 0;
                std::uint32_t& pixel =
                    image.pixels[static_cast<std::size_t>(row) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
                pixel = transparent ? 0 : (pixel | 0xFF000000u);
            }
        }
    }
    return image;
}

class IconTable {
public:
    static IconTable& Get() {
        static IconTable table;
        return table;
    }
    std::map<std::uintptr_t, IconImage> icons;
    // Icon handles carry their own tag and fit the tray record's 4-byte field.
    std::uintptr_t next = 0x49000000;
};

}  // namespace

std::optional<IconImage> DecodeIconFile(std::span<const unsigned char> file) {
    if (file.size() < 6 || Read16(file, 0) != 0 || Read16(file, 2) != 1) return std::nullopt;
    const std::size_t count = Read16(file, 4);
    if (count == 0 || 6 + count * 16 > file.size()) return std::nullopt;
    std::optional<std::size_t> best;
    auto score = [&](std::size_t index) {
        const std::size_t at = 6 + index * 16;
        const int side = file[at] == 0 ? 256 : file[at];
        const int distance = std::abs(side - 32);
        return std::tuple(-distance, side, static_cast<int>(Read16(file, at + 6)));
    };
    for (std::size_t index = 0; index < count; ++index)
        if (!best || score(index) > score(*best)) best = index;
    const std::size_t at = 6 + *best * 16;
    const std::uint32_t size = Read32(file, at + 8);
    const std::uint32_t offset = Read32(file, at + 12);
    if (offset > file.size() || size > file.size() - offset || size < 8) return std::nullopt;
    const std::span<const unsigned char> image = file.subspan(offset, size);
    static constexpr unsigned char kPng[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (std::memcmp(image.data(), kPng, sizeof kPng) == 0) return DecodeEmbeddedPng(image);
    return DecodeDib(image);
}

HICON CreateIconFromImage(IconImage image) {
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height))
        return nullptr;
    IconTable& table = IconTable::Get();
    const std::uintptr_t handle = ++table.next;
    table.icons.emplace(handle, std::move(image));
    return reinterpret_cast<HICON>(handle);
}

const IconImage* IconFromHandle(HICON icon) {
    IconTable& table = IconTable::Get();
    auto found = table.icons.find(reinterpret_cast<std::uintptr_t>(icon));
    return found == table.icons.end() ? nullptr : &found->second;
}

}  // namespace zem::platform

HICON ExtractIconA(HINSTANCE, const char* path, UINT index) {
    if (path == nullptr || index != 0) return nullptr;
    std::ifstream stream(path, std::ios::binary);
    if (!stream) return nullptr;
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
    auto image = zem::platform::DecodeIconFile(bytes);
    return image ? zem::platform::CreateIconFromImage(std::move(*image)) : nullptr;
}

BOOL DestroyIcon(HICON icon) {
    return zem::platform::IconTable::Get().icons.erase(reinterpret_cast<std::uintptr_t>(icon)) > 0 ? TRUE : FALSE;
}
