// Pictures and icons from bytes: every file is a picture within the limits or
// a PictureError, and an icon file an icon or nothing. The limits are smaller
// than the programs' so that each run tries more files; the checks are the same.
#include "fuzz_support.h"
#include "platform/drawing/picture.h"
#include "platform/drawing/picture_decoders.h"
#include "platform/shell/icons.h"

namespace {
using zem::fuzz::Require;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const zem::platform::PictureLimits limits{2048, 1 << 20};
    try {
        const auto picture = zem::platform::LoadPictureFromMemory(data, size, "fuzz", limits);
        Require(picture->Width() > 0 && picture->Width() <= limits.largestSide, "a width within the limits");
        Require(static_cast<std::uint64_t>(picture->Width()) * static_cast<std::uint64_t>(picture->Height()) <=
                    limits.largestArea,
                "an area within the limits");
        Require(picture->Mask().empty() ||
                    picture->Mask().size() == static_cast<std::size_t>(picture->Width()) * picture->Height(),
                "a mask for every pixel");
    } catch (const zem::platform::PictureError&) {
    }
    const auto icon = zem::platform::DecodeIconFile({data, size});
    if (icon) {
        Require(icon->width > 0 && icon->height > 0 && icon->width <= 1024 && icon->height <= 1024, "an icon's size");
        Require(icon->pixels.size() == static_cast<std::size_t>(icon->width) * icon->height, "an icon's pixels");
    }
    return 0;
}
