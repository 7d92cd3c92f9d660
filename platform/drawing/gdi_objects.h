// The platform's drawing objects behind the handles of gdi.h: one table maps
// small integer handle values to bitmaps, brushes, fonts and device contexts.
// Values are never reused within a run, so a stale handle fails cleanly.
#pragma once

#include "platform/base/win32_types.h"
#include "platform/drawing/bitmap.h"
#include "platform/drawing/clip_region.h"
#include "platform/drawing/fonts.h"

#include <functional>
#include <memory>
#include <unordered_map>

namespace zem::platform {

enum class ObjectKind { Bitmap, Brush, Font };

struct GdiObject {
    explicit GdiObject(ObjectKind kind) : kind(kind) {}
    virtual ~GdiObject() = default;
    ObjectKind kind;
    int selections = 0;  // how many DCs hold it
    bool stock = false;  // stock objects are never freed
    bool freeWhenReleased = false;  // deleted while selected: freed when the last DC lets go
};

struct BitmapObject : GdiObject {
    BitmapObject() : GdiObject(ObjectKind::Bitmap) {}
    Bitmap pixels;
};

struct BrushObject : GdiObject {
    BrushObject() : GdiObject(ObjectKind::Brush) {}
    COLORREF color = 0;
    bool hollow = false;
};

struct FontObject : GdiObject {
    FontObject() : GdiObject(ObjectKind::Font) {}
    FontDescription description;
    std::shared_ptr<SizedFont> font;  // resolved on first use
};

// What a DC draws onto: a bitmap, where the DC's (0, 0) lies in it, and the
// pixels of the bitmap it may change.
struct DrawTarget {
    Bitmap* pixels = nullptr;
    POINT origin{};
    ClipRegion clip;
};

// Window DCs get their target from the window layer, which registers this;
// `paintClip` is the DC's paint area (its coordinates), or null for all of it.
using WindowTargetProvider = std::function<bool(HWND window, const RECT* paintClip, DrawTarget& target)>;
void SetWindowTargetProvider(WindowTargetProvider provider);

struct DeviceContext {
    HWND window = nullptr;  // none for a memory DC
    bool memory = true;
    HGDIOBJ bitmap = nullptr;
    HGDIOBJ brush = nullptr;
    HGDIOBJ font = nullptr;
    COLORREF textColor = 0x000000;
    COLORREF backColor = 0xFFFFFF;
    int backMode = 2;     // OPAQUE
    int stretchMode = 1;  // BLACKONWHITE
    // Extra clip of the DC (BeginPaint's paint area), in the DC's coordinates.
    bool hasPaintClip = false;
    RECT paintClip{};
};

class GdiTable {
public:
    static GdiTable& Instance();

    std::uintptr_t Add(std::unique_ptr<GdiObject> object);
    GdiObject* Find(HGDIOBJ handle);
    template <typename Object>
    Object* FindAs(HGDIOBJ handle, ObjectKind kind) {
        GdiObject* object = Find(handle);
        return object && object->kind == kind ? static_cast<Object*>(object) : nullptr;
    }
    bool Erase(HGDIOBJ handle);
    // One DC lets go of an object; frees it when it was waiting for that.
    void Release(HGDIOBJ handle);

    HDC AddDC(std::unique_ptr<DeviceContext> dc);
    DeviceContext* FindDC(HDC handle);
    void EraseDC(HDC handle);

    // The target a DC draws onto now, or false when it has none.
    bool Resolve(HDC handle, DrawTarget& target);
    bool ResolveContext(const DeviceContext& dc, DrawTarget& target);
    // The font a DC draws text with.
    SizedFont& FontOf(const DeviceContext& dc);

    HGDIOBJ Stock(int index);
    void SetWindowProvider(WindowTargetProvider provider) { windowProvider_ = std::move(provider); }

    std::size_t LiveObjects() const { return objects_.size(); }
    std::size_t LiveContexts() const { return contexts_.size(); }

private:
    GdiTable() = default;
    std::uintptr_t next_ = 0x100;  // above system-colour brush values (index + 1)
    std::unordered_map<std::uintptr_t, std::unique_ptr<GdiObject>> objects_;
    std::unordered_map<std::uintptr_t, std::unique_ptr<DeviceContext>> contexts_;
    std::unordered_map<int, HGDIOBJ> stock_;
    WindowTargetProvider windowProvider_;
};

// Handle values travel as pointers but are plain integers.
template <typename Handle>
Handle HandleFromValue(std::uintptr_t value) {
    return reinterpret_cast<Handle>(value);
}
template <typename Handle>
std::uintptr_t ValueFromHandle(Handle handle) {
    return reinterpret_cast<std::uintptr_t>(handle);
}

// The live objects and DCs, for tests that check nothing leaks.
std::size_t LiveGdiObjectCount();
std::size_t LiveDeviceContextCount();

}  // namespace zem::platform
