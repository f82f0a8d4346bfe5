// The drop brush: a dome-shaped bump added around a point of the present state.
#pragma once

#include <cstdint>

inline constexpr std::int32_t max_drop_radius = 20;

// Adds 800 * (radius^2 - q) to every interior cell at squared distance
// q < radius^2 from (row, column), capped at 65535. The centre may lie
// anywhere; radii outside 0..20 change nothing.
void stamp_drop(std::int32_t row, std::int32_t column, std::int32_t radius);
