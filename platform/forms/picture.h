// The picture object of the forms runtime: the drawing layer's picture, shared
// by reference, with the runtime's loaders that raise run-time errors.
#pragma once

#include <memory>
#include <string>

#include "platform/drawing/picture.h"

namespace zem::forms {

// Resource types of LoadResPicture.
inline constexpr int vbResBitmap = 0;
inline constexpr int vbResIcon = 1;

using Picture = platform::Picture;
using PictureRef = platform::PicturePtr;

// Loads a picture file (BMP, GIF, JPEG, PNG; ICO gives its icon). A missing
// file raises run-time error 53, an unreadable one 481.
PictureRef LoadPicture(const std::string& path);
// Loads a bitmap resource of the running program (error 326 when it has none).
PictureRef LoadResPicture(int id, int type = vbResBitmap);
// A picture kept with a window's design, by "<window>.<control>"
// ("Form3.Image1"), or an icon ("Form1.Icon", "Form1.Picture4.MouseIcon"),
// which gives an icon picture: null when the program has none, error 481
// when it is unreadable.
PictureRef DesignPicture(const std::string& name);

}  // namespace zem::forms
