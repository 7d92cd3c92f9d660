// Loads an icon file into a picture that can serve as a window's icon.
#pragma once

#include <string>

#include "platform/forms/picture.h"

namespace 高清图标 {

// The first icon of the file as a picture that owns the icon (it is destroyed
// with the picture), or no picture for a file without an icon. A missing file
// raises run-time error 53.
zem::forms::PictureRef LoadIconFile(const std::string& path);

}  // namespace 高清图标
