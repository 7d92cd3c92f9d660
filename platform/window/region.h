// A set of pixels held as horizontal spans, one list per row: what a window
// region is, and what the drawing layer clips with.
#pragma once

#include <vector>

#include "platform/base/win32_types.h"

namespace zem::platform {

// The pixels [left, right) of row y.
struct RegionSpan {
    LONG y = 0;
    LONG left = 0;
    LONG right = 0;
    friend bool operator==(const RegionSpan&, const RegionSpan&) = default;
};

class Region {
public:
    Region() = default;
    // The pixels [left, right) x [top, bottom).
    static Region Rectangle(LONG left, LONG top, LONG right, LONG bottom);
    // A rectangle with corners rounded by an ellipse of ellipseWidth x ellipseHeight.
    // Like the desktop platform's rounded regions, the shape keeps one pixel off the
    // right and bottom edges: it covers [left, right - 1) x [top, bottom - 1).
    static Region RoundRectangle(LONG left, LONG top, LONG right, LONG bottom, int ellipseWidth,
                                 int ellipseHeight);
    // Built from spans in any order; empty and overlapping spans are merged away.
    static Region FromSpans(std::vector<RegionSpan> spans);

    bool Contains(LONG x, LONG y) const;
    bool IsEmpty() const { return spans_.empty(); }
    // The smallest rectangle holding every pixel; all zero when empty.
    RECT Bounds() const;
    // Sorted by row, then by left; spans of one row never touch or overlap.
    const std::vector<RegionSpan>& Spans() const { return spans_; }
    Region Offset(LONG dx, LONG dy) const;
    Region Intersect(const Region& other) const;

    friend bool operator==(const Region&, const Region&) = default;

private:
    std::vector<RegionSpan> spans_;
};

}  // namespace zem::platform
