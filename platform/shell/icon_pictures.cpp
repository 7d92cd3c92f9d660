#include "platform/shell/icon_pictures.h"

#include <memory>

#include "platform/drawing/picture.h"
#include "platform/shell/icons.h"

namespace zem::platform {

namespace {

// The icon's pixels and alpha mask, with ownership of the handle passed to the picture.
std::optional<LoadedIcon> LoadIconPicture(const std::string& path) {
    HICON icon = ExtractIconA(nullptr, path.c_str(), 0);
    if (!icon) return std::nullopt;
    const IconImage* image = IconFromHandle(icon);
    if (!image) {
        DestroyIcon(icon);
        return std::nullopt;
    }
    LoadedIcon loaded;
    loaded.icon = icon;
    loaded.owner = std::shared_ptr<void>(static_cast<void*>(icon), [](void* handle) {
        DestroyIcon(static_cast<HICON>(handle));
    });
    loaded.pixels = Bitmap(image->width, image->height);
    loaded.mask.resize(image->pixels.size());
    auto pixels = loaded.pixels.Pixels();
    for (std::size_t index = 0; index < image->pixels.size(); ++index) {
        pixels[index] = image->pixels[index] & 0xFFFFFF;
        loaded.mask[index] = static_cast<std::uint8_t>(image->pixels[index] >> 24);
    }
    return loaded;
}

}  // namespace

void InstallIconPictureLoader() { SetIconFileLoader(&LoadIconPicture); }

}  // namespace zem::platform
