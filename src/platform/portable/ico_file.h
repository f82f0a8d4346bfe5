// Reading .ico files: the icon resources are stored as the files a Windows
// build compiles, so the portable build decodes the same bytes itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct IcoImage {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top row first
    std::vector<std::uint8_t> opaque;   // one per pixel: 1 where the icon is drawn, 0 where transparent
};

// Decodes the 32x32 image of an icon file (the first image when there is
// none of that size). Takes 4-bit and 8-bit paletted and 32-bit BGRA
// images; refuses PNG-compressed images and anything malformed, leaving
// `image` untouched and saying why in `error`. Reads only data[0..size).
bool parse_ico(const std::uint8_t* data, std::size_t size, IcoImage& image, std::string& error);
