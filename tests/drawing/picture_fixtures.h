// Small picture files built byte by byte: hostile ones that claim far more
// pixels than they hold or break a decoder's tables, and the helpers to build
// them (also used by the icon tests and kept as fuzzing seeds' twins).
#pragma once

#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

namespace picture_fixtures {

using Bytes = std::vector<unsigned char>;

inline void Append(Bytes& out, std::initializer_list<unsigned> values) {
    for (unsigned value : values) out.push_back(static_cast<unsigned char>(value));
}
inline void Put16Big(Bytes& out, unsigned value) { Append(out, {value >> 8, value & 0xFF}); }
inline void Put32Big(Bytes& out, std::uint32_t value) {
    Put16Big(out, value >> 16);
    Put16Big(out, value & 0xFFFF);
}
inline void Put16Little(Bytes& out, unsigned value) { Append(out, {value & 0xFF, value >> 8 & 0xFF}); }
inline void Put32Little(Bytes& out, std::uint32_t value) {
    Put16Little(out, value & 0xFFFF);
    Put16Little(out, value >> 16);
}

inline std::uint32_t Crc32(const unsigned char* data, std::size_t size) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

// A PNG signature and a valid IHDR chunk (8-bit RGBA) for width x height,
// then a cut-off IDAT: a decoder learns the size before it finds the data missing.
inline Bytes PngHeaderOnly(std::uint32_t width, std::uint32_t height) {
    Bytes out;
    Append(out, {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A});
    Bytes chunk;
    Append(chunk, {'I', 'H', 'D', 'R'});
    Put32Big(chunk, width);
    Put32Big(chunk, height);
    Append(chunk, {8, 6, 0, 0, 0});
    Put32Big(out, 13);
    out.insert(out.end(), chunk.begin(), chunk.end());
    Put32Big(out, Crc32(chunk.data(), chunk.size()));
    Put32Big(out, 100);
    Append(out, {'I', 'D', 'A', 'T', 0x78, 0x9C});
    return out;
}

// A baseline greyscale JPEG frame of width x height with a quantisation
// table, optionally minimal Huffman tables, one scan and a few bytes of data.
inline Bytes JpegHeader(unsigned width, unsigned height, bool withHuffmanTables) {
    Bytes out;
    Append(out, {0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x43, 0x00});
    out.insert(out.end(), 64, 1);
    Append(out, {0xFF, 0xC0, 0x00, 0x0B, 0x08});
    Put16Big(out, height);
    Put16Big(out, width);
    Append(out, {0x01, 0x01, 0x11, 0x00});
    if (withHuffmanTables) {
        // DC table 0 and AC table 0: one code of one bit each, for the symbol 0.
        for (unsigned tableClass : {0x00u, 0x10u}) {
            Append(out, {0xFF, 0xC4, 0x00, 0x14, tableClass, 1});
            out.insert(out.end(), 15, 0);
            out.push_back(0);
        }
    }
    Append(out, {0xFF, 0xDA, 0x00, 0x08, 0x01, 0x01, 0x00, 0x00, 0x3F, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xD9});
    return out;
}

// A JPEG whose Huffman table claims 257 codes, one more than a table holds.
inline Bytes JpegWith257HuffmanCodes() {
    Bytes out;
    Append(out, {0xFF, 0xD8, 0xFF, 0xC4});
    Put16Big(out, 2 + 1 + 16 + 257);
    out.push_back(0x00);
    for (int length = 1; length <= 16; ++length) out.push_back(length == 8 ? 255 : length == 9 ? 2 : 0);
    for (int i = 0; i < 257; ++i) out.push_back(static_cast<unsigned char>(i));
    Append(out, {0xFF, 0xD9});
    return out;
}

// 35 bytes of GIF with a screen and a frame of width x height.
inline Bytes GifHeader(unsigned width, unsigned height) {
    Bytes out;
    Append(out, {'G', 'I', 'F', '8', '9', 'a'});
    Put16Little(out, width);
    Put16Little(out, height);
    Append(out, {0x00, 0x00, 0x00, 0x2C, 0, 0, 0, 0});
    Put16Little(out, width);
    Put16Little(out, height);
    Append(out, {0x80, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3B});
    return out;
}

// A BMP file header and a 40-byte info header, then `pixelBytes` bytes of rows.
inline Bytes BmpHeader(std::int32_t width, std::int32_t height, unsigned bits, std::uint32_t pixelBytes,
                       std::uint32_t compression = 0, std::uint32_t paletteEntries = 0) {
    Bytes out;
    const std::uint32_t pixelsAt = 54 + paletteEntries * 4 + (compression == 3 ? 12 : 0);
    Append(out, {'B', 'M'});
    Put32Little(out, pixelsAt + pixelBytes);
    Put32Little(out, 0);
    Put32Little(out, pixelsAt);
    Put32Little(out, 40);
    Put32Little(out, static_cast<std::uint32_t>(width));
    Put32Little(out, static_cast<std::uint32_t>(height));
    Put16Little(out, 1);
    Put16Little(out, bits);
    Put32Little(out, compression);
    Put32Little(out, pixelBytes);
    Put32Little(out, 0);
    Put32Little(out, 0);
    Put32Little(out, paletteEntries);
    Put32Little(out, 0);
    return out;
}

// The most memory the process has ever mapped, in bytes: a decoder that took
// gigabytes for a few bytes of file shows here even when it failed after.
inline std::uint64_t PeakMappedBytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmPeak:", 0) == 0) return std::stoull(line.substr(7)) * 1024;
    return 0;
}

}  // namespace picture_fixtures
