// The main window's grid: the view with the parameter slider right of it,
// and under it the palette slider and the icon bar.
#pragma once

#include <cstdint>

inline constexpr std::int32_t layout_margin = 20;
inline constexpr std::int32_t layout_gap = 7;
inline constexpr std::int32_t bar_thickness = 23;
inline constexpr std::int32_t client_width = 710;   // 20 + 640 + 7 + 23 + 20
inline constexpr std::int32_t client_height = 580;  // 20 + 480 + 7 + 23 + 7 + 23 + 20

extern std::int32_t layout_x[4];  // view left, view right, slider column left, right
extern std::int32_t layout_y[6];  // view top, bottom, palette slider top, bottom, icon bar top, bottom

void compute_layout(std::int32_t width, std::int32_t height);
std::int32_t span_x(int i, int j);
std::int32_t span_y(int i, int j);
