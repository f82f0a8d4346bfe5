// Pictures of 32-bit 0x00RRGGBB pixels written as PNG or binary PPM.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

enum class ImageFormat { png, ppm };

// By the name's extension (.png or .ppm, any case); false for anything else.
bool image_format_for(const std::string& path, ImageFormat& format);

// Writes width x height pixels whose rows start `pitch` bytes apart.
bool write_image(std::FILE* file, ImageFormat format, const std::uint32_t* pixels, int width, int height,
                 std::int32_t pitch);
