#include "platform/drawing/clip_region.h"

namespace zem::platform {

ClipRegion ClipRegion::FromRect(const RECT& bounds) {
    ClipRegion region;
    region.bounds_ = bounds;
    if (region.bounds_.right < region.bounds_.left) region.bounds_.right = region.bounds_.left;
    if (region.bounds_.bottom < region.bounds_.top) region.bounds_.bottom = region.bounds_.top;
    return region;
}

bool ClipRegion::Contains(int x, int y) const {
    bool inside = false;
    ForEachRun(y, x, x + 1, [&](int, int) { inside = true; });
    return inside;
}

void ClipRegion::Intersect(const ClipRegion& other) {
    const RECT bounds = IntersectRects(bounds_, other.bounds_);
    if (IsRectangle() && other.IsRectangle()) {
        bounds_ = bounds;
        return;
    }
    const ClipRegion self = *this;
    *this = FromPredicate(bounds, [&](int x, int y) { return self.Contains(x, y) && other.Contains(x, y); });
}

}  // namespace zem::platform
