// Regions as span lists, region handles, window regions and layered windows.
#include "platform/window/region.h"

#include <algorithm>
#include <cmath>

#include "platform/window/user32.h"
#include "platform/window/window_internal.h"

namespace zem::platform {

Region Region::Rectangle(LONG left, LONG top, LONG right, LONG bottom) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    Region region;
    if (left == right) return region;
    for (LONG y = top; y < bottom; ++y) region.spans_.push_back(RegionSpan{y, left, right});
    return region;
}

Region Region::RoundRectangle(LONG left, LONG top, LONG right, LONG bottom, int ellipseWidth, int ellipseHeight) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    // The shape is one pixel narrower and shorter than the rectangle given.
    const double shapeRight = static_cast<double>(right) - 1.0;
    const double shapeBottom = static_cast<double>(bottom) - 1.0;
    const double width = shapeRight - left;
    const double height = shapeBottom - top;
    if (width <= 0 || height <= 0) return Region{};
    const double radiusX = std::min(std::abs(ellipseWidth) / 2.0, width / 2.0);
    const double radiusY = std::min(std::abs(ellipseHeight) / 2.0, height / 2.0);
    Region region;
    for (LONG y = top; static_cast<double>(y) + 0.5 < shapeBottom; ++y) {
        const double centerY = static_cast<double>(y) + 0.5;
        double leftEdge = left;
        double rightEdge = shapeRight;
        if (radiusX > 0 && radiusY > 0) {
            double dy = 0;
            if (centerY < top + radiusY) dy = top + radiusY - centerY;
            else if (centerY > shapeBottom - radiusY) dy = centerY - (shapeBottom - radiusY);
            if (dy > 0) {
                const double ratio = dy / radiusY;
                const double dx = radiusX * std::sqrt(std::max(0.0, 1.0 - ratio * ratio));
                leftEdge = left + radiusX - dx;
                rightEdge = shapeRight - radiusX + dx;
            }
        }
        // A pixel belongs to the shape when its centre does.
        const auto first = static_cast<LONG>(std::ceil(leftEdge - 0.5));
        const auto last = static_cast<LONG>(std::floor(rightEdge - 0.5));
        if (first <= last) region.spans_.push_back(RegionSpan{y, first, last + 1});
    }
    return region;
}

Region Region::FromSpans(std::vector<RegionSpan> spans) {
    std::erase_if(spans, [](const RegionSpan& span) { return span.left >= span.right; });
    std::sort(spans.begin(), spans.end(), [](const RegionSpan& a, const RegionSpan& b) {
        return a.y != b.y ? a.y < b.y : a.left < b.left;
    });
    Region region;
    for (const RegionSpan& span : spans) {
        if (!region.spans_.empty() && region.spans_.back().y == span.y && span.left <= region.spans_.back().right) {
            region.spans_.back().right = std::max(region.spans_.back().right, span.right);
        } else {
            region.spans_.push_back(span);
        }
    }
    return region;
}

bool Region::Contains(LONG x, LONG y) const {
    auto row = std::lower_bound(spans_.begin(), spans_.end(), y,
                                [](const RegionSpan& span, LONG wanted) { return span.y < wanted; });
    for (; row != spans_.end() && row->y == y; ++row)
        if (x >= row->left && x < row->right) return true;
    return false;
}

RECT Region::Bounds() const {
    if (spans_.empty()) return RECT{};
    RECT bounds{spans_.front().left, spans_.front().y, spans_.front().right, spans_.back().y + 1};
    for (const RegionSpan& span : spans_) {
        bounds.left = std::min(bounds.left, span.left);
        bounds.right = std::max(bounds.right, span.right);
    }
    return bounds;
}

Region Region::Offset(LONG dx, LONG dy) const {
    Region moved = *this;
    for (RegionSpan& span : moved.spans_) {
        span.y += dy;
        span.left += dx;
        span.right += dx;
    }
    return moved;
}

Region Region::Intersect(const Region& other) const {
    std::vector<RegionSpan> result;
    for (const RegionSpan& mine : spans_) {
        for (const RegionSpan& theirs : other.spans_) {
            if (theirs.y != mine.y) continue;
            const LONG left = std::max(mine.left, theirs.left);
            const LONG right = std::min(mine.right, theirs.right);
            if (left < right) result.push_back(RegionSpan{mine.y, left, right});
        }
    }
    return FromSpans(std::move(result));
}

}  // namespace zem::platform

using zem::platform::Region;
using zem::platform::WindowEventKind;
using zem::platform::detail::HandleValue;
using zem::platform::detail::RegionEntry;
using zem::platform::detail::WindowData;
using zem::platform::detail::WindowSystem;

namespace {

WindowSystem& System() { return WindowSystem::Get(); }

HRGN AddRegion(Region region) {
    WindowSystem& system = System();
    // Region handles carry their own tag so DeleteObject can tell them from
    // the drawing layer's objects.
    const std::uintptr_t value = zem::platform::detail::kRegionHandleBase + (++system.nextRegion);
    system.regions.emplace(value, RegionEntry{std::move(region), nullptr});
    return reinterpret_cast<HRGN>(value);
}

RegionEntry* FindRegion(const void* handle) {
    auto& regions = System().regions;
    auto found = regions.find(HandleValue(handle));
    return found == regions.end() ? nullptr : &found->second;
}

int Kind(const Region& region) {
    if (region.IsEmpty()) return NULLREGION;
    const RECT bounds = region.Bounds();
    return static_cast<LONG>(region.Spans().size()) == bounds.bottom - bounds.top &&
                   std::all_of(region.Spans().begin(), region.Spans().end(),
                               [&](const auto& span) { return span.left == bounds.left && span.right == bounds.right; })
               ? SIMPLEREGION
               : COMPLEXREGION;
}

}  // namespace

namespace zem::platform {

const Region* RegionFromHandle(HRGN region) {
    RegionEntry* entry = FindRegion(region);
    return entry != nullptr ? &entry->region : nullptr;
}

bool DeleteRegionObject(HGDIOBJ object, bool* deleted) {
    if (deleted != nullptr) *deleted = false;
    RegionEntry* entry = FindRegion(object);
    if (entry == nullptr) return false;
    // A region a window owns is the window's to free.
    if (entry->owner != nullptr) return true;
    System().regions.erase(HandleValue(object));
    if (deleted != nullptr) *deleted = true;
    return true;
}

}  // namespace zem::platform

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
    return AddRegion(Region::Rectangle(left, top, right, bottom));
}

HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight) {
    return AddRegion(Region::RoundRectangle(left, top, right, bottom, ellipseWidth, ellipseHeight));
}

int SetWindowRgn(HWND window, HRGN region, BOOL) {
    WindowSystem& system = System();
    RegionEntry* entry = FindRegion(region);
    WindowData* data = system.Find(window);
    if (data == nullptr || (region != nullptr && (entry == nullptr || entry->owner != nullptr))) {
        // The caller handed the region over; nobody would free it otherwise.
        if (entry != nullptr && entry->owner == nullptr) system.regions.erase(HandleValue(region));
        return 0;
    }
    if (data->regionHandle != nullptr) system.regions.erase(HandleValue(data->regionHandle));
    data->regionHandle = region;
    if (entry != nullptr) {
        entry->owner = window;
        data->region = std::make_shared<const Region>(entry->region);
    } else {
        data->region.reset();
    }
    system.Invalidate(*data, nullptr);
    system.Notify(WindowEventKind::RegionChanged, window);
    return 1;
}

int GetWindowRgn(HWND window, HRGN region) {
    WindowData* data = System().Find(window);
    RegionEntry* entry = FindRegion(region);
    if (data == nullptr || entry == nullptr || !data->region) return ERROR;
    entry->region = *data->region;
    return Kind(entry->region);
}

BOOL PtInRegion(HRGN region, int x, int y) {
    const Region* found = zem::platform::RegionFromHandle(region);
    return found != nullptr && found->Contains(x, y) ? TRUE : FALSE;
}

int GetRgnBox(HRGN region, RECT* rect) {
    const Region* found = zem::platform::RegionFromHandle(region);
    if (found == nullptr || rect == nullptr) return ERROR;
    *rect = found->Bounds();
    return Kind(*found);
}

BOOL SetLayeredWindowAttributes(HWND window, COLORREF, BYTE alpha, DWORD flags) {
    WindowSystem& system = System();
    WindowData* data = system.Find(window);
    if (data == nullptr || (data->exStyle & WS_EX_LAYERED) == 0) return FALSE;
    // Only the alpha is kept; a colour key is the drawing layer's business if it is ever used.
    if ((flags & LWA_ALPHA) != 0) data->alpha = alpha;
    else data->alpha.reset();
    system.Notify(WindowEventKind::LayeredChanged, window);
    return TRUE;
}
