// GIF through giflib, record by record: only the first frame is decoded,
// into a buffer of our own sized after the limits are checked.
#include "platform/drawing/picture_decoders.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace zem::platform {
namespace {

struct MemoryReader {
    std::span<const unsigned char> bytes;
    std::size_t offset = 0;
};

int ReadFromMemory(GifFileType* file, GifByteType* out, int wanted) {
    auto* reader = static_cast<MemoryReader*>(file->UserData);
    const std::size_t count = std::min(static_cast<std::size_t>(std::max(wanted, 0)), reader->bytes.size() - reader->offset);
    std::memcpy(out, reader->bytes.data() + reader->offset, count);
    reader->offset += count;
    return static_cast<int>(count);
}

struct GifCloser {
    void operator()(GifFileType* file) const {
        int ignored = 0;
        DGifCloseFile(file, &ignored);
    }
};
using GifFile = std::unique_ptr<GifFileType, GifCloser>;

[[noreturn]] void Fail(int code) {
    const char* reason = GifErrorString(code);
    throw PictureError(std::string("broken GIF picture (") + (reason ? reason : "unknown error") + ")");
}

// The transparent colour index of a graphic control extension, or -1.
int TransparentIndex(const GifByteType* block) {
    if (block == nullptr || block[0] < 4 || (block[1] & 1) == 0) return -1;
    return block[4];
}

}  // namespace

DecodedPicture DecodeGif(std::span<const unsigned char> bytes, const PictureLimits& limits) {
    MemoryReader reader{bytes};
    int error = 0;
    GifFile file(DGifOpen(&reader, ReadFromMemory, &error));
    if (!file) Fail(error);
    int transparent = -1;
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(file.get(), &record) == GIF_ERROR) Fail(file->Error);
        if (record == TERMINATE_RECORD_TYPE) throw PictureError("the GIF file holds no picture");
        if (record == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(file.get(), &code, &block) == GIF_ERROR) Fail(file->Error);
            if (code == GRAPHICS_EXT_FUNC_CODE) transparent = TransparentIndex(block);
            while (block != nullptr)
                if (DGifGetExtensionNext(file.get(), &block) == GIF_ERROR) Fail(file->Error);
            continue;
        }
        if (record == IMAGE_DESC_RECORD_TYPE) break;
    }
    if (DGifGetImageDesc(file.get()) == GIF_ERROR) Fail(file->Error);
    const GifImageDesc& frame = file->Image;
    CheckPictureSize(frame.Width, frame.Height, limits);
    // A file that leaves its screen size out shows its first frame whole.
    const std::int64_t width = file->SWidth > 0 ? file->SWidth : std::int64_t{frame.Left} + frame.Width;
    const std::int64_t height = file->SHeight > 0 ? file->SHeight : std::int64_t{frame.Top} + frame.Height;
    CheckPictureSize(width, height, limits);
    const ColorMapObject* colours = frame.ColorMap ? frame.ColorMap : file->SColorMap;
    if (colours == nullptr) throw PictureError("the GIF picture has no colours");

    DecodedPicture picture;
    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    picture.pixels.assign(static_cast<std::size_t>(width * height), 0);
    std::vector<GifPixelType> line(static_cast<std::size_t>(frame.Width));
    auto placeRow = [&](int row) {
        const std::int64_t y = std::int64_t{frame.Top} + row;
        if (y >= height) return;
        for (int x = 0; x < frame.Width && frame.Left + x < width; ++x) {
            const int index = line[static_cast<std::size_t>(x)];
            if (index == transparent) continue;
            std::uint32_t pixel = 0xFF000000u;
            if (index < colours->ColorCount) {
                const GifColorType& colour = colours->Colors[index];
                pixel |= (std::uint32_t{colour.Red} << 16) | (std::uint32_t{colour.Green} << 8) | colour.Blue;
            }
            picture.pixels[static_cast<std::size_t>(y * width + frame.Left + x)] = pixel;
        }
    };
    auto readRow = [&](int row) {
        if (DGifGetLine(file.get(), line.data(), frame.Width) == GIF_ERROR) Fail(file->Error);
        placeRow(row);
    };
    if (frame.Interlace) {
        static constexpr int kFirstRow[] = {0, 4, 2, 1};
        static constexpr int kRowStep[] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (int row = kFirstRow[pass]; row < frame.Height; row += kRowStep[pass]) readRow(row);
    } else {
        for (int row = 0; row < frame.Height; ++row) readRow(row);
    }
    return picture;
}

}  // namespace zem::platform
