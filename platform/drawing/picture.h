// Picture objects: an image loaded from a file or from a bitmap resource of
// the running program, held as a bitmap handle that can be selected into a
// memory DC. Two references show the same picture when their handles match.
#pragma once

#include "platform/base/win32_types.h"
#include "platform/drawing/bitmap.h"
#include "platform/drawing/picture_decoders.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zem::platform {

enum class PictureKind { Bitmap, Icon };

class Picture {
public:
    // Takes the pixels into a new bitmap object; `mask` (one byte per pixel,
    // 0 transparent, 255 opaque) only when the image has transparent parts.
    // `iconOwner` keeps an icon's handle alive for as long as the picture.
    Picture(Bitmap pixels, std::vector<std::uint8_t> mask, PictureKind kind, HICON icon = nullptr,
            std::shared_ptr<void> iconOwner = nullptr);
    ~Picture();
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    // The bitmap handle; it stays valid while the picture lives.
    HBITMAP Handle() const { return bitmap_; }
    // The handle as the 32-bit value the forms runtime hands out.
    std::uint32_t HandleValue() const;
    int Width() const { return width_; }
    int Height() const { return height_; }
    PictureKind Kind() const { return kind_; }
    HICON Icon() const { return icon_; }
    const std::vector<std::uint8_t>& Mask() const { return mask_; }
    // The pixels behind the handle.
    const Bitmap& Pixels() const;

private:
    HBITMAP bitmap_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    PictureKind kind_;
    HICON icon_ = nullptr;
    std::shared_ptr<void> iconOwner_;
    std::vector<std::uint8_t> mask_;
};

using PicturePtr = std::shared_ptr<const Picture>;

// A JPEG, GIF (first frame), BMP or PNG file, or an ICO through the icon
// loader (a file named ".ico" or starting as one). The content decides the
// format, never the name. Paths may use either slash. Throws PictureError.
PicturePtr LoadPicture(const std::string& path);
// An image held in memory (same formats but ICO). Throws PictureError.
PicturePtr LoadPictureFromMemory(const unsigned char* data, std::size_t size, const std::string& name,
                                 const PictureLimits& limits = {});
// Bitmap resource `id` of the running program. Throws PictureError.
PicturePtr LoadResPicture(int id);

// Icons are read by the shell's icon loader; it registers itself here, so
// that pictures need no link to it. It gives the icon handle and its pixels
// (with their mask), or nothing when the file holds no icon.
struct LoadedIcon {
    HICON icon = nullptr;
    std::shared_ptr<void> owner;  // releases the icon when the last holder lets go
    Bitmap pixels;
    std::vector<std::uint8_t> mask;
};
using IconFileLoader = std::function<std::optional<LoadedIcon>(const std::string& path)>;
void SetIconFileLoader(IconFileLoader loader);

// Draws `source` (x, y, width, height of the picture) onto (x, y, width,
// height) of the DC, stretched by the nearest pixel, leaving the picture's
// transparent pixels out. Returns false when the DC has nothing to draw on.
bool RenderPicture(HDC dc, const Picture& picture, const RECT& destination, const RECT& source);

}  // namespace zem::platform
