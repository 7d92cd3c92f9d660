// DrawTextA with arbitrary GBK text, rectangles anywhere in the int range and
// any mix of the formats, on a small bitmap: no crash, no overflow, and the
// rectangle changed only where a measurement writes its size.
#include "fuzz_support.h"
#include "platform/drawing/gdi.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

using zem::fuzz::Require;

constexpr UINT kFormats = DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM | DT_WORDBREAK | DT_SINGLELINE |
                          DT_EXPANDTABS | DT_NOCLIP | DT_CALCRECT | DT_NOPREFIX;

class Surface {
public:
    Surface() {
        dc_ = CreateCompatibleDC(nullptr);
        SelectObject(dc_, CreateCompatibleBitmap(dc_, 48, 24));
        font_ = CreateFontA(-12, 0, 0, 0, 400, 0, 0, 0, 134, 0, 0, 0, 0, "\xCB\xCE\xCC\xE5");
        SelectObject(dc_, font_);
    }
    HDC dc() const { return dc_; }

private:
    HDC dc_ = nullptr;
    HFONT font_ = nullptr;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Surface surface;
    FuzzedDataProvider input(data, size);
    RECT rect{};
    // Small rectangles mostly, and now and then the ends of the int range.
    auto coordinate = [&] {
        return input.ConsumeBool() ? input.ConsumeIntegralInRange<int>(-64, 64) : input.ConsumeIntegral<int>();
    };
    rect.left = coordinate();
    rect.top = coordinate();
    rect.right = coordinate();
    rect.bottom = coordinate();
    const UINT format = input.ConsumeIntegral<UINT>() & kFormats;
    const bool counted = input.ConsumeBool();
    const std::string text = input.ConsumeRemainingBytesAsString();
    const RECT given = rect;
    const int count = counted ? static_cast<int>(text.size()) : -1;
    DrawTextA(surface.dc(), text.c_str(), count, &rect, format);
    if (format & DT_CALCRECT) Require(rect.left == given.left && rect.top == given.top, "measuring keeps the top left");
    else Require(rect.left == given.left && rect.right == given.right, "drawing leaves the rectangle");
    return 0;
}
