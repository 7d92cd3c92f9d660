// Lets the drawing layer's pictures read ICO files through the shell's icon loader.
#pragma once

namespace zem::platform {

// Registers the loader with the picture layer; a program calls this once at start.
void InstallIconPictureLoader();

}  // namespace zem::platform
