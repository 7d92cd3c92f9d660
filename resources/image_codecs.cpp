#include "resources/image_codecs.h"

#include <stb_image.h>
#include <stb_image_write.h>

namespace zem::artwork {
namespace {

void AppendBytes(void* context, void* data, int size) {
    auto* bytes = static_cast<FileBytes*>(context);
    const auto* begin = static_cast<const unsigned char*>(data);
    bytes->insert(bytes->end(), begin, begin + size);
}

void PutLittleEndian(FileBytes& bytes, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes.push_back(static_cast<unsigned char>((value >> (8 * i)) & 0xFF));
}

FileBytes IconImage(const Canvas& image) {
    const int width = image.Width(), height = image.Height();
    const int maskStride = ((width + 31) / 32) * 4;
    FileBytes dib;
    PutLittleEndian(dib, 40, 4);  // BITMAPINFOHEADER
    PutLittleEndian(dib, width, 4);
    PutLittleEndian(dib, height * 2, 4);  // colour rows and mask rows
    PutLittleEndian(dib, 1, 2);
    PutLittleEndian(dib, 32, 2);
    PutLittleEndian(dib, 0, 4);  // BI_RGB
    PutLittleEndian(dib, static_cast<std::uint32_t>(width * height * 4 + maskStride * height), 4);
    PutLittleEndian(dib, 0, 4);
    PutLittleEndian(dib, 0, 4);
    PutLittleEndian(dib, 0, 4);
    PutLittleEndian(dib, 0, 4);
    for (int y = height - 1; y >= 0; --y)
        for (int x = 0; x < width; ++x) {
            const Color pixel = image.At(x, y);
            dib.insert(dib.end(), {pixel.blue, pixel.green, pixel.red, pixel.alpha});
        }
    for (int y = height - 1; y >= 0; --y) {
        FileBytes row(maskStride, 0);
        for (int x = 0; x < width; ++x)
            if (image.At(x, y).alpha == 0) row[x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
        dib.insert(dib.end(), row.begin(), row.end());
    }
    return dib;
}

}  // namespace

FileBytes EncodeBmp24(const Canvas& canvas) {
    FileBytes bytes;
    const auto pixels = canvas.Bytes(3);
    stbi_write_bmp_to_func(AppendBytes, &bytes, canvas.Width(), canvas.Height(), 3, pixels.data());
    return bytes;
}

FileBytes EncodeJpeg(const Canvas& canvas, int quality) {
    FileBytes bytes;
    const auto pixels = canvas.Bytes(3);
    stbi_write_jpg_to_func(AppendBytes, &bytes, canvas.Width(), canvas.Height(), 3, pixels.data(), quality);
    return bytes;
}

FileBytes EncodePng(const Canvas& canvas) {
    FileBytes bytes;
    const auto pixels = canvas.Bytes(4);
    stbi_write_png_to_func(AppendBytes, &bytes, canvas.Width(), canvas.Height(), 4, pixels.data(), canvas.Width() * 4);
    return bytes;
}

FileBytes EncodeIcon(const std::vector<Canvas>& images) {
    std::vector<FileBytes> entries;
    for (const Canvas& image : images) entries.push_back(IconImage(image));
    FileBytes file;
    PutLittleEndian(file, 0, 2);  // reserved
    PutLittleEndian(file, 1, 2);  // icon
    PutLittleEndian(file, static_cast<std::uint32_t>(images.size()), 2);
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        file.push_back(static_cast<unsigned char>(images[i].Width() >= 256 ? 0 : images[i].Width()));
        file.push_back(static_cast<unsigned char>(images[i].Height() >= 256 ? 0 : images[i].Height()));
        file.push_back(0);  // no palette
        file.push_back(0);
        PutLittleEndian(file, 1, 2);   // planes
        PutLittleEndian(file, 32, 2);  // bits per pixel
        PutLittleEndian(file, static_cast<std::uint32_t>(entries[i].size()), 4);
        PutLittleEndian(file, offset, 4);
        offset += static_cast<std::uint32_t>(entries[i].size());
    }
    for (const FileBytes& entry : entries) file.insert(file.end(), entry.begin(), entry.end());
    return file;
}

std::optional<Canvas> DecodeImage(const unsigned char* data, std::size_t size) {
    int width = 0, height = 0, channels = 0;
    unsigned char* pixels = stbi_load_from_memory(data, static_cast<int>(size), &width, &height, &channels, 4);
    if (!pixels) return std::nullopt;
    Canvas canvas(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const unsigned char* pixel = pixels + (static_cast<std::size_t>(y) * width + x) * 4;
            canvas.Set(x, y, Color{pixel[0], pixel[1], pixel[2], pixel[3]});
        }
    stbi_image_free(pixels);
    return canvas;
}

}  // namespace zem::artwork
