#include "platform/x11/cover_scale.h"

#include <algorithm>
#include <cstring>

namespace {

// Each window pixel shows the picture pixel under its centre. `step` is the
// picture's pixels per window pixel in 16.16 fixed point, the same for both
// axes; the part of the picture shown is centred in it.
void map_axis(std::vector<std::int32_t>& to, std::int32_t source, std::int32_t window, std::int64_t step)
{
    to.resize(static_cast<std::size_t>(window));
    const std::int64_t shown = step * window;
    const std::int64_t start = ((std::int64_t{source} << 16) - shown) / 2;
    for (std::int32_t i = 0; i < window; ++i) {
        const std::int64_t at = (start + step * i + step / 2) >> 16;
        to[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(std::clamp<std::int64_t>(at, 0, source - 1));
    }
}

// The window span [first, last) whose picture indices fall in [low, high).
void span_of(const std::vector<std::int32_t>& to, std::int32_t low, std::int32_t high, std::int32_t& first,
             std::int32_t& last)
{
    first = static_cast<std::int32_t>(std::lower_bound(to.begin(), to.end(), low) - to.begin());
    last = static_cast<std::int32_t>(std::lower_bound(to.begin(), to.end(), high) - to.begin());
}

}  // namespace

void map_cover(CoverMap& map, std::int32_t source_width, std::int32_t source_height, std::int32_t width,
               std::int32_t height)
{
    map.source_width = source_width;
    map.source_height = source_height;
    // The larger scale is the smaller step.
    const std::int64_t step = std::min((std::int64_t{source_width} << 16) / width,
                                       (std::int64_t{source_height} << 16) / height);
    map_axis(map.column, source_width, width, step);
    map_axis(map.row, source_height, height, step);
}

Rect covered_by(const CoverMap& map, const Rect& changed)
{
    Rect r;
    span_of(map.column, changed.left, changed.right, r.left, r.right);
    span_of(map.row, changed.top, changed.bottom, r.top, r.bottom);
    return r.left < r.right && r.top < r.bottom ? r : Rect{};
}

void scale_cover(const CoverMap& map, CoverPicture source, std::uint32_t* window, std::int32_t window_pitch,
                 const Rect& area, std::uint32_t fill)
{
    const std::int32_t* __restrict column = map.column.data();
    const std::size_t row_bytes = sizeof(std::uint32_t) * static_cast<std::size_t>(area.right - area.left);
    std::uint32_t* previous = nullptr;
    for (std::int32_t y = area.top; y < area.bottom; ++y) {
        std::uint32_t* __restrict to = reinterpret_cast<std::uint32_t*>(reinterpret_cast<char*>(window) +
                                                                         std::ptrdiff_t{y} * window_pitch);
        // An enlarged picture repeats rows: copy the one just made.
        if (previous && map.row[static_cast<std::size_t>(y)] == map.row[static_cast<std::size_t>(y) - 1]) {
            std::memcpy(to + area.left, previous, row_bytes);
            previous = to + area.left;
            continue;
        }
        const std::uint32_t* __restrict from = reinterpret_cast<const std::uint32_t*>(
            reinterpret_cast<const char*>(source.pixels) +
            std::ptrdiff_t{map.row[static_cast<std::size_t>(y)]} * source.pitch);
        for (std::int32_t x = area.left; x < area.right; ++x)
            to[x] = from[column[x]] | fill;
        previous = to + area.left;
    }
}
