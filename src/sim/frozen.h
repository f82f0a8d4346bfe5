// The present state drawn without a step: every paused frame and every repaint.
#pragma once

#include <cstdint>

// Pixel (k, r) shows cell (row r + 1, column k + 1) through the displayed
// palette. Sizes beyond the field are cut to it.
void draw_frozen(std::uint32_t* pixels, std::int32_t pitch, std::uint32_t width, std::uint32_t height);
