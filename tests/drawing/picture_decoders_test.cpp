#include "picture_fixtures.h"
#include "platform/drawing/picture.h"
#include "platform/drawing/picture_decoders.h"

#include <gif_lib.h>
#include <jpeglib.h>
#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using namespace picture_fixtures;
using zem::platform::DecodePicture;
using zem::platform::PictureError;
using zem::platform::PictureFormat;

struct Case {
    const char* name;
    Bytes bytes;
};

TEST(PictureDecoders, HostileFilesAreRefusedBeforeTheyCostTheirClaimedMemory) {
    Bytes bmp = BmpHeader(28000, 28000, 32, 22);
    bmp.resize(76, 0);
    Bytes bmpArea = BmpHeader(16000, 16000, 32, 22);
    bmpArea.resize(76, 0);
    const Case hostile[] = {
        {"16-bit PNM", {'P', '5', '\n', '1', ' ', '1', '\n', '6', '5', '5', '3', '5', '\n', 0xFF, 0xFF, 0, 0, 0, 0, 0}},
        {"JPEG with a 257-code Huffman table", JpegWith257HuffmanCodes()},
        {"JPEG without Huffman tables", JpegHeader(8, 8, false)},
        {"JPEG of 65535 x 16384", JpegHeader(65535, 16384, true)},
        {"JPEG of 9000 x 9000", JpegHeader(9000, 9000, true)},
        {"GIF of 65535 x 5000", GifHeader(65535, 5000)},
        {"GIF of 9000 x 9000", GifHeader(9000, 9000)},
        {"BMP of 28000 x 28000", bmp},
        {"BMP of 16000 x 16000", bmpArea},
        {"PNG of 32768 x 16384", PngHeaderOnly(32768, 16384)},
        {"PNG of 9000 x 9000", PngHeaderOnly(9000, 9000)},
    };
    // Twins of the hostile files with sound sizes and tables decode: each
    // refusal above comes from the fault it names, not from a broken fixture.
    EXPECT_EQ(DecodePicture(JpegHeader(8, 8, true)).pixels.at(63), 0xFF808080u);
    EXPECT_EQ(DecodePicture(GifHeader(1, 1)).pixels.at(0), 0xFFFF0000u);
    Bytes small = BmpHeader(1, 1, 24, 4);
    Append(small, {0x30, 0x20, 0x10, 0});
    EXPECT_EQ(DecodePicture(small).pixels.at(0), 0xFF102030u);

    const std::uint64_t peakBefore = PeakMappedBytes();
    for (const Case& file : hostile) {
        EXPECT_THROW(zem::platform::LoadPictureFromMemory(file.bytes.data(), file.bytes.size(), file.name),
                     PictureError)
            << file.name;
    }
    EXPECT_LT(PeakMappedBytes() - peakBefore, std::uint64_t{64} << 20) << "a refused picture took its pixels' memory";
}

TEST(PictureDecoders, SizeLimitsHoldAtTheirEdges) {
    struct Size {
        std::int64_t width, height;
        bool accepted;
    };
    const Size sizes[] = {{16384, 1, true}, {1, 16384, true}, {16385, 1, false}, {1, 16385, false},
                          {8192, 8192, true}, {8192, 8193, false}, {0, 5, false}, {5, -1, false}};
    for (const Size& size : sizes) {
        if (size.accepted) EXPECT_NO_THROW(zem::platform::CheckPictureSize(size.width, size.height, {}));
        else EXPECT_THROW(zem::platform::CheckPictureSize(size.width, size.height, {}), PictureError);
    }
    // Each decoder asks before it decodes: a 4 x 4 picture under a 3-pixel side limit is refused.
    const unsigned char rgb[4 * 4 * 3] = {};
    Bytes png;
    stbi_write_png_to_func(
        [](void* context, void* data, int size) {
            auto* out = static_cast<Bytes*>(context);
            out->insert(out->end(), static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + size);
        },
        &png, 4, 4, 3, rgb, 12);
    Bytes bmp = BmpHeader(4, 4, 24, 48);
    bmp.resize(bmp.size() + 48, 0);
    for (const Bytes& file : {png, bmp, GifHeader(4, 4), JpegHeader(4, 4, true)}) {
        EXPECT_THROW(DecodePicture(file, {3, 1000}), PictureError);
        EXPECT_THROW(DecodePicture(file, {100, 15}), PictureError);
    }
    EXPECT_EQ(DecodePicture(png, {4, 16}).width, 4);
}

TEST(PictureDecoders, OnlyTheFiveFormatsAreKnownAndByTheirFirstBytes) {
    struct Sniff {
        Bytes bytes;
        std::optional<PictureFormat> format;
    };
    const Sniff cases[] = {
        {{0xFF, 0xD8, 0xFF, 0xE0}, PictureFormat::Jpeg},
        {{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}, PictureFormat::Png},
        {{'G', 'I', 'F', '8', '7', 'a'}, PictureFormat::Gif},
        {{'G', 'I', 'F', '8', '9', 'a'}, PictureFormat::Gif},
        {{'B', 'M'}, PictureFormat::Bmp},
        {{0, 0, 1, 0}, PictureFormat::Ico},
        {{0, 0, 2, 0}, std::nullopt},  // a cursor file
        {{0x89, 'P', 'N', 'G'}, std::nullopt},
        {{'G', 'I', 'F', '8', '8', 'a'}, std::nullopt},
        {{'P', '6', '\n'}, std::nullopt},
        {{'8', 'B', 'P', 'S'}, std::nullopt},
        {{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0}, std::nullopt},  // a TGA header
        {{}, std::nullopt},
    };
    for (const Sniff& sniff : cases) EXPECT_EQ(zem::platform::SniffPictureFormat(sniff.bytes), sniff.format);
    // An icon is the icon loader's; from memory it is no picture.
    const Bytes icon = {0, 0, 1, 0, 1, 0};
    EXPECT_THROW(DecodePicture(icon), PictureError);

    // The content decides, not the name.
    const auto folder = std::filesystem::temp_directory_path() / ("zem-sniff-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    Bytes bmp = BmpHeader(1, 1, 24, 4);
    Append(bmp, {0x30, 0x20, 0x10, 0});
    const std::string path = (folder / "really-a-bmp.png").string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bmp.data()), std::streamsize(bmp.size()));
    EXPECT_EQ(zem::platform::LoadPicture(path)->Pixels().At(0, 0), 0x102030u);
    std::filesystem::remove_all(folder);
}

// Rows of a BMP, bottom-up, padded to four bytes.
Bytes BmpFile(std::int32_t width, std::int32_t height, unsigned bits, std::vector<unsigned> palette, Bytes rows,
              std::uint32_t compression = 0, std::vector<std::uint32_t> masks = {}) {
    Bytes out = BmpHeader(width, height, bits, static_cast<std::uint32_t>(rows.size()), compression,
                          static_cast<std::uint32_t>(palette.size()));
    for (std::uint32_t mask : masks) Put32Little(out, mask);
    for (unsigned colour : palette) Put32Little(out, colour);
    out.insert(out.end(), rows.begin(), rows.end());
    return out;
}

TEST(PictureDecoders, BmpFilesOfEveryDepthDecodeTheirPixels) {
    struct Variant {
        const char* name;
        Bytes file;
        std::vector<std::uint32_t> pixels;  // top-down
    };
    const Variant variants[] = {
        {"1 bit", BmpFile(3, 1, 1, {0x000000, 0xFF8000}, {0b10100000, 0, 0, 0}), {0xFFFF8000, 0xFF000000, 0xFFFF8000}},
        {"4 bits", BmpFile(2, 2, 4, {0x0000FF, 0x00FF00, 0xFF0000}, {0x20, 0, 0, 0, 0x01, 0, 0, 0}),
         {0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFF0000FF}},
        {"8 bits, top-down", BmpFile(2, -2, 8, {0x111111, 0x222222}, {0, 1, 0, 0, 1, 0, 0, 0}),
         {0xFF111111, 0xFF222222, 0xFF222222, 0xFF111111}},
        {"16 bits, 5-5-5", BmpFile(1, 1, 16, {}, {0x1F, 0x7C, 0, 0}), {0xFFFF00FF}},
        {"16 bits, 5-6-5 masks", BmpFile(1, 1, 16, {}, {0xE0, 0x07, 0, 0}, 3, {0xF800, 0x07E0, 0x001F}),
         {0xFF00FF00}},
        {"24 bits", BmpFile(1, 2, 24, {}, {1, 2, 3, 0, 4, 5, 6, 0}), {0xFF060504, 0xFF030201}},
        {"32 bits with alpha", BmpFile(2, 1, 32, {}, {1, 2, 3, 0x80, 4, 5, 6, 0}), {0x80030201, 0x00060504}},
        {"32 bits, fourth byte unused", BmpFile(1, 1, 32, {}, {1, 2, 3, 0}), {0xFF030201}},
    };
    for (const Variant& variant : variants) {
        try {
            const auto picture = zem::platform::DecodeBmp(variant.file);
            EXPECT_EQ(picture.pixels, variant.pixels) << variant.name;
        } catch (const PictureError& error) {
            ADD_FAILURE() << variant.name << ": " << error.what();
        }
    }
    const Variant broken[] = {
        {"rows cut short", BmpFile(4, 4, 24, {}, Bytes(47, 0)), {}},
        {"palette beyond its bits", BmpFile(1, 1, 1, {0, 0, 0}, {0, 0, 0, 0}), {}},
        {"run-length compressed", BmpFile(1, 1, 8, {0}, {1, 0, 0, 1}, 1), {}},
        {"12 bits per pixel", BmpFile(1, 1, 12, {}, {0, 0, 0, 0}), {}},
        {"header larger than the file", Bytes{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 0xFF, 0xFF, 0, 0}, {}},
    };
    for (const Variant& variant : broken) EXPECT_THROW(zem::platform::DecodeBmp(variant.file), PictureError) << variant.name;
}

int AppendGif(GifFileType* file, const GifByteType* data, int size) {
    auto* out = static_cast<Bytes*>(file->UserData);
    out->insert(out->end(), data, data + size);
    return size;
}

// A 4 x 5 screen whose first frame (2 x 4 at 1, 1; interlaced) has rows of
// colour 1, 2, 3 and 0, colour 0 transparent; a second frame follows.
Bytes InterlacedGif() {
    Bytes out;
    int error = 0;
    GifFileType* file = EGifOpen(&out, AppendGif, &error);
    GifColorType colours[4] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    ColorMapObject* map = GifMakeMapObject(4, colours);
    EGifSetGifVersion(file, true);
    EGifPutScreenDesc(file, 4, 5, 2, 0, map);
    const GifByteType control[4] = {0x01, 0, 0, 0};
    EGifPutExtension(file, GRAPHICS_EXT_FUNC_CODE, 4, control);
    EGifPutImageDesc(file, 1, 1, 2, 4, true, nullptr);
    // Interlaced rows go in the order 0, 2, 1, 3.
    for (GifPixelType colour : {1, 3, 2, 0}) {
        GifPixelType line[2] = {colour, colour};
        EGifPutLine(file, line, 2);
    }
    EGifPutImageDesc(file, 0, 0, 4, 5, false, nullptr);
    for (int row = 0; row < 5; ++row) {
        GifPixelType line[4] = {2, 2, 2, 2};
        EGifPutLine(file, line, 4);
    }
    EGifCloseFile(file, &error);
    GifFreeMapObject(map);
    return out;
}

TEST(PictureDecoders, GifFirstFrameLandsOnItsScreenInterlacedAndTransparent) {
    const auto picture = DecodePicture(InterlacedGif());
    ASSERT_EQ(picture.width, 4);
    ASSERT_EQ(picture.height, 5);
    auto at = [&](int x, int y) { return picture.pixels[static_cast<std::size_t>(y * 4 + x)]; };
    EXPECT_EQ(at(0, 0), 0u) << "around the frame the screen is clear";
    EXPECT_EQ(at(1, 1), 0xFFFF0000u);
    EXPECT_EQ(at(2, 2), 0xFF00FF00u);
    EXPECT_EQ(at(1, 3), 0xFF0000FFu);
    EXPECT_EQ(at(1, 4), 0u) << "colour 0 is transparent";
    EXPECT_EQ(at(3, 1), 0u);

    Bytes cut = InterlacedGif();
    cut.resize(cut.size() / 2);
    EXPECT_THROW(DecodePicture(cut), PictureError);
    const Bytes noPicture = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, 0x3B};
    EXPECT_THROW(DecodePicture(noPicture), PictureError);
}

TEST(PictureDecoders, JpegKeepsItsColoursAndBrokenOnesFail) {
    // Four blocks of flat colour survive quality 100 within a small error.
    std::vector<unsigned char> rgb(16 * 16 * 3);
    const unsigned char colours[4][3] = {{250, 10, 10}, {10, 250, 10}, {10, 10, 250}, {200, 200, 40}};
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            for (int c = 0; c < 3; ++c) rgb[static_cast<std::size_t>((y * 16 + x) * 3 + c)] = colours[(y / 8) * 2 + x / 8][c];
    Bytes jpeg;
    stbi_write_jpg_to_func(
        [](void* context, void* data, int size) {
            auto* out = static_cast<Bytes*>(context);
            out->insert(out->end(), static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + size);
        },
        &jpeg, 16, 16, 3, rgb.data(), 100);
    const auto picture = DecodePicture(jpeg);
    ASSERT_EQ(picture.width, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const std::uint32_t pixel = picture.pixels[static_cast<std::size_t>(y * 16 + x)];
            EXPECT_EQ(pixel >> 24, 0xFFu);
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(static_cast<int>((pixel >> (16 - 8 * c)) & 0xFF), colours[(y / 8) * 2 + x / 8][c], 6)
                    << x << "," << y;
        }
    Bytes cut(jpeg.begin(), jpeg.begin() + 40);
    EXPECT_THROW(DecodePicture(cut), PictureError);
}

// An 8 x 8 CMYK JPEG as print programs write it (values stored inverted,
// 255 meaning no ink): the left half magenta at full value, the right half grey.
Bytes CmykJpeg() {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = 8;
    info.image_height = 8;
    info.input_components = 4;
    info.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_start_compress(&info, TRUE);
    unsigned char row[8 * 4];
    for (int x = 0; x < 8; ++x) {
        const unsigned char magenta[4] = {255, 0, 255, 255}, grey[4] = {255, 255, 255, 128};
        std::copy_n(x < 4 ? magenta : grey, 4, row + x * 4);
    }
    JSAMPROW rows[1] = {row};
    for (int y = 0; y < 8; ++y) jpeg_write_scanlines(&info, rows, 1);
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

TEST(PictureDecoders, CmykJpegTurnsIntoItsColours) {
    const auto picture = DecodePicture(CmykJpeg());
    ASSERT_EQ(picture.width, 8);
    auto near = [](std::uint32_t pixel, std::uint32_t expected) {
        for (int shift : {0, 8, 16, 24})
            if (std::abs(static_cast<int>((pixel >> shift) & 0xFF) - static_cast<int>((expected >> shift) & 0xFF)) > 4)
                return false;
        return true;
    };
    EXPECT_PRED2(near, picture.pixels[8 * 3 + 1], 0xFFFF00FFu);
    EXPECT_PRED2(near, picture.pixels[8 * 3 + 6], 0xFF808080u);
}

}  // namespace
