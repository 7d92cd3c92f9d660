// A GDI font made from a font object and selected into a DC for the life of
// the holder.
#pragma once

#include "platform/base/win32_types.h"
#include "platform/forms/std_font.h"

namespace zem::forms {

class ScopedFont {
public:
    ScopedFont(HDC dc, const StdFont& font);
    ~ScopedFont();
    ScopedFont(const ScopedFont&) = delete;
    ScopedFont& operator=(const ScopedFont&) = delete;

private:
    HDC dc_;
    HFONT font_;
    HGDIOBJ previous_;
};

}  // namespace zem::forms
