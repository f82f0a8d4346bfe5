#include "platform/portable/rasteriser.h"

#include <algorithm>
#include <array>
#include <vector>

#include "platform/portable/rects.h"

namespace {

// Products of two 33-bit coordinate differences need more than 64 bits.
using Wide = __int128;

std::int64_t floor_div(Wide a, Wide b)  // b > 0
{
    const Wide q = a / b;
    return static_cast<std::int64_t>((a % b != 0 && a < 0) ? q - 1 : q);
}

std::int64_t ceil_div(Wide a, Wide b)  // b > 0
{
    return -floor_div(-a, b);
}

Rect clip_bounds(const PaintTarget& target)
{
    Rect box;
    for (std::size_t i = 0; i < target.clip_count; ++i)
        box = rect_union(box, target.clip[i]);
    return box;
}

void plot(const PaintTarget& target, std::int64_t x, std::int64_t y, std::uint32_t colour)
{
    const Point p{static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)};
    for (std::size_t i = 0; i < target.clip_count; ++i) {
        if (rect_contains(target.clip[i], p)) {
            target.pixels[static_cast<std::ptrdiff_t>(p.y) * target.stride + p.x] = colour;
            if (target.dirty)
                *target.dirty = rect_union(*target.dirty, {p.x, p.y, p.x + 1, p.y + 1});
            return;
        }
    }
}

std::int32_t clamp32(std::int64_t v)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

}  // namespace

void fill_rect(const PaintTarget& target, const Rect& rect, std::uint32_t colour)
{
    for (std::size_t i = 0; i < target.clip_count; ++i) {
        const Rect r = rect_intersect(rect, target.clip[i]);
        if (rect_empty(r))
            continue;
        for (std::int32_t y = r.top; y < r.bottom; ++y) {
            std::uint32_t* row = target.pixels + static_cast<std::ptrdiff_t>(y) * target.stride;
            std::fill(row + r.left, row + r.right, colour);
        }
        if (target.dirty)
            *target.dirty = rect_union(*target.dirty, r);
    }
}

void draw_line(const PaintTarget& target, std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
               std::uint32_t colour)
{
    if (y0 == y1) {
        const Rect span = x1 > x0 ? Rect{x0, y0, x1, y0 + 1} : Rect{x1 + 1, y0, x0 + 1, y0 + 1};
        fill_rect(target, span, colour);
        return;
    }
    if (x0 == x1) {
        const Rect span = y1 > y0 ? Rect{x0, y0, x0 + 1, y1} : Rect{x0, y1 + 1, x0 + 1, y0 + 1};
        fill_rect(target, span, colour);
        return;
    }
    // One pixel per step along the longer axis, the other coordinate rounded
    // to the nearest pixel; steps are limited to the clip's extent so that
    // far-away end points cost nothing.
    const std::int64_t dx = std::int64_t{x1} - x0;
    const std::int64_t dy = std::int64_t{y1} - y0;
    const bool steep = (dy < 0 ? -dy : dy) > (dx < 0 ? -dx : dx);
    const std::int64_t major = steep ? (dy < 0 ? -dy : dy) : (dx < 0 ? -dx : dx);
    const std::int64_t minor_delta = steep ? dx : dy;
    const std::int64_t start = steep ? y0 : x0;
    const std::int64_t minor_start = steep ? x0 : y0;
    const std::int64_t step = (steep ? dy : dx) < 0 ? -1 : 1;

    const Rect bounds = clip_bounds(target);
    if (rect_empty(bounds))
        return;
    const std::int64_t lo = steep ? bounds.top : bounds.left;
    const std::int64_t hi = steep ? bounds.bottom : bounds.right;  // exclusive
    std::int64_t first = 0;
    std::int64_t last = major;  // exclusive
    if (step > 0) {
        first = std::max(first, lo - start);
        last = std::min(last, hi - start);
    } else {
        first = std::max(first, start - (hi - 1));
        last = std::min(last, start - lo + 1);
    }
    for (std::int64_t k = first; k < last; ++k) {
        const std::int64_t along = start + step * k;
        const std::int64_t across = minor_start + floor_div(Wide{2} * k * minor_delta + major, Wide{2} * major);
        if (steep)
            plot(target, across, along, colour);
        else
            plot(target, along, across, colour);
    }
}

void fill_polygon(const PaintTarget& target, const Point* points, std::int32_t count, Point offset,
                  std::uint32_t colour)
{
    if (count < 3)
        return;
    const Rect bounds = clip_bounds(target);
    std::int64_t top = INT64_MAX;
    std::int64_t bottom = INT64_MIN;
    for (std::int32_t i = 0; i < count; ++i) {
        top = std::min<std::int64_t>(top, std::int64_t{points[i].y} + offset.y);
        bottom = std::max<std::int64_t>(bottom, std::int64_t{points[i].y} + offset.y);
    }
    top = std::max<std::int64_t>(top, bounds.top);
    bottom = std::min<std::int64_t>(bottom, bounds.bottom);

    // Crossings of one row: a polygon has at most one per edge.
    std::array<std::int64_t, 64> fixed;
    std::vector<std::int64_t> spill;
    std::int64_t* crossings = fixed.data();
    if (static_cast<std::size_t>(count) > fixed.size()) {
        spill.resize(static_cast<std::size_t>(count));
        crossings = spill.data();
    }
    for (std::int64_t y = top; y < bottom; ++y) {
        std::int32_t n = 0;
        for (std::int32_t i = 0; i < count; ++i) {
            const Point& a = points[i];
            const Point& b = points[(i + 1) % count];
            if (a.y == b.y)
                continue;
            const Point& upper = a.y < b.y ? a : b;
            const Point& lower = a.y < b.y ? b : a;
            const std::int64_t row = y - offset.y;
            if (row < upper.y || row >= lower.y)
                continue;
            const Wide num = Wide{row - upper.y} * (std::int64_t{lower.x} - upper.x);
            crossings[n++] = upper.x + offset.x + ceil_div(num, std::int64_t{lower.y} - upper.y);
        }
        std::sort(crossings, crossings + n);
        for (std::int32_t i = 0; i + 1 < n; i += 2) {
            const std::int32_t yy = static_cast<std::int32_t>(y);
            fill_rect(target, {clamp32(crossings[i]), yy, clamp32(crossings[i + 1]), yy + 1}, colour);
        }
    }
}

void copy_masked(const PaintTarget& target, Point at, std::int32_t width, std::int32_t height,
                 const std::uint32_t* source, const std::uint8_t* opaque)
{
    const Rect placed{at.x, at.y, at.x + width, at.y + height};
    for (std::size_t i = 0; i < target.clip_count; ++i) {
        const Rect r = rect_intersect(placed, target.clip[i]);
        if (rect_empty(r))
            continue;
        for (std::int32_t y = r.top; y < r.bottom; ++y) {
            const std::ptrdiff_t from = static_cast<std::ptrdiff_t>(y - at.y) * width - at.x;
            std::uint32_t* row = target.pixels + static_cast<std::ptrdiff_t>(y) * target.stride;
            for (std::int32_t x = r.left; x < r.right; ++x)
                if (opaque[from + x])
                    row[x] = source[from + x];
        }
        if (target.dirty)
            *target.dirty = rect_union(*target.dirty, r);
    }
}
