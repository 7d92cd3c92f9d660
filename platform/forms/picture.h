// The picture object: a bitmap or an icon that the runtime owns and frees.
#pragma once

#include <memory>
#include <string>

#include "platform/base/win32_types.h"
#include "platform/forms/property_bag.h"

namespace zem::forms {

// Resource types of LoadResPicture.
inline constexpr int vbResBitmap = 0;
inline constexpr int vbResIcon = 1;

class Picture {
public:
    enum class Type { Bitmap = 1, Icon = 3 };
    // Takes ownership of the handle: it is freed with the picture.
    static PictureRef FromBitmap(HBITMAP bitmap);
    static PictureRef FromIcon(HICON icon, int width = 32, int height = 32);
    ~Picture();
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    Type GetType() const { return type_; }
    // The handle as the platform's 32-bit value (a bitmap or an icon handle).
    std::uint32_t Handle() const { return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(handle_)); }
    HBITMAP Bitmap() const { return type_ == Type::Bitmap ? static_cast<HBITMAP>(handle_) : nullptr; }
    HICON Icon() const { return type_ == Type::Icon ? static_cast<HICON>(handle_) : nullptr; }
    int Width() const { return width_; }    // pixels
    int Height() const { return height_; }  // pixels

private:
    Picture(Type type, void* handle, int width, int height);
    Type type_;
    void* handle_;
    int width_;
    int height_;
};

// Loads a picture file (BMP, GIF, JPEG, PNG; ICO gives its first icon).
// A missing or unreadable file raises RuntimeError 53 or 481.
PictureRef LoadPicture(const std::string& path);
// Loads a bitmap resource of the running program.
PictureRef LoadResPicture(int id, int type = vbResBitmap);

}  // namespace zem::forms
