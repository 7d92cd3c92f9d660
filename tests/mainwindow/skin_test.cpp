// The skin files against the screen: a program folder whose skin pictures
// are each a pattern no other file holds (every pixel tells its file and its
// place in it), so the header shows which file went to which sprite and
// whether it was copied one to one.
#include <cstdint>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/drawing/picture.h"
#include "tests/mainwindow/main_window_fixture.h"

namespace zem::mainwindow_testing {
namespace {

// The skin files, by the number their pattern carries.
const char* const kSkinFiles[] = {"biaotilan.jpg", "Z.jpg",     "Y.jpg",  "Close.jpg", "max-1.jpg",
                                  "min.jpg",       "hp.jpg",    "max-2.jpg", "bf.jpg", "pk.jpg",
                                  "lbl.jpg",       "logo.jpg",  "jp.jpg", "zb.jpg"};

int FileNumber(const std::string& file) {
    for (int number = 0; number < static_cast<int>(std::size(kSkinFiles)); ++number)
        if (file == kSkinFiles[number]) return number;
    throw std::invalid_argument(file);
}

// Pixel (x, y) of a file: red tells the file (and x / 256), green x, blue y.
platform::Pixel PatternPixel(int file, int x, int y) {
    return static_cast<platform::Pixel>((file * 16 + x / 256) << 16 | (x & 0xFF) << 8 | (y & 0xFF));
}

// A 24-bit BMP of the file's pattern; the loader reads the format from the
// bytes, not from the name.
std::string PatternBmp(int file, int width, int height) {
    const int stride = (width * 3 + 3) / 4 * 4;
    const std::uint32_t imageSize = static_cast<std::uint32_t>(stride * height);
    std::string out;
    auto put16 = [&](unsigned value) {
        out += static_cast<char>(value & 0xFF);
        out += static_cast<char>(value >> 8 & 0xFF);
    };
    auto put32 = [&](std::uint32_t value) {
        put16(value & 0xFFFF);
        put16(value >> 16);
    };
    out += "BM";
    put32(54 + imageSize);
    put32(0);
    put32(54);
    put32(40);
    put32(static_cast<std::uint32_t>(width));
    put32(static_cast<std::uint32_t>(height));
    put16(1);
    put16(24);
    for (std::uint32_t field : {0u, imageSize, 2835u, 2835u, 0u, 0u}) put32(field);
    for (int y = height - 1; y >= 0; --y) {  // bottom row first
        std::string row;
        for (int x = 0; x < width; ++x) {
            const platform::Pixel pixel = PatternPixel(file, x, y);
            row += static_cast<char>(pixel & 0xFF);
            row += static_cast<char>(pixel >> 8 & 0xFF);
            row += static_cast<char>(pixel >> 16 & 0xFF);
        }
        row.resize(static_cast<std::size_t>(stride), '\0');
        out += row;
    }
    return out;
}

class SkinTest : public MainWindowFixture {
protected:
    // Each shipped skin file replaced by its pattern, at the shipped size.
    SkinTest() {
        for (int number = 0; number < static_cast<int>(std::size(kSkinFiles)); ++number) {
            const std::string relative = std::string("zemskin/skin/") + kSkinFiles[number];
            const platform::PicturePtr shipped = platform::LoadPicture((folder.Path() / relative).string());
            WriteRaw(relative, PatternBmp(number, shipped->Width(), shipped->Height()));
        }
    }

    // The block of `pixels` at (x, y) shows the file's block at (sx, sy).
    static ::testing::AssertionResult ShowsFile(const platform::Bitmap* pixels, int x, int y, const char* file,
                                                int sx, int sy, int width, int height) {
        if (pixels == nullptr) return ::testing::AssertionFailure() << "no pixels";
        const int number = FileNumber(file);
        for (int row = 0; row < height; ++row)
            for (int column = 0; column < width; ++column)
                if (pixels->At(x + column, y + row) != PatternPixel(number, sx + column, sy + row))
                    return ::testing::AssertionFailure()
                           << "(" << x + column << ", " << y + row << ") is not " << file << " at (" << sx + column
                           << ", " << sy + row << ")";
        return ::testing::AssertionSuccess();
    }
};

TEST_F(SkinTest, EachSkinFileShowsWhereItsSpriteIsDrawnCopiedOneToOne) {
    配置信息::WriteConfig("form", "shipinku", "False");  // the player view: tab 0 selected
    Form1& main = Open();
    const platform::Bitmap* header = platform::WindowSurface(main.hWnd());
    const int width = static_cast<int>(main.ScaleWidth());
    struct Case {
        const char* file;
        int x, y, width, height, sourceX;  // on the window; from the file's row 0
    };
    // Neighbouring tabs overlap by 7 pixels; the later one covers the overlap.
    const Case cases[] = {
        {"biaotilan.jpg", 10, 0, width - 20, 20, 10},  // above the buttons, inside the round corners
        {"biaotilan.jpg", 396, 0, 4, 100, 396},        // between the logo and tab 0
        {"biaotilan.jpg", 810, 0, 90, 100, 810},       // between tab 3 and the caption buttons
        {"logo.jpg", 6, 20, 390, 80, 0},
        {"Close.jpg", width - 30, 20, 30, 80, 0},
        {"max-1.jpg", width - 60, 20, 30, 80, 0},
        {"min.jpg", width - 90, 20, 30, 80, 0},
        {"hp.jpg", width - 120, 20, 30, 80, 0},
        {"bf.jpg", 407, 20, 93, 80, 214 + 7},
        {"pk.jpg", 507, 20, 93, 80, 7},
        {"zb.jpg", 607, 20, 93, 80, 7},
        {"jp.jpg", 700, 20, 107, 80, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " at " + std::to_string(c.x));
        EXPECT_TRUE(ShowsFile(header, c.x, c.y, c.file, c.sourceX, 0, c.width, c.height));
    }
    // The drag strip in the bottom bar, and the two pictures nothing draws.
    EXPECT_TRUE(ShowsFile(platform::WindowSurface(main.Picture9.hWnd()), 0, 0, "lbl.jpg", 0, 0, 455, 43));
    struct Held {
        const forms::Image* image;
        const char* file;
    };
    for (const Held& held : {Held{&main.Image2, "Z.jpg"}, Held{&main.Image3, "Y.jpg"}}) {
        SCOPED_TRACE(held.file);
        ASSERT_TRUE(held.image->Picture());
        const platform::Bitmap& pixels = held.image->Picture()->Pixels();
        EXPECT_TRUE(ShowsFile(&pixels, 0, 0, held.file, 0, 0, pixels.Width(), pixels.Height()));
    }
    // Maximized, the restore sprite takes the maximize button's place.
    main.SetWindowState(forms::vbMaximized);
    platform::ProcessPendingMessages();
    EXPECT_TRUE(ShowsFile(platform::WindowSurface(main.hWnd()), static_cast<int>(main.ScaleWidth()) - 60, 20,
                          "max-2.jpg", 0, 0, 30, 80));
}

}  // namespace
}  // namespace zem::mainwindow_testing
