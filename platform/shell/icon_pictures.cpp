#include "platform/shell/icon_pictures.h"

#include <memory>

#include "platform/shell/icons.h"

namespace zem::platform {

namespace {

// The icon's pixels and alpha mask, with ownership of the handle passed to the
// result (it is destroyed here when the icon has no pixels).
std::optional<LoadedIcon> TakeIcon(HICON icon) {
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

std::optional<LoadedIcon> LoadIconPicture(const std::string& path) {
    return TakeIcon(ExtractIconA(nullptr, path.c_str(), 0));
}

}  // namespace

void InstallIconPictureLoader() { SetIconFileLoader(&LoadIconPicture); }

bool LooksLikeIconFile(std::span<const unsigned char> bytes) {
    // Reserved 0, then type 1 (an icon, not a cursor), little-endian.
    return bytes.size() >= 4 && bytes[0] == 0 && bytes[1] == 0 && bytes[2] == 1 && bytes[3] == 0;
}

PicturePtr IconPictureFromMemory(std::span<const unsigned char> bytes) {
    std::optional<IconImage> image = DecodeIconFile(bytes);
    if (!image) return nullptr;
    std::optional<LoadedIcon> icon = TakeIcon(CreateIconFromImage(std::move(*image)));
    if (!icon) return nullptr;
    return std::make_shared<const Picture>(std::move(icon->pixels), std::move(icon->mask), PictureKind::Icon,
                                           icon->icon, std::move(icon->owner));
}

}  // namespace zem::platform
