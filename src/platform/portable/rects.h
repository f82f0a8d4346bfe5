// Rectangle arithmetic shared by the window system, the rasteriser and the
// surfaces. All rectangles are half-open: [left, right) x [top, bottom).
#pragma once

#include <vector>

#include "platform/geometry.h"

inline bool rect_empty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

inline Rect rect_intersect(const Rect& a, const Rect& b)
{
    Rect r{a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
           a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom};
    return rect_empty(r) ? Rect{} : r;
}

// The bounding box of both; an empty rectangle adds nothing.
inline Rect rect_union(const Rect& a, const Rect& b)
{
    if (rect_empty(a))
        return rect_empty(b) ? Rect{} : b;
    if (rect_empty(b))
        return a;
    return {a.left < b.left ? a.left : b.left, a.top < b.top ? a.top : b.top,
            a.right > b.right ? a.right : b.right, a.bottom > b.bottom ? a.bottom : b.bottom};
}

inline Rect rect_offset(const Rect& r, Point by) { return {r.left + by.x, r.top + by.y, r.right + by.x, r.bottom + by.y}; }

inline bool rect_contains(const Rect& r, Point p)
{
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

// Removes `hole` from a region held as disjoint rectangles. `scratch` is
// reused storage, so that a region computed once per paint or blit stops
// allocating after the first time.
void subtract_rect(std::vector<Rect>& region, const Rect& hole, std::vector<Rect>& scratch);
