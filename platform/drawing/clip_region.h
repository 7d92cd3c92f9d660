// The set of pixels a device context may change: a bounding rectangle and,
// when the set is not that whole rectangle, the runs of each row inside it.
#pragma once

#include "platform/base/win32_types.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace zem::platform {

class ClipRegion {
public:
    using Run = std::pair<int, int>;  // [first, last) of a row

    ClipRegion() = default;
    // Every pixel of `bounds`.
    static ClipRegion FromRect(const RECT& bounds);
    // The runs of each row of `bounds` (rows[0] is row bounds.top), sorted,
    // apart and inside the bounds.
    static ClipRegion FromRows(const RECT& bounds, std::vector<std::vector<Run>> rows);
    // The pixels of `bounds` for which inside(x, y) holds.
    template <typename Predicate>
    static ClipRegion FromPredicate(const RECT& bounds, Predicate inside);

    const RECT& Bounds() const { return bounds_; }
    bool IsEmpty() const { return bounds_.right <= bounds_.left || bounds_.bottom <= bounds_.top; }
    // True when every pixel of the bounds is inside: blits can copy whole rows.
    bool IsRectangle() const { return !rows_; }
    bool Contains(int x, int y) const;

    // The pieces of [first, last) on row y that lie inside, left to right.
    template <typename Visit>
    void ForEachRun(int y, int first, int last, Visit visit) const;

    // Keeps only what also lies inside `other`.
    void Intersect(const ClipRegion& other);

private:
    using Rows = std::vector<std::vector<Run>>;
    RECT bounds_{};
    // Null: the whole rectangle. Shared and never changed once made, so a
    // copy of a clip (every drawing call takes one) costs no row copies.
    std::shared_ptr<const Rows> rows_;
};

inline RECT IntersectRects(const RECT& a, const RECT& b) {
    RECT result{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
    if (result.right < result.left) result.right = result.left;
    if (result.bottom < result.top) result.bottom = result.top;
    return result;
}

template <typename Predicate>
ClipRegion ClipRegion::FromPredicate(const RECT& bounds, Predicate inside) {
    ClipRegion region = FromRect(bounds);
    if (region.IsEmpty()) return region;
    bool whole = true;
    std::vector<std::vector<Run>> rows(static_cast<std::size_t>(bounds.bottom - bounds.top));
    for (int y = bounds.top; y < bounds.bottom; ++y) {
        auto& runs = rows[static_cast<std::size_t>(y - bounds.top)];
        int start = -1;
        for (int x = bounds.left; x <= bounds.right; ++x) {
            const bool in = x < bounds.right && inside(x, y);
            if (in && start < 0) start = x;
            if (!in && start >= 0) {
                runs.emplace_back(start, x);
                start = -1;
            }
        }
        if (runs.size() != 1 || runs[0] != Run{bounds.left, bounds.right}) whole = false;
    }
    if (!whole) region.rows_ = std::make_shared<const Rows>(std::move(rows));
    return region;
}

template <typename Visit>
void ClipRegion::ForEachRun(int y, int first, int last, Visit visit) const {
    if (y < bounds_.top || y >= bounds_.bottom) return;
    first = std::max<int>(first, bounds_.left);
    last = std::min<int>(last, bounds_.right);
    if (first >= last) return;
    if (!rows_) {
        visit(first, last);
        return;
    }
    for (const auto& [runFirst, runLast] : (*rows_)[static_cast<std::size_t>(y - bounds_.top)]) {
        const int a = std::max(first, runFirst);
        const int b = std::min(last, runLast);
        if (a < b) visit(a, b);
    }
}

}  // namespace zem::platform
