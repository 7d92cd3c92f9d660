#include "platform/drawing/clip_region.h"

namespace zem::platform {

ClipRegion ClipRegion::FromRect(const RECT& bounds) {
    ClipRegion region;
    region.bounds_ = bounds;
    if (region.bounds_.right < region.bounds_.left) region.bounds_.right = region.bounds_.left;
    if (region.bounds_.bottom < region.bounds_.top) region.bounds_.bottom = region.bounds_.top;
    return region;
}

ClipRegion ClipRegion::FromRows(const RECT& bounds, std::vector<std::vector<Run>> rows) {
    ClipRegion region = FromRect(bounds);
    if (region.IsEmpty()) return region;
    rows.resize(static_cast<std::size_t>(bounds.bottom - bounds.top));
    const bool whole = std::all_of(rows.begin(), rows.end(), [&](const std::vector<Run>& runs) {
        return runs.size() == 1 && runs[0] == Run{bounds.left, bounds.right};
    });
    if (!whole) region.rows_ = std::make_shared<const Rows>(std::move(rows));
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
    if (bounds.right <= bounds.left || bounds.bottom <= bounds.top) {
        *this = FromRect(bounds);
        return;
    }
    std::vector<std::vector<Run>> rows(static_cast<std::size_t>(bounds.bottom - bounds.top));
    for (int y = bounds.top; y < bounds.bottom; ++y) {
        auto& runs = rows[static_cast<std::size_t>(y - bounds.top)];
        ForEachRun(y, bounds.left, bounds.right, [&](int a, int b) {
            other.ForEachRun(y, a, b, [&](int c, int d) { runs.emplace_back(c, d); });
        });
    }
    *this = FromRows(bounds, std::move(rows));
}

}  // namespace zem::platform
