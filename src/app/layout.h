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

// The phone's arrangement of the same windows, for a page that shows each of
// them at its own scale where a finger can reach it: the view at its full
// size in the corner, the icon bar under it, and both sliders lying right of
// it, as long as the client is wide beyond the view (so a rotation is a
// resize). Chosen before start-up, by the page or by a replay made so.
extern bool phone_layout;

struct LayoutCell {
    std::int32_t x, y, width, height;
};
inline constexpr std::int32_t phone_sliders_left = 640 + layout_gap;
inline constexpr std::int32_t phone_client_height = 480 + layout_gap + bar_thickness;
inline constexpr std::int32_t phone_shortest_slider = 100;

// The children's cells for a client `width` wide, in the order they are
// created: view, parameter slider, palette slider, icon bar.
void phone_cells(std::int32_t width, LayoutCell (&cells)[4]);
