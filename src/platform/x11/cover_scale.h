// A picture scaled nearest-neighbour to cover a window: one scale for both
// axes, the larger of the two the window asks for, centred, with what
// overflows cut off, so that every window pixel shows a picture pixel.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/geometry.h"

// For each window column and row, the picture column and row it shows.
// Both never decrease.
struct CoverMap {
    std::int32_t source_width = 0, source_height = 0;
    std::vector<std::int32_t> column, row;
};

// Refills `map` for a source_width x source_height picture in a width x
// height window (all at least 1); allocates only when the window grew.
void map_cover(CoverMap& map, std::int32_t source_width, std::int32_t source_height, std::int32_t width,
               std::int32_t height);

// The window pixels that show the picture's `changed` pixels.
Rect covered_by(const CoverMap& map, const Rect& changed);

// Writes `area` of the window picture from the source picture, each pixel
// OR'ed with `fill` (an alpha the window's pixels may need).
struct CoverPicture {
    const std::uint32_t* pixels;
    std::int32_t pitch;  // bytes
};
void scale_cover(const CoverMap& map, CoverPicture source, std::uint32_t* window, std::int32_t window_pitch,
                 const Rect& area, std::uint32_t fill);
