// Module 皮肤加载: puts the skin pictures of the data folder into the main
// window's sprite holders, sets its icon, and arms its start-page timer.
#pragma once

namespace skin_loader {

// Acts on the main window's global instance (made if needed). A skin picture
// or icon file that is missing or unreadable is named once on standard error
// and skipped: the window opens with what loaded.
void LoadSkinImages();

}  // namespace skin_loader

namespace 皮肤加载 = skin_loader;
