// Icons of the portable system: a picture and its opacity mask. The icon
// resources are turned into these by load_icon; tests make their own.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/window.h"

struct Icon {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, row by row
    std::vector<std::uint8_t> opaque;   // one per pixel, non-zero where the icon is drawn
};

// Copies width x height pixels and mask bytes. Null for an empty size.
IconHandle make_icon(std::int32_t width, std::int32_t height, const std::uint32_t* pixels,
                     const std::uint8_t* opaque);
void destroy_icon(IconHandle icon);
