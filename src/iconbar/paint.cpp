#include "iconbar/iconbar.h"

void paint_bar(const IconBar& bar, Canvas* canvas)
{
    const Rect client = client_rect(bar.window);
    PenHandle old_pen = select_pen(canvas, black_pen());
    BrushHandle old_brush = select_brush(canvas, black_brush());

    rectangle(canvas, client.left, client.top, first_button_x, client.bottom);
    const std::int32_t end = button_pitch * bar.count + first_button_x;
    if (end < client.right)
        rectangle(canvas, end, client.top, client.right, client.bottom);
    for (std::int32_t i = 0; i < bar.count; ++i) {
        const std::int32_t x = first_button_x + button_pitch * i;
        if (IconHandle face = bar.face[i][bar.state[i] & 3])
            draw_icon(canvas, x, 0, face);
        // The gap comes after the face and blacks out its transparent columns.
        rectangle(canvas, x + face_size, client.top, x + button_pitch, client.bottom);
    }

    select_brush(canvas, old_brush);
    select_pen(canvas, old_pen);
}

void click_bar(IconBar& bar, std::int32_t x, std::int32_t)
{
    // A button's hot zone is one pixel wider than its face; y does not matter.
    const std::int32_t d = x - first_button_x;
    if (d < 0)
        return;
    const std::int32_t b = d / button_pitch;
    if (b < bar.count && d <= button_pitch * b + face_size)
        press_button(bar, b, click, true, true);
}
