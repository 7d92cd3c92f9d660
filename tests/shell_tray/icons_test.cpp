#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

#include <gtest/gtest.h>
#include <stb_image_write.h>

#include "platform/drawing/picture.h"
#include "tests/drawing/picture_fixtures.h"
#include "platform/shell/icon_pictures.h"
#include "platform/shell/icons.h"

using zem::platform::DecodeIconFile;

namespace {

void Put16(std::vector<unsigned char>& out, unsigned value) {
    out.push_back(static_cast<unsigned char>(value));
    out.push_back(static_cast<unsigned char>(value >> 8));
}
void Put32(std::vector<unsigned char>& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

struct Entry {
    int side;
    int bits;
    std::vector<unsigned char> image;
};

std::vector<unsigned char> IcoFile(const std::vector<Entry>& entries) {
    std::vector<unsigned char> out;
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, static_cast<unsigned>(entries.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * entries.size());
    for (const Entry& entry : entries) {
        out.push_back(static_cast<unsigned char>(entry.side == 256 ? 0 : entry.side));
        out.push_back(static_cast<unsigned char>(entry.side == 256 ? 0 : entry.side));
        out.push_back(0);
        out.push_back(0);
        Put16(out, 1);
        Put16(out, static_cast<unsigned>(entry.bits));
        Put32(out, static_cast<std::uint32_t>(entry.image.size()));
        Put32(out, offset);
        offset += static_cast<std::uint32_t>(entry.image.size());
    }
    for (const Entry& entry : entries) out.insert(out.end(), entry.image.begin(), entry.image.end());
    return out;
}

std::vector<unsigned char> DibHeader(int side, int bits, std::uint32_t colours) {
    std::vector<unsigned char> out;
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(side));
    Put32(out, static_cast<std::uint32_t>(side * 2));
    Put16(out, 1);
    Put16(out, static_cast<unsigned>(bits));
    for (int i = 0; i < 4; ++i) Put32(out, 0);
    Put32(out, colours);
    Put32(out, 0);
    return out;
}

// A 32-bit image whose bottom-left pixel (stored first) is half-transparent red.
std::vector<unsigned char> Dib32(int side) {
    std::vector<unsigned char> out = DibHeader(side, 32, 0);
    for (int i = 0; i < side * side; ++i) {
        const bool first = i == 0;
        out.insert(out.end(), {0x00, 0x00, static_cast<unsigned char>(first ? 0xFF : 0x10), static_cast<unsigned char>(first ? 0x80 : 0xFF)});
    }
    out.insert(out.end(), static_cast<std::size_t>(side) * ((side + 31) / 32) * 4, 0);
    return out;
}

// An 8-bit image with a two-colour palette: blue, masked out in the top row.
std::vector<unsigned char> Dib8(int side) {
    std::vector<unsigned char> out = DibHeader(side, 8, 2);
    out.insert(out.end(), {0, 0, 0, 0, 0xFF, 0, 0, 0});  // black, blue
    const int stride = (side + 3) / 4 * 4;
    for (int row = 0; row < side; ++row)
        for (int x = 0; x < stride; ++x) out.push_back(x < side ? 1 : 0);
    const int maskStride = (side + 31) / 32 * 4;
    for (int row = 0; row < side; ++row)
        for (int x = 0; x < maskStride; ++x) out.push_back(row == side - 1 ? 0xFF : 0x00);
    return out;
}

void AppendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<unsigned char>*>(context);
    out->insert(out->end(), static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + size);
}

std::vector<unsigned char> Png(int side) {
    std::vector<unsigned char> rgba(static_cast<std::size_t>(side) * side * 4, 0);
    for (std::size_t i = 0; i < rgba.size(); i += 4) {
        rgba[i + 1] = 0xFF;  // green
        rgba[i + 3] = 0xFF;
    }
    std::vector<unsigned char> out;
    stbi_write_png_to_func(AppendBytes, &out, side, side, 4, rgba.data(), side * 4);
    return out;
}

TEST(Icons, BitmapImagesDecodeWithAlphaOrMask) {
    auto image = DecodeIconFile(IcoFile({{32, 32, Dib32(32)}}));
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->width, 32);
    EXPECT_EQ(image->pixels[31 * 32], 0x80FF0000u);  // bottom-left: stored first
    EXPECT_EQ(image->pixels[0], 0xFF100000u);

    image = DecodeIconFile(IcoFile({{16, 8, Dib8(16)}}));
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->pixels[0], 0u);                 // the top row is masked out
    EXPECT_EQ(image->pixels[16], 0xFF0000FFu);       // opaque blue below it
}

TEST(Icons, TheImageNearestTheStandardSizeIsChosenAndPngWorks) {
    const auto file = IcoFile({{16, 32, Dib32(16)}, {32, 32, Png(32)}, {48, 32, Dib32(48)}});
    const auto image = DecodeIconFile(file);
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->width, 32);
    EXPECT_EQ(image->pixels[5], 0xFF00FF00u);
}

TEST(Icons, MalformedFilesGiveNoIcon) {
    auto good = IcoFile({{32, 32, Dib32(32)}});
    std::vector<std::vector<unsigned char>> bad = {
        {},
        {0, 0, 2, 0, 1, 0},                                   // a cursor file, not an icon file
        std::vector<unsigned char>(good.begin(), good.begin() + 30),  // entry points past the end
        IcoFile({{32, 32, std::vector<unsigned char>(60, 0)}}),     // a header of nothing
        IcoFile({{32, 32, std::vector<unsigned char>{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 1, 2}}}),
    };
    auto huge = DibHeader(32, 32, 0);
    huge[4] = 0xFF;
    huge[5] = 0xFF;
    huge[6] = 0xFF;  // a width far beyond any icon
    bad.push_back(IcoFile({{32, 32, huge}}));
    for (const auto& file : bad) EXPECT_FALSE(DecodeIconFile(file).has_value());
}

TEST(Icons, AnEmbeddedPngAskingForGigabytesIsRefusedBeforeItsPixels) {
    const auto peakBefore = picture_fixtures::PeakMappedBytes();
    EXPECT_FALSE(DecodeIconFile(IcoFile({{32, 32, picture_fixtures::PngHeaderOnly(32768, 16384)}})).has_value());
    EXPECT_FALSE(DecodeIconFile(IcoFile({{32, 32, picture_fixtures::PngHeaderOnly(2048, 2048)}})).has_value());
    EXPECT_LT(picture_fixtures::PeakMappedBytes() - peakBefore, std::uint64_t{64} << 20);
}

TEST(Icons, ExtractIconReadsTheFileAndDestroyIconFreesIt) {
    const auto folder = std::filesystem::temp_directory_path() / ("zem_icons_" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(folder);
    const auto path = folder / "icon.ico";
    const auto bytes = IcoFile({{32, 32, Dib32(32)}});
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));

    HICON icon = ExtractIconA(nullptr, path.c_str(), 0);
    ASSERT_NE(icon, nullptr);
    EXPECT_LE(reinterpret_cast<std::uintptr_t>(icon), 0xFFFFFFFFu);  // fits the tray record
    ASSERT_NE(zem::platform::IconFromHandle(icon), nullptr);
    EXPECT_EQ(zem::platform::IconFromHandle(icon)->height, 32);
    EXPECT_EQ(ExtractIconA(nullptr, path.c_str(), 1), nullptr);
    EXPECT_EQ(ExtractIconA(nullptr, (folder / "missing.ico").c_str(), 0), nullptr);
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_FALSE(DestroyIcon(icon));
    EXPECT_EQ(zem::platform::IconFromHandle(icon), nullptr);
    std::filesystem::remove_all(folder);
}

TEST(Icons, AnIconFileLoadsAsAPictureThatOwnsItsIcon) {
    zem::platform::InstallIconPictureLoader();
    const auto folder = std::filesystem::temp_directory_path() / ("zem_icons_" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(folder);
    const auto path = folder / "icon.ico";
    const auto bytes = IcoFile({{32, 32, Png(32)}});
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));

    HICON icon = nullptr;
    {
        const auto picture = zem::platform::LoadPicture(path.string());
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->Width(), 32);
        EXPECT_EQ(picture->Pixels().Pixels()[5], 0x00FF00u);
        icon = picture->Icon();
        ASSERT_NE(zem::platform::IconFromHandle(icon), nullptr);
    }
    EXPECT_EQ(zem::platform::IconFromHandle(icon), nullptr);  // released with the picture
    // An icon file is known by its first bytes, whatever its name.
    const auto renamed = folder / "icon.dat";
    std::filesystem::copy_file(path, renamed);
    EXPECT_EQ(zem::platform::LoadPicture(renamed.string())->Kind(), zem::platform::PictureKind::Icon);
    EXPECT_THROW(zem::platform::LoadPicture((folder / "missing.ico").string()), zem::platform::PictureError);
    std::filesystem::remove_all(folder);
}

}  // namespace
