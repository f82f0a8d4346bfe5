// Reading the title picture's bitmap file: a 1-bit uncompressed BMP, the
// only kind the program stores.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct MonoBitmap {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t bytes_per_row = 0;  // rows are padded to whole 32-bit words
    // height * bytes_per_row bytes, bottom row first, most significant bit
    // leftmost; 1 = white, whatever order the file's colour table has.
    // Bits past the width are 0.
    std::vector<std::uint8_t> bits;
};

// Decodes a 1-bit uncompressed BMP. Anything else (other depths,
// compression, truncated data, absurd sizes) is refused, leaving `bitmap`
// untouched and saying why in `error`. Reads only data[0..size).
bool parse_mono_bmp(const std::uint8_t* data, std::size_t size, MonoBitmap& bitmap, std::string& error);
