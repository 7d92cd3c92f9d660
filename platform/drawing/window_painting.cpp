#include "platform/drawing/window_painting.h"

#include "platform/drawing/gdi.h"
#include "platform/drawing/gdi_objects.h"
#include "platform/drawing/png_writer.h"
#include "platform/window/user32.h"
#include "platform/window/window_system.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_map>

namespace zem::platform {

HDC CreateWindowContext(HWND window);
void DestroyContext(HDC handle);

namespace {

std::uint64_t g_surfaceDraws = 0;

RECT SizeOf(const RECT& rect) { return {0, 0, rect.right - rect.left, rect.bottom - rect.top}; }

ClipRegion ClipFromRegion(const Region& region, LONG dx, LONG dy, const RECT& limit) {
    const RECT bounds = IntersectRects(region.Offset(dx, dy).Bounds(), limit);
    if (bounds.right <= bounds.left || bounds.bottom <= bounds.top) return ClipRegion::FromRect(bounds);
    std::vector<std::vector<ClipRegion::Run>> rows(static_cast<std::size_t>(bounds.bottom - bounds.top));
    for (const RegionSpan& span : region.Spans()) {
        const LONG y = span.y + dy;
        if (y < bounds.top || y >= bounds.bottom) continue;
        const int left = std::max<int>(span.left + dx, bounds.left);
        const int right = std::min<int>(span.right + dx, bounds.right);
        if (left < right) rows[static_cast<std::size_t>(y - bounds.top)].emplace_back(left, right);
    }
    return ClipRegion::FromRows(bounds, std::move(rows));
}

// The surfaces, one per window that was drawn on, kept in step with the
// window's size and dropped with the window.
class SurfaceStore {
public:
    static SurfaceStore& Instance() {
        static SurfaceStore store;
        return store;
    }

    Bitmap* Find(HWND window) {
        if (!window) return &desktop_;
        if (!IsLiveWindow(window)) {
            surfaces_.erase(ValueFromHandle(window));
            return nullptr;
        }
        const RECT size = SizeOf(WindowScreenRect(window));
        Bitmap& surface = surfaces_[ValueFromHandle(window)];
        // A new size keeps what the old surface showed at the top left.
        surface.Resize(size.right, size.bottom, PixelFromColor(kNewSurfaceColor));
        return &surface;
    }

    // Notes that `area` of `window` (its coordinates) may have changed, in
    // the coordinates of its top-level window.
    void NoteDrawn(HWND window, RECT area) {
        HWND top = window;
        while (HWND parent = ParentWindow(top)) top = parent;
        const RECT placed = WindowScreenRect(window);
        const RECT topPlaced = WindowScreenRect(top);
        const LONG dx = placed.left - topPlaced.left;
        const LONG dy = placed.top - topPlaced.top;
        area = {area.left + dx, area.top + dy, area.right + dx, area.bottom + dy};
        auto [entry, added] = drawn_.try_emplace(ValueFromHandle(top), area);
        RECT& all = entry->second;
        if (!added)
            all = {std::min(all.left, area.left), std::min(all.top, area.top), std::max(all.right, area.right),
                   std::max(all.bottom, area.bottom)};
    }

    std::optional<RECT> TakeDrawn(HWND top) {
        auto found = drawn_.find(ValueFromHandle(top));
        if (found == drawn_.end()) return std::nullopt;
        const RECT area = found->second;
        drawn_.erase(found);
        return area;
    }

    Bitmap& Desktop() {
        const DesktopSettings desktop = CurrentDesktop();
        if (desktop_.Width() != desktop.width || desktop_.Height() != desktop.height)
            desktop_ = Bitmap(desktop.width, desktop.height, PixelFromColor(GetSysColor(COLOR_BACKGROUND)));
        return desktop_;
    }

private:
    SurfaceStore()
        : observer_([this](const WindowEvent& event) {
              if (event.kind == WindowEventKind::Destroyed) {
                  surfaces_.erase(ValueFromHandle(event.window));
                  regionClips_.erase(ValueFromHandle(event.window));
                  drawn_.erase(ValueFromHandle(event.window));
              }
          }) {
        SetWindowTargetProvider([this](HWND window, const RECT* paintClip, DrawTarget& target) {
            return Target(window, paintClip, target);
        });
    }

    bool Target(HWND window, const RECT* paintClip, DrawTarget& target) {
        if (!window) {
            target.pixels = &Desktop();
            target.origin = {0, 0};
            target.clip = ClipRegion::FromRect({0, 0, target.pixels->Width(), target.pixels->Height()});
            return true;
        }
        Bitmap* surface = Find(window);
        if (!surface) return false;
        ++g_surfaceDraws;
        target.pixels = surface;
        target.origin = {0, 0};
        const RECT whole{0, 0, surface->Width(), surface->Height()};
        const auto region = WindowRegion(window);
        target.clip = region ? RegionClip(window, region, whole) : ClipRegion::FromRect(whole);
        // Whatever the DC draws stays inside its clip: that much of the
        // window is to be shown anew.
        RECT drawn = target.clip.Bounds();
        if (paintClip != nullptr) drawn = IntersectRects(drawn, *paintClip);
        if (drawn.left < drawn.right && drawn.top < drawn.bottom) NoteDrawn(window, drawn);
        return true;
    }

    // A window's region as a clip, converted once per region and size: every
    // drawing call on the window asks for it, and a tall region costs a
    // conversion of all its rows each time.
    const ClipRegion& RegionClip(HWND window, const std::shared_ptr<const Region>& region, const RECT& whole) {
        RegionClipEntry& entry = regionClips_[ValueFromHandle(window)];
        if (entry.region != region || entry.whole.right != whole.right || entry.whole.bottom != whole.bottom) {
            entry.region = region;
            entry.whole = whole;
            entry.clip = ClipFromRegion(*region, 0, 0, whole);
        }
        return entry.clip;
    }

    struct RegionClipEntry {
        std::shared_ptr<const Region> region;
        RECT whole{};
        ClipRegion clip;
    };
    std::unordered_map<std::uintptr_t, RegionClipEntry> regionClips_;

    std::unordered_map<std::uintptr_t, Bitmap> surfaces_;
    // By top-level window: the bounds of what was drawn since it was last taken.
    std::unordered_map<std::uintptr_t, RECT> drawn_;
    Bitmap desktop_;
    WindowObserverRegistration observer_;
};

// Draws `window` and its children into `layer`, whose (0, 0) is the screen
// point `layerOrigin`; only pixels inside `limit` (layer coordinates) change.
void DrawSubtree(HWND window, Bitmap& layer, POINT layerOrigin, const ClipRegion& limit) {
    const RECT screen = WindowScreenRect(window);
    const RECT placed{screen.left - layerOrigin.x, screen.top - layerOrigin.y, screen.right - layerOrigin.x,
                      screen.bottom - layerOrigin.y};
    ClipRegion clip = limit;
    const auto region = WindowRegion(window);
    clip.Intersect(region ? ClipFromRegion(*region, placed.left, placed.top, placed) : ClipRegion::FromRect(placed));
    if (clip.IsEmpty()) return;
    const Bitmap* surface = SurfaceStore::Instance().Find(window);
    if (!surface) return;
    for (int y = clip.Bounds().top; y < clip.Bounds().bottom; ++y) {
        const Pixel* source = surface->Row(y - placed.top) - placed.left;
        Pixel* target = layer.Row(y);
        clip.ForEachRun(y, clip.Bounds().left, clip.Bounds().right,
                        [&](int a, int b) { std::copy(source + a, source + b, target + a); });
    }
    const auto children = ChildWindows(window);
    for (auto child = children.rbegin(); child != children.rend(); ++child)
        if (IsOwnVisible(*child)) DrawSubtree(*child, layer, layerOrigin, clip);
}

}  // namespace

std::uint64_t SurfaceDrawCount() { return g_surfaceDraws; }

Bitmap* WindowSurface(HWND window) { return window ? SurfaceStore::Instance().Find(window) : nullptr; }

void SurfaceDrawn(HWND window, const RECT& area) {
    if (!window || !IsLiveWindow(window) || area.left >= area.right || area.top >= area.bottom) return;
    ++g_surfaceDraws;
    SurfaceStore::Instance().NoteDrawn(window, area);
}

std::optional<RECT> TakeDrawnArea(HWND window) { return SurfaceStore::Instance().TakeDrawn(window); }

Bitmap ComposeWindow(HWND window) {
    if (!IsLiveWindow(window)) return {};
    const RECT size = SizeOf(WindowScreenRect(window));
    Bitmap layer(size.right, size.bottom);
    ComposeWindowArea(window, layer, size);
    return layer;
}

void ComposeWindowArea(HWND window, Bitmap& layer, const RECT& area) {
    if (!IsLiveWindow(window)) return;
    const RECT screen = WindowScreenRect(window);
    const RECT size = SizeOf(screen);
    layer.Resize(size.right, size.bottom, 0);
    const RECT limit = IntersectRects(area, size);
    if (limit.right <= limit.left || limit.bottom <= limit.top) return;
    // What no surface covers (outside the window's region) is black.
    layer.Fill(limit, 0);
    DrawSubtree(window, layer, {screen.left, screen.top}, ClipRegion::FromRect(limit));
}

Bitmap ComposeScreen() {
    auto& store = SurfaceStore::Instance();
    Bitmap screen = store.Desktop();
    const RECT whole{0, 0, screen.Width(), screen.Height()};
    const auto tops = TopLevelWindows();
    for (auto top = tops.rbegin(); top != tops.rend(); ++top) {
        if (!IsEffectivelyVisible(*top)) continue;
        const std::optional<BYTE> alpha = LayeredAlpha(*top);
        if (!alpha || *alpha == 255) {
            DrawSubtree(*top, screen, {0, 0}, ClipRegion::FromRect(whole));
            continue;
        }
        if (*alpha == 0) continue;
        // A layered window is drawn whole, then blended over what lies below.
        const RECT rect = WindowScreenRect(*top);
        Bitmap layer = ComposeWindow(*top);
        const auto region = WindowRegion(*top);
        const RECT placed = IntersectRects(rect, whole);
        ClipRegion clip = region ? ClipFromRegion(*region, rect.left, rect.top, placed) : ClipRegion::FromRect(placed);
        const unsigned a = *alpha;
        for (int y = clip.Bounds().top; y < clip.Bounds().bottom; ++y) {
            const Pixel* over = layer.Row(y - rect.top) - rect.left;
            Pixel* under = screen.Row(y);
            clip.ForEachRun(y, clip.Bounds().left, clip.Bounds().right, [&](int first, int last) {
                for (int x = first; x < last; ++x) {
                    auto channel = [&](int shift) {
                        return ((((over[x] >> shift) & 0xFF) * a + ((under[x] >> shift) & 0xFF) * (255 - a) + 127) /
                                255)
                               << shift;
                    };
                    under[x] = channel(16) | channel(8) | channel(0);
                }
            });
        }
    }
    return screen;
}

bool WriteScreenSnapshot(const std::string& path) { return WritePng(ComposeScreen(), path); }

bool WriteWindowSnapshot(HWND window, const std::string& path) { return WritePng(ComposeWindow(window), path); }

std::optional<std::string> SnapshotRequest::WriteOnce() {
    if (done_ || path_.empty()) return std::nullopt;
    done_ = true;
    if (!WriteScreenSnapshot(path_)) return std::nullopt;
    return path_;
}

std::optional<std::string> WriteRequestedSnapshot() {
    static SnapshotRequest request([] {
        const char* path = std::getenv("ZEM_SNAPSHOT");
        return std::string(path ? path : "");
    }());
    return request.WriteOnce();
}

}  // namespace zem::platform

using zem::platform::DeviceContext;
using zem::platform::GdiTable;

HDC GetDC(HWND window) {
    if (window && !zem::platform::IsLiveWindow(window)) return nullptr;
    zem::platform::SurfaceStore::Instance();  // window DCs need the surfaces in place
    return zem::platform::CreateWindowContext(window);
}

HDC GetWindowDC(HWND window) { return GetDC(window); }

int ReleaseDC(HWND, HDC dc) {
    DeviceContext* context = GdiTable::Instance().FindDC(dc);
    if (!context || context->memory) return 0;
    zem::platform::DestroyContext(dc);
    return 1;
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
    if (!paint || !zem::platform::IsLiveWindow(window)) return nullptr;
    const RECT screen = zem::platform::WindowScreenRect(window);
    const RECT whole{0, 0, screen.right - screen.left, screen.bottom - screen.top};
    *paint = PAINTSTRUCT{};
    paint->rcPaint = zem::platform::UpdateRectOf(window).value_or(whole);
    paint->hdc = GetDC(window);
    if (DeviceContext* context = GdiTable::Instance().FindDC(paint->hdc)) {
        context->hasPaintClip = true;
        context->paintClip = paint->rcPaint;
    }
    ValidateRect(window, nullptr);
    return paint->hdc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) {
    if (!paint) return FALSE;
    return ReleaseDC(window, paint->hdc) ? TRUE : FALSE;
}
