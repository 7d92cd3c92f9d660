#include "platform/forms/scoped_font.h"

#include <cmath>

#include "platform/base/text.h"
#include "platform/drawing/gdi.h"

namespace zem::forms {

ScopedFont::ScopedFont(HDC dc, const StdFont& font) : dc_(dc) {
    const int height = -static_cast<int>(std::lround(font.Size() * 96.0 / 72.0));
    font_ = CreateFontA(height, 0, 0, 0, font.Weight(), font.Italic(), font.Underline(), font.Strikethrough(),
                        static_cast<DWORD>(font.Charset()), 0, 0, 0, 0, platform::Utf8ToGbk(font.Name()).c_str());
    previous_ = SelectObject(dc_, font_);
}

ScopedFont::~ScopedFont() {
    SelectObject(dc_, previous_);
    DeleteObject(font_);
}

}  // namespace zem::forms
