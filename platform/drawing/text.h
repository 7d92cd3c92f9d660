// Text in UTF-8 for code that holds its text as UTF-8 (the forms runtime's
// captions and labels); the "A" calls of gdi.h convert GBK and come here.
#pragma once

#include "platform/base/win32_types.h"
#include "platform/drawing/fonts.h"

#include <string_view>

namespace zem::platform {

HFONT CreateFontFromDescription(const FontDescription& description);
// The description a font handle was made from, or false for none.
bool DescribeFont(HFONT font, FontDescription& description);

// DrawTextA's formats and result, for UTF-8 text.
int DrawTextUtf8(HDC dc, std::string_view text, RECT& rect, UINT format);
// DrawTextA's picture of UTF-8 text once converted to GBK: what GBK cannot
// hold, and each malformed byte, shows as "?". Only what shows is converted.
int DrawTextAsGbk(HDC dc, std::string_view text, RECT& rect, UINT format);
BOOL TextOutUtf8(HDC dc, int x, int y, std::string_view text);
// Width of the text and height of the DC font's cell.
SIZE MeasureTextUtf8(HDC dc, std::string_view text);

}  // namespace zem::platform
