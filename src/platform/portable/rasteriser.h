// Pixel writing for the canvas and the surfaces: spans, lines and polygon
// fills into a 32-bit picture, confined to a list of clip rectangles. All
// coordinates are the picture's own.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/geometry.h"

struct PaintTarget {
    std::uint32_t* pixels = nullptr;
    std::int32_t stride = 0;  // pixels from one row to the next
    const Rect* clip = nullptr;
    std::size_t clip_count = 0;
    Rect* dirty = nullptr;  // grown to cover every pixel written; may be null
};

void fill_rect(const PaintTarget& target, const Rect& rect, std::uint32_t colour);
// From (x0, y0) up to but not including (x1, y1).
void draw_line(const PaintTarget& target, std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
               std::uint32_t colour);
// Even-odd fill of the polygon `points` + `offset`: a pixel is filled when
// its own lattice point lies inside, points on a left or top edge counting
// as inside and on a right or bottom edge as outside.
void fill_polygon(const PaintTarget& target, const Point* points, std::int32_t count, Point offset,
                  std::uint32_t colour);
// Copies the pixels of `source` (row stride in pixels) whose `opaque` byte is
// non-zero, placing source pixel (0, 0) at `at`.
void copy_masked(const PaintTarget& target, Point at, std::int32_t width, std::int32_t height,
                 const std::uint32_t* source, const std::uint8_t* opaque);
