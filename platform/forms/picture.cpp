#include "platform/forms/picture.h"

#include <filesystem>

#include "platform/base/resources.h"
#include "platform/forms/runtime_error.h"
#include "platform/shell/icon_pictures.h"
#include "platform/system/files.h"

namespace zem::forms {

PictureRef LoadPicture(const std::string& path) {
    // An empty path is the runtime's way of saying "no picture".
    if (path.empty()) return nullptr;
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        throw RuntimeError(errFileNotFound);
    try {
        return platform::LoadPicture(path);
    } catch (const platform::PictureError&) {
        throw RuntimeError(errInvalidPicture, "Invalid picture");
    }
}

PictureRef LoadResPicture(int id, int type) {
    if (type != vbResBitmap) throw RuntimeError(errInvalidCall);
    try {
        return platform::LoadResPicture(id);
    } catch (const platform::PictureError&) {
        throw RuntimeError(errResourceNotFound, "Resource with identifier '" + std::to_string(id) + "' not found");
    }
}

PictureRef DesignPicture(const std::string& name) {
    const auto bytes = platform::FindProgramResource(name);
    if (!bytes) return nullptr;
    // An icon kept with the design (a form's icon, a custom pointer) gives its icon.
    if (platform::LooksLikeIconFile(*bytes)) {
        if (PictureRef icon = platform::IconPictureFromMemory(*bytes)) return icon;
        throw RuntimeError(errInvalidPicture, "Invalid picture");
    }
    try {
        return platform::LoadPictureFromMemory(bytes->data(), bytes->size(), name);
    } catch (const platform::PictureError&) {
        throw RuntimeError(errInvalidPicture, "Invalid picture");
    }
}

}  // namespace zem::forms
