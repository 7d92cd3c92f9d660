// Lets the drawing layer's pictures read ICO files through the shell's icon
// loader, and makes icon pictures from ICO file images held in memory.
#pragma once

#include <span>

#include "platform/drawing/picture.h"

namespace zem::platform {

// Registers the loader with the picture layer; a program calls this once at start.
void InstallIconPictureLoader();

// Whether the bytes begin as an ICO file does.
bool LooksLikeIconFile(std::span<const unsigned char> bytes);

// The icon of an ICO file image (the image suited to the standard 32 x 32
// icon) as a picture that owns its icon handle; null when it holds no icon.
PicturePtr IconPictureFromMemory(std::span<const unsigned char> bytes);

}  // namespace zem::platform
