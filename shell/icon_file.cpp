#include "shell/icon_file.h"

#include <filesystem>
#include <memory>

#include "platform/base/text.h"
#include "platform/forms/runtime_error.h"
#include "platform/shell/icons.h"
#include "platform/system/files.h"

namespace 高清图标 {

zem::forms::PictureRef LoadIconFile(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) throw zem::forms::RuntimeError(zem::forms::errFileNotFound);
    // Paths are the file system's own (UTF-8) here, as for every file call.
    HICON icon = ExtractIconA(nullptr, path.c_str(), 0);
    if (icon == nullptr) return nullptr;
    // The picture owns the icon: the last holder of the picture destroys it.
    std::shared_ptr<void> owner(nullptr, [icon](void*) { DestroyIcon(icon); });
    const zem::platform::IconImage* image = zem::platform::IconFromHandle(icon);
    if (image == nullptr) return nullptr;
    zem::platform::Bitmap pixels(image->width, image->height);
    std::vector<std::uint8_t> mask(static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height));
    bool anyTransparent = false;
    for (int y = 0; y < image->height; ++y)
        for (int x = 0; x < image->width; ++x) {
            const std::size_t at = static_cast<std::size_t>(y) * static_cast<std::size_t>(image->width) +
                                   static_cast<std::size_t>(x);
            const std::uint32_t argb = image->pixels[at];
            pixels.Set(x, y, argb & 0xFFFFFF);
            mask[at] = (argb >> 24) >= 128 ? 255 : 0;
            anyTransparent = anyTransparent || mask[at] == 0;
        }
    if (!anyTransparent) mask.clear();
    return std::make_shared<const zem::platform::Picture>(std::move(pixels), std::move(mask),
                                                          zem::platform::PictureKind::Icon, icon, std::move(owner));
}

}  // namespace 高清图标
