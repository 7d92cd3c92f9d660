#include "resources/artwork_catalog.h"
#include "resources/image_codecs.h"

#include <gtest/gtest.h>

namespace zem::artwork {
namespace {

std::uint32_t Read(const FileBytes& bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | bytes.at(at + i);
    return value;
}

TEST(IconFile, HoldsFiveSizesAs32BitImagesWithMasks) {
    Artwork artwork;
    DrawIconArtwork(artwork);
    const FileBytes file = EncodeIcon(artwork.iconImages);
    ASSERT_GE(file.size(), 6u + 5 * 16);
    EXPECT_EQ(Read(file, 0, 2), 0u);
    EXPECT_EQ(Read(file, 2, 2), 1u);  // an icon, not a cursor
    ASSERT_EQ(Read(file, 4, 2), 5u);
    const int sizes[] = {64, 48, 32, 24, 16};
    std::size_t expectedOffset = 6 + 5 * 16;
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(sizes[i]);
        const std::size_t entry = 6 + 16 * i;
        EXPECT_EQ(file[entry], sizes[i]);
        EXPECT_EQ(file[entry + 1], sizes[i]);
        EXPECT_EQ(Read(file, entry + 6, 2), 32u);
        const std::uint32_t length = Read(file, entry + 8, 4), offset = Read(file, entry + 12, 4);
        EXPECT_EQ(offset, expectedOffset);
        ASSERT_LE(offset + length, file.size());
        expectedOffset += length;
        // The image: a BITMAPINFOHEADER of twice the height, 32 bits, then colour rows and the mask.
        EXPECT_EQ(Read(file, offset, 4), 40u);
        EXPECT_EQ(Read(file, offset + 4, 4), static_cast<std::uint32_t>(sizes[i]));
        EXPECT_EQ(Read(file, offset + 8, 4), static_cast<std::uint32_t>(2 * sizes[i]));
        EXPECT_EQ(Read(file, offset + 14, 2), 32u);
        const std::size_t maskStride = (sizes[i] + 31) / 32 * 4;
        EXPECT_EQ(length, 40 + sizes[i] * sizes[i] * 4 + maskStride * sizes[i]);
        // The round emblem leaves its corners clear: alpha 0 and the mask bit set; its middle is opaque.
        const std::size_t colours = offset + 40, mask = colours + sizes[i] * sizes[i] * 4;
        EXPECT_EQ(file[colours + 3], 0);
        EXPECT_EQ(file[mask] & 0x80, 0x80);
        const std::size_t middle = colours + (sizes[i] / 2 * sizes[i] + sizes[i] / 2) * 4;
        EXPECT_EQ(file[middle + 3], 255);
        EXPECT_EQ(file[mask + sizes[i] / 2 * maskStride + sizes[i] / 16] & (0x80 >> (sizes[i] / 2 % 8)), 0);
    }
    EXPECT_EQ(expectedOffset, file.size());
}

}  // namespace
}  // namespace zem::artwork
