#include "platform/drawing/gdi_objects.h"

#include "platform/drawing/gdi.h"
#include "platform/window/window_system.h"

#include <array>
#include <cstdlib>
#include <limits>

namespace zem::platform {

GdiTable& GdiTable::Instance() {
    static GdiTable table;
    return table;
}

void SetWindowTargetProvider(WindowTargetProvider provider) {
    GdiTable::Instance().SetWindowProvider(std::move(provider));
}

std::uintptr_t GdiTable::Add(std::unique_ptr<GdiObject> object) {
    const std::uintptr_t value = next_++;
    objects_.emplace(value, std::move(object));
    return value;
}

GdiObject* GdiTable::Find(HGDIOBJ handle) {
    auto found = objects_.find(ValueFromHandle(handle));
    return found == objects_.end() ? nullptr : found->second.get();
}

bool GdiTable::Erase(HGDIOBJ handle) { return objects_.erase(ValueFromHandle(handle)) > 0; }

void GdiTable::Release(HGDIOBJ handle) {
    GdiObject* object = Find(handle);
    if (!object) return;
    if (--object->selections == 0 && object->freeWhenReleased) Erase(handle);
}

HDC GdiTable::AddDC(std::unique_ptr<DeviceContext> dc) {
    const std::uintptr_t value = next_++;
    contexts_.emplace(value, std::move(dc));
    return HandleFromValue<HDC>(value);
}

DeviceContext* GdiTable::FindDC(HDC handle) {
    auto found = contexts_.find(ValueFromHandle(handle));
    return found == contexts_.end() ? nullptr : found->second.get();
}

void GdiTable::EraseDC(HDC handle) { contexts_.erase(ValueFromHandle(handle)); }

bool GdiTable::Resolve(HDC handle, DrawTarget& target) {
    const DeviceContext* dc = FindDC(handle);
    return dc && ResolveContext(*dc, target);
}

bool GdiTable::ResolveContext(const DeviceContext& dc, DrawTarget& target) {
    if (dc.memory) {
        auto* bitmap = FindAs<BitmapObject>(dc.bitmap, ObjectKind::Bitmap);
        if (!bitmap) return false;
        target.pixels = &bitmap->pixels;
        target.origin = {0, 0};
        target.clip = ClipRegion::FromRect({0, 0, bitmap->pixels.Width(), bitmap->pixels.Height()});
    } else if (!windowProvider_ || !windowProvider_(dc.window, dc.hasPaintClip ? &dc.paintClip : nullptr, target)) {
        return false;
    }
    if (dc.hasPaintClip) {
        const RECT paint{dc.paintClip.left + target.origin.x, dc.paintClip.top + target.origin.y,
                         dc.paintClip.right + target.origin.x, dc.paintClip.bottom + target.origin.y};
        target.clip.Intersect(ClipRegion::FromRect(paint));
    }
    return true;
}

SizedFont& GdiTable::FontOf(const DeviceContext& dc) {
    auto* font = FindAs<FontObject>(dc.font, ObjectKind::Font);
    if (!font) font = FindAs<FontObject>(Stock(SYSTEM_FONT), ObjectKind::Font);
    if (!font->font) font->font = FontEngine::Instance().Get(font->description);
    return *font->font;
}

HGDIOBJ GdiTable::Stock(int index) {
    if (auto found = stock_.find(index); found != stock_.end()) return found->second;
    std::unique_ptr<GdiObject> object;
    auto brush = [](COLORREF color, bool hollow) {
        auto made = std::make_unique<BrushObject>();
        made->color = color;
        made->hollow = hollow;
        return made;
    };
    switch (index) {
        case WHITE_BRUSH: object = brush(0xFFFFFF, false); break;
        case LTGRAY_BRUSH: object = brush(0xC0C0C0, false); break;
        case GRAY_BRUSH: object = brush(0x808080, false); break;
        case DKGRAY_BRUSH: object = brush(0x404040, false); break;
        case BLACK_BRUSH: object = brush(0x000000, false); break;
        case NULL_BRUSH: object = brush(0x000000, true); break;
        case SYSTEM_FONT:
        case DEFAULT_GUI_FONT: {
            // The default face of a Chinese desktop: 9 points at 96 dpi.
            auto font = std::make_unique<FontObject>();
            font->description.height = -12;
            font->description.charSet = GB2312_CHARSET;
            font->description.face = "宋体";
            object = std::move(font);
            break;
        }
        case -1: {  // the 1 x 1 bitmap a new memory DC holds
            auto bitmap = std::make_unique<BitmapObject>();
            bitmap->pixels = Bitmap(1, 1);
            object = std::move(bitmap);
            break;
        }
        default: return nullptr;
    }
    object->stock = true;
    HGDIOBJ handle = HandleFromValue<HGDIOBJ>(Add(std::move(object)));
    stock_.emplace(index, handle);
    return handle;
}

std::size_t LiveGdiObjectCount() { return GdiTable::Instance().LiveObjects(); }

std::size_t LiveDeviceContextCount() { return GdiTable::Instance().LiveContexts(); }

}  // namespace zem::platform

using zem::platform::BitmapObject;
using zem::platform::BrushObject;
using zem::platform::DeviceContext;
using zem::platform::FontObject;
using zem::platform::GdiObject;
using zem::platform::GdiTable;
using zem::platform::ObjectKind;

namespace {

HGDIOBJ& SlotFor(DeviceContext& dc, ObjectKind kind) {
    switch (kind) {
        case ObjectKind::Bitmap: return dc.bitmap;
        case ObjectKind::Brush: return dc.brush;
        case ObjectKind::Font: break;
    }
    return dc.font;
}

std::unique_ptr<DeviceContext> NewContext() {
    auto& table = GdiTable::Instance();
    auto dc = std::make_unique<DeviceContext>();
    dc->brush = table.Stock(WHITE_BRUSH);
    dc->font = table.Stock(SYSTEM_FONT);
    table.Find(dc->brush)->selections++;
    table.Find(dc->font)->selections++;
    return dc;
}

void ReleaseSelections(DeviceContext& dc) {
    auto& table = GdiTable::Instance();
    for (HGDIOBJ held : {dc.bitmap, dc.brush, dc.font}) table.Release(held);
}

}  // namespace

namespace zem::platform {

// Window DCs are made by the window layer through these two.
HDC CreateWindowContext(HWND window) {
    auto dc = NewContext();
    dc->memory = false;
    dc->window = window;
    return GdiTable::Instance().AddDC(std::move(dc));
}

void DestroyContext(HDC handle) {
    auto& table = GdiTable::Instance();
    if (DeviceContext* dc = table.FindDC(handle)) {
        ReleaseSelections(*dc);
        table.EraseDC(handle);
    }
}

}  // namespace zem::platform

HDC CreateCompatibleDC(HDC) {
    auto& table = GdiTable::Instance();
    auto dc = NewContext();
    dc->bitmap = table.Stock(-1);
    table.Find(dc->bitmap)->selections++;
    return table.AddDC(std::move(dc));
}

BOOL DeleteDC(HDC handle) {
    auto& table = GdiTable::Instance();
    DeviceContext* dc = table.FindDC(handle);
    if (!dc || !dc->memory) return FALSE;
    zem::platform::DestroyContext(handle);
    return TRUE;
}

HBITMAP CreateCompatibleBitmap(HDC, int width, int height) {
    if (width <= 0 || height <= 0) return nullptr;
    auto bitmap = std::make_unique<BitmapObject>();
    bitmap->pixels = zem::platform::Bitmap(width, height);
    return zem::platform::HandleFromValue<HBITMAP>(GdiTable::Instance().Add(std::move(bitmap)));
}

HGDIOBJ SelectObject(HDC handle, HGDIOBJ object) {
    auto& table = GdiTable::Instance();
    DeviceContext* dc = table.FindDC(handle);
    GdiObject* selected = table.Find(object);
    if (!dc || !selected) return nullptr;
    if (selected->kind == ObjectKind::Bitmap) {
        // A bitmap goes into one memory DC at a time (stock bitmaps into any).
        if (!dc->memory) return nullptr;
        if (object != dc->bitmap && selected->selections > 0 && !selected->stock) return nullptr;
    }
    HGDIOBJ& slot = SlotFor(*dc, selected->kind);
    HGDIOBJ previous = slot;
    selected->selections++;
    slot = object;
    table.Release(previous);
    return previous;
}

HGDIOBJ GetCurrentObject(HDC handle, UINT type) {
    DeviceContext* dc = GdiTable::Instance().FindDC(handle);
    if (!dc) return nullptr;
    switch (type) {
        case OBJ_BITMAP: return dc->bitmap;
        case OBJ_BRUSH: return dc->brush;
        case OBJ_FONT: return dc->font;
        default: return nullptr;
    }
}

BOOL DeleteObject(HGDIOBJ handle) {
    // Regions belong to the window system.
    bool deleted = false;
    if (zem::platform::DeleteRegionObject(handle, &deleted)) return deleted ? TRUE : FALSE;
    auto& table = GdiTable::Instance();
    GdiObject* object = table.Find(handle);
    if (!object) return FALSE;
    if (object->stock) return TRUE;
    if (object->selections > 0) return FALSE;
    table.Erase(handle);
    return TRUE;
}

DWORD GetObjectType(HGDIOBJ handle) {
    auto& table = GdiTable::Instance();
    if (GdiObject* object = table.Find(handle)) {
        switch (object->kind) {
            case ObjectKind::Bitmap: return OBJ_BITMAP;
            case ObjectKind::Brush: return OBJ_BRUSH;
            case ObjectKind::Font: return OBJ_FONT;
        }
    }
    if (DeviceContext* dc = table.FindDC(static_cast<HDC>(handle))) return dc->memory ? OBJ_MEMDC : OBJ_DC;
    return 0;
}

int GetObjectA(HGDIOBJ handle, int size, void* out) {
    auto* bitmap = GdiTable::Instance().FindAs<BitmapObject>(handle, ObjectKind::Bitmap);
    if (!bitmap) return 0;
    if (!out) return static_cast<int>(sizeof(BITMAP));
    if (size < static_cast<int>(sizeof(BITMAP))) return 0;
    BITMAP info;
    info.bmWidth = bitmap->pixels.Width();
    info.bmHeight = bitmap->pixels.Height();
    info.bmWidthBytes = bitmap->pixels.Width() * 4;
    info.bmPlanes = 1;
    info.bmBitsPixel = 32;
    *static_cast<BITMAP*>(out) = info;
    return static_cast<int>(sizeof(BITMAP));
}

HGDIOBJ GetStockObject(int index) { return index < 0 ? nullptr : GdiTable::Instance().Stock(index); }

HBRUSH CreateSolidBrush(COLORREF color) {
    auto brush = std::make_unique<BrushObject>();
    brush->color = color & 0xFFFFFF;
    return zem::platform::HandleFromValue<HBRUSH>(GdiTable::Instance().Add(std::move(brush)));
}

int GetDeviceCaps(HDC, int index) {
    switch (index) {
        case LOGPIXELSX:
        case LOGPIXELSY: return 96;
        case BITSPIXEL: return 32;
        case PLANES: return 1;
        case HORZRES: return zem::platform::CurrentDesktop().width;
        case VERTRES: return zem::platform::CurrentDesktop().height;
        default: return 0;
    }
}

DWORD GetSysColor(int index) {
    // The classic desktop palette, fixed so that every run draws alike.
    static constexpr std::array<COLORREF, 31> kPalette = {
        RGB(212, 208, 200), RGB(58, 110, 165),  RGB(10, 36, 106),   RGB(128, 128, 128), RGB(212, 208, 200),
        RGB(255, 255, 255), RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(255, 255, 255),
        RGB(212, 208, 200), RGB(212, 208, 200), RGB(128, 128, 128), RGB(10, 36, 106),   RGB(255, 255, 255),
        RGB(212, 208, 200), RGB(128, 128, 128), RGB(128, 128, 128), RGB(0, 0, 0),       RGB(212, 208, 200),
        RGB(255, 255, 255), RGB(64, 64, 64),    RGB(212, 208, 200), RGB(0, 0, 0),       RGB(255, 255, 225),
        RGB(181, 181, 181), RGB(0, 0, 128),     RGB(166, 202, 240), RGB(192, 192, 192), RGB(10, 36, 106),
        RGB(212, 208, 200)};
    if (index < 0 || index >= static_cast<int>(kPalette.size())) return 0;
    return kPalette[static_cast<std::size_t>(index)];
}

HBRUSH GetSysColorBrush(int index) {
    if (index < 0 || index > COLOR_MENUBAR) return nullptr;
    // System brushes are stock objects of their own.
    static std::array<HBRUSH, COLOR_MENUBAR + 1> brushes{};
    HBRUSH& brush = brushes[static_cast<std::size_t>(index)];
    if (!GdiTable::Instance().Find(brush)) {
        brush = CreateSolidBrush(GetSysColor(index));
        GdiTable::Instance().Find(brush)->stock = true;
    }
    return brush;
}

int MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) return -1;
    // Rounds half away from zero in 64 bits; results beyond 32 bits fail as -1.
    const long long product = static_cast<long long>(number) * numerator;
    long long magnitude = std::llabs(product) + std::llabs(static_cast<long long>(denominator)) / 2;
    magnitude /= std::llabs(static_cast<long long>(denominator));
    const bool negative = (product < 0) != (denominator < 0);
    const long long result = negative ? -magnitude : magnitude;
    if (result > std::numeric_limits<int>::max() || result < std::numeric_limits<int>::min()) return -1;
    return static_cast<int>(result);
}

int SetStretchBltMode(HDC handle, int mode) {
    DeviceContext* dc = GdiTable::Instance().FindDC(handle);
    if (!dc || mode < BLACKONWHITE || mode > HALFTONE) return 0;
    const int previous = dc->stretchMode;
    dc->stretchMode = mode;
    return previous;
}

int GetStretchBltMode(HDC handle) {
    DeviceContext* dc = GdiTable::Instance().FindDC(handle);
    return dc ? dc->stretchMode : 0;
}

COLORREF SetTextColor(HDC handle, COLORREF color) {
    DeviceContext* dc = GdiTable::Instance().FindDC(handle);
    if (!dc) return CLR_INVALID;
    const COLORREF previous = dc->textColor;
    dc->textColor = color & 0xFFFFFF;
    return previous;
}

COLORREF GetTextColor(HDC handle) {
    DeviceContext* dc = GdiTable::Instance().FindDC(handle);
    return dc ? dc->textColor : CLR_INVALID;
}

COLORREF SetBkColor(HDC handle, COLORREF color) {
    DeviceContext* dc = GdiTable::Instance().FindDC(handle);
    if (!dc) return CLR_INVALID;
    const COLORREF previous = dc->backColor;
    dc->backColor = color & 0xFFFFFF;
    return previous;
}

COLORREF GetBkColor(HDC handle) {
    DeviceContext* dc = GdiTable::Instance().FindDC(handle);
    return dc ? dc->backColor : CLR_INVALID;
}

int SetBkMode(HDC handle, int mode) {
    DeviceContext* dc = GdiTable::Instance().FindDC(handle);
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    const int previous = dc->backMode;
    dc->backMode = mode;
    return previous;
}

int GetBkMode(HDC handle) {
    DeviceContext* dc = GdiTable::Instance().FindDC(handle);
    return dc ? dc->backMode : 0;
}
