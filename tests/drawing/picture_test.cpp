#include "canvas.h"
#include "platform/base/resources.h"
#include "platform/drawing/picture.h"
#include "platform/drawing/png_writer.h"

#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

using zem::platform::LoadPicture;
using zem::platform::LoadResPicture;
using zem::platform::PictureError;

class TemporaryFolder {
public:
    TemporaryFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "zem-drawing-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~TemporaryFolder() { std::filesystem::remove_all(path_); }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

// A 24-bit bottom-up BMP file image, rows padded to four bytes.
std::vector<unsigned char> MakeBmp(int width, int height, const std::vector<COLORREF>& topDown) {
    const int stride = (width * 3 + 3) & ~3;
    const int size = 54 + stride * height;
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size), 0);
    auto put32 = [&](int at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) bytes[static_cast<std::size_t>(at + i)] = static_cast<unsigned char>(value >> (8 * i));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, static_cast<std::uint32_t>(size));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    bytes[26] = 1;
    bytes[28] = 24;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const COLORREF c = topDown[static_cast<std::size_t>(y * width + x)];
            const std::size_t at = 54 + static_cast<std::size_t>((height - 1 - y) * stride + x * 3);
            bytes[at] = GetBValue(c);
            bytes[at + 1] = GetGValue(c);
            bytes[at + 2] = GetRValue(c);
        }
    return bytes;
}

COLORREF PixelOf(const zem::platform::Picture& picture, int x, int y) {
    return zem::platform::ColorFromPixel(picture.Pixels().At(x, y));
}

TEST(Pictures, EveryFileFormatLoadsWithItsSizeAndPixels) {
    TemporaryFolder folder;
    const unsigned char rgb[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 0, 255, 10, 20, 30, 200, 100, 50};
    stbi_write_png(folder.File("a.png").c_str(), 3, 2, 3, rgb, 9);
    stbi_write_bmp(folder.File("a.bmp").c_str(), 3, 2, 3, rgb);
    stbi_write_jpg(folder.File("a.jpg").c_str(), 3, 2, 3, rgb, 100);
    // A 1 x 1 red GIF.
    WriteBytes(folder.File("a.gif"), {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80, 0x00,
                                      0x00, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x2C, 0x00, 0x00, 0x00, 0x00,
                                      0x01, 0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3B});
    for (const char* name : {"a.png", "a.bmp"}) {
        auto picture = LoadPicture(folder.File(name));
        EXPECT_EQ(picture->Width(), 3);
        EXPECT_EQ(picture->Height(), 2);
        EXPECT_EQ(PixelOf(*picture, 0, 0), RGB(255, 0, 0)) << name;
        EXPECT_EQ(PixelOf(*picture, 0, 1), RGB(255, 0, 255)) << name;
        EXPECT_EQ(PixelOf(*picture, 2, 1), RGB(200, 100, 50)) << name;
        EXPECT_TRUE(picture->Mask().empty()) << "opaque pictures carry no mask";
    }
    auto jpeg = LoadPicture(folder.File("a.jpg"));
    EXPECT_EQ(jpeg->Width(), 3);
    auto gif = LoadPicture(folder.File("a.gif"));
    EXPECT_EQ(gif->Width(), 1);
    EXPECT_EQ(PixelOf(*gif, 0, 0), RGB(255, 0, 0));
    // Backslashes of the system's paths work as well.
    std::string windowsStyle = folder.File("a.png");
    windowsStyle.replace(windowsStyle.rfind('/'), 1, "\\");
    EXPECT_EQ(LoadPicture(windowsStyle)->Width(), 3);
}

TEST(Pictures, MissingOrUnreadableFilesFailClearly) {
    TemporaryFolder folder;
    WriteBytes(folder.File("broken.jpg"), {0xFF, 0xD8, 0xFF, 0x00, 0x01});
    WriteBytes(folder.File("empty.png"), {});
    for (const std::string& path : {folder.File("missing.jpg"), folder.File("broken.jpg"), folder.File("empty.png"),
                                    folder.File("none.ico")})
        EXPECT_THROW(LoadPicture(path), PictureError) << path;
}

TEST(Pictures, IconsComeThroughTheRegisteredLoader) {
    zem::platform::SetIconFileLoader([](const std::string& path) -> std::optional<zem::platform::LoadedIcon> {
        if (path.find("good") == std::string::npos) return std::nullopt;
        zem::platform::LoadedIcon icon;
        icon.icon = reinterpret_cast<HICON>(std::uintptr_t{77});
        icon.pixels = zem::platform::Bitmap(16, 16, 0x00FF00);
        icon.mask.assign(256, 255);
        return icon;
    });
    auto picture = LoadPicture("C:\\good.ico");
    EXPECT_EQ(picture->Kind(), zem::platform::PictureKind::Icon);
    EXPECT_EQ(picture->Icon(), reinterpret_cast<HICON>(std::uintptr_t{77}));
    EXPECT_EQ(picture->Width(), 16);
    EXPECT_THROW(LoadPicture("bad.ico"), PictureError);
    zem::platform::SetIconFileLoader(nullptr);
}

TEST(Pictures, ResourcePicturesKeepExactPixelsAndDistinctHandles) {
    const auto glyphs = MakeBmp(3, 2, {RGB(255, 0, 255), RGB(0x26, 0x26, 0x26), RGB(255, 0, 255),
                                       RGB(0x00, 0x96, 0xFF), RGB(1, 2, 3), RGB(255, 255, 255)});
    const zem::platform::EmbeddedResource table[] = {{101, glyphs.data(), glyphs.size()}};
    zem::platform::RegisterProgramResources(table);
    auto first = LoadResPicture(101);
    auto second = LoadResPicture(101);
    EXPECT_EQ(first->Width(), 3);
    EXPECT_EQ(PixelOf(*first, 0, 0), RGB(255, 0, 255));
    EXPECT_EQ(PixelOf(*first, 1, 0), RGB(0x26, 0x26, 0x26));
    EXPECT_EQ(PixelOf(*first, 0, 1), RGB(0x00, 0x96, 0xFF));
    EXPECT_NE(first->Handle(), second->Handle()) << "each load is its own picture";
    EXPECT_EQ(first->HandleValue(), reinterpret_cast<std::uintptr_t>(first->Handle()));
    EXPECT_THROW(LoadResPicture(999), PictureError);

    // The handle is a bitmap for a memory DC; released while still selected,
    // the picture's bitmap lives until the DC lets go of it.
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ own = SelectObject(dc, first->Handle());
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(GetPixel(dc, 1, 0), RGB(0x26, 0x26, 0x26));
    HBITMAP handle = first->Handle();
    first.reset();
    EXPECT_EQ(GetPixel(dc, 1, 0), RGB(0x26, 0x26, 0x26));
    SelectObject(dc, own);
    EXPECT_EQ(GetObjectType(handle), 0u);
    DeleteDC(dc);
    zem::platform::ClearProgramResources();
}

TEST(Pictures, RenderPictureLeavesTransparentPixelsOut) {
    TemporaryFolder folder;
    const unsigned char rgba[] = {255, 0, 0, 255, 0, 255, 0, 0, 0, 0, 255, 128};
    stbi_write_png(folder.File("alpha.png").c_str(), 3, 1, 4, rgba, 12);
    auto picture = LoadPicture(folder.File("alpha.png"));
    ASSERT_FALSE(picture->Mask().empty());
    Canvas canvas(6, 1, RGB(255, 255, 255));
    ASSERT_TRUE(zem::platform::RenderPicture(canvas.dc(), *picture, {0, 0, 6, 1}, {0, 0, 3, 1}));
    EXPECT_EQ(canvas.at(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(canvas.at(1, 0), RGB(255, 0, 0));
    EXPECT_EQ(canvas.at(2, 0), RGB(255, 255, 255)) << "alpha 0 leaves the DC's pixel";
    EXPECT_EQ(canvas.at(4, 0), RGB(127, 127, 255)) << "alpha 128 blends";
}

TEST(Pictures, PngSnapshotsRoundTrip) {
    TemporaryFolder folder;
    zem::platform::Bitmap bitmap(4, 3, 0x123456);
    bitmap.Set(3, 2, 0xFF00FF);
    ASSERT_TRUE(zem::platform::WritePng(bitmap, folder.File("shot.png")));
    auto picture = LoadPicture(folder.File("shot.png"));
    EXPECT_EQ(picture->Pixels().At(0, 0), 0x123456u);
    EXPECT_EQ(picture->Pixels().At(3, 2), 0xFF00FFu);
    EXPECT_FALSE(zem::platform::WritePng(bitmap, folder.File("no/such/folder/shot.png")));
}

}  // namespace
