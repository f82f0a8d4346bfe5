// The title picture as the stamp reads it: rows of bits, bottom row first,
// most significant bit leftmost, 1 for white.
#pragma once

#include <cstdint>
#include <vector>

struct PictureBits {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t bytes_per_row = 0;
    std::vector<std::uint8_t> bits;  // height * bytes_per_row
};

// False when the bitmap resource is missing or unreadable.
bool load_picture_bits(std::int32_t resource_id, PictureBits& picture);
