#include "platform/drawing/picture.h"

#include "platform/base/resources.h"
#include "platform/drawing/gdi.h"
#include "platform/drawing/gdi_objects.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace zem::platform {

namespace {

IconFileLoader& IconLoader() {
    static IconFileLoader loader;
    return loader;
}

std::string Lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return text;
}

std::string HostPath(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

}  // namespace

Picture::Picture(Bitmap pixels, std::vector<std::uint8_t> mask, PictureKind kind, HICON icon,
                 std::shared_ptr<void> iconOwner)
    : width_(pixels.Width()),
      height_(pixels.Height()),
      kind_(kind),
      icon_(icon),
      iconOwner_(std::move(iconOwner)),
      mask_(std::move(mask)) {
    auto object = std::make_unique<BitmapObject>();
    object->pixels = std::move(pixels);
    bitmap_ = HandleFromValue<HBITMAP>(GdiTable::Instance().Add(std::move(object)));
}

Picture::~Picture() {
    // A picture released while its bitmap is still selected into a DC keeps
    // the bitmap until that DC lets go of it, then the bitmap is freed.
    auto& table = GdiTable::Instance();
    if (GdiObject* object = table.Find(bitmap_); object && object->selections > 0) object->freeWhenReleased = true;
    else table.Erase(bitmap_);
}

std::uint32_t Picture::HandleValue() const { return static_cast<std::uint32_t>(ValueFromHandle(bitmap_)); }

const Bitmap& Picture::Pixels() const {
    return GdiTable::Instance().FindAs<BitmapObject>(bitmap_, ObjectKind::Bitmap)->pixels;
}

void SetIconFileLoader(IconFileLoader loader) { IconLoader() = std::move(loader); }

PicturePtr LoadPictureFromMemory(const unsigned char* data, std::size_t size, const std::string& name,
                                 const PictureLimits& limits) {
    DecodedPicture decoded;
    try {
        decoded = DecodePicture({data, size}, limits);
    } catch (const PictureError& error) {
        throw PictureError("not a picture: \"" + name + "\" (" + error.what() + ")");
    }
    Bitmap pixels(decoded.width, decoded.height);
    std::vector<std::uint8_t> mask;
    const bool transparent = decoded.HasTransparency();
    if (transparent) mask.resize(decoded.pixels.size());
    auto out = pixels.Pixels();
    for (std::size_t i = 0; i < decoded.pixels.size(); ++i) {
        out[i] = decoded.pixels[i] & 0xFFFFFF;
        if (transparent) mask[i] = static_cast<std::uint8_t>(decoded.pixels[i] >> 24);
    }
    return std::make_shared<Picture>(std::move(pixels), std::move(mask), PictureKind::Bitmap);
}

namespace {

PicturePtr LoadIconPicture(const std::string& path) {
    if (!IconLoader()) throw PictureError("no icon loader for \"" + path + "\"");
    std::optional<LoadedIcon> icon = IconLoader()(path);
    if (!icon || icon->pixels.Empty()) throw PictureError("no icon in \"" + path + "\"");
    return std::make_shared<Picture>(std::move(icon->pixels), std::move(icon->mask), PictureKind::Icon, icon->icon,
                                     std::move(icon->owner));
}

// Larger than any picture within the limits can be stored in (a 64-megapixel
// 32-bit BMP), so a file past it is refused before it is read into memory.
constexpr std::uintmax_t kLargestPictureFile = std::uintmax_t{300} << 20;

}  // namespace

PicturePtr LoadPicture(const std::string& path) {
    const std::string host = HostPath(path);
    const std::string lowered = Lowered(host);
    if (lowered.size() >= 4 && lowered.compare(lowered.size() - 4, 4, ".ico") == 0) return LoadIconPicture(path);
    std::ifstream file(host, std::ios::binary | std::ios::ate);
    if (!file) throw PictureError("cannot open picture \"" + path + "\"");
    const std::streamoff length = file.tellg();
    if (length < 0 || static_cast<std::uintmax_t>(length) > kLargestPictureFile)
        throw PictureError("cannot read picture \"" + path + "\"");
    file.seekg(0);
    std::vector<unsigned char> bytes(static_cast<std::size_t>(length));
    file.read(reinterpret_cast<char*>(bytes.data()), length);
    if (file.gcount() != length) throw PictureError("cannot read picture \"" + path + "\"");
    if (SniffPictureFormat(bytes) == PictureFormat::Ico) return LoadIconPicture(path);
    return LoadPictureFromMemory(bytes.data(), bytes.size(), path);
}

PicturePtr LoadResPicture(int id) {
    const auto bytes = FindProgramResource(id);
    if (!bytes) throw PictureError("the program has no bitmap resource " + std::to_string(id));
    return LoadPictureFromMemory(bytes->data(), bytes->size(), "resource " + std::to_string(id));
}

bool RenderPicture(HDC dc, const Picture& picture, const RECT& destination, const RECT& source) {
    DrawTarget target;
    if (!GdiTable::Instance().Resolve(dc, target)) return false;
    const int width = destination.right - destination.left;
    const int height = destination.bottom - destination.top;
    const int sourceWidth = source.right - source.left;
    const int sourceHeight = source.bottom - source.top;
    if (width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0) return true;
    const Bitmap& pixels = picture.Pixels();
    const auto& mask = picture.Mask();
    for (int row = 0; row < height; ++row) {
        const int y = destination.top + row + target.origin.y;
        const int sourceY = source.top + static_cast<int>((2LL * row + 1) * sourceHeight / (2LL * height));
        if (sourceY < 0 || sourceY >= pixels.Height()) continue;
        if (y < target.clip.Bounds().top || y >= target.clip.Bounds().bottom) continue;
        Pixel* out = target.pixels->Row(y);
        const int left = destination.left + target.origin.x;
        target.clip.ForEachRun(y, left, left + width, [&](int a, int b) {
            for (int x = a; x < b; ++x) {
                const int sourceX =
                    source.left + static_cast<int>((2LL * (x - left) + 1) * sourceWidth / (2LL * width));
                if (sourceX < 0 || sourceX >= pixels.Width()) continue;
                const std::size_t index =
                    static_cast<std::size_t>(sourceY) * static_cast<std::size_t>(pixels.Width()) +
                    static_cast<std::size_t>(sourceX);
                const unsigned alpha = mask.empty() ? 255 : mask[index];
                if (alpha == 0) continue;
                const Pixel over = pixels.At(sourceX, sourceY);
                if (alpha == 255) {
                    out[x] = over;
                    continue;
                }
                auto channel = [&](int shift) {
                    return ((((over >> shift) & 0xFF) * alpha + ((out[x] >> shift) & 0xFF) * (255 - alpha) + 127) /
                            255)
                           << shift;
                };
                out[x] = channel(16) | channel(8) | channel(0);
            }
        });
    }
    return true;
}

}  // namespace zem::platform
