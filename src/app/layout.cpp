#include "app/layout.h"

#include <algorithm>

std::int32_t layout_x[4];
std::int32_t layout_y[6];
bool phone_layout = false;

namespace {

// The view keeps 640 x 480 and is centred when there is room; otherwise it
// gives way, down to 100 pixels.
void place_view(std::int32_t size, std::int32_t reference, std::int32_t view, std::int32_t allowance,
                std::int32_t& low, std::int32_t& high)
{
    if (size > reference) {
        low = layout_margin + (size - reference) / 2;
        high = low + view;
    } else {
        low = layout_margin;
        high = low + (size - allowance >= 100 ? size - allowance : 100);
    }
}

}  // namespace

void compute_layout(std::int32_t width, std::int32_t height)
{
    place_view(width, client_width, 640, client_width - 640, layout_x[0], layout_x[1]);
    layout_x[2] = layout_x[1] + layout_gap;
    layout_x[3] = layout_x[2] + bar_thickness;

    place_view(height, client_height, 480, client_height - 480, layout_y[0], layout_y[1]);
    layout_y[2] = layout_y[1] + layout_gap;
    layout_y[3] = layout_y[2] + bar_thickness;
    layout_y[4] = layout_y[3] + layout_gap;
    layout_y[5] = layout_y[4] + bar_thickness;
}

std::int32_t span_x(int i, int j) { return layout_x[j] - layout_x[i]; }
std::int32_t span_y(int i, int j) { return layout_y[j] - layout_y[i]; }

void phone_cells(std::int32_t width, LayoutCell (&cells)[4])
{
    // Wider than tall, the parameter slider is created lying down too.
    const std::int32_t length = std::max(width - phone_sliders_left, phone_shortest_slider);
    cells[0] = {0, 0, 640, 480};
    cells[1] = {phone_sliders_left, 0, length, bar_thickness};
    cells[2] = {phone_sliders_left, bar_thickness + layout_gap, length, bar_thickness};
    cells[3] = {0, 480 + layout_gap, 640, bar_thickness};
}
