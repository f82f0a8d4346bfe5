#include "app/main_window.h"

#include "app/flags.h"
#include "app/layout.h"
#include "app/view_window.h"
#include "display/display_window.h"
#include "iconbar/iconbar.h"
#include "platform/canvas.h"
#include "slider/slider.h"
#include "slider/slider_window.h"

MessageHook main_window_extras = nullptr;

namespace {

struct Cell {
    std::int32_t x, y, width, height;
};

// The children's cells on the current grid.
Cell view_cell() { return {layout_x[0], layout_y[0], span_x(0, 1), span_y(0, 1)}; }
Cell parameter_cell() { return {layout_x[2], layout_y[0], span_x(2, 3), span_y(0, 1)}; }
Cell palette_cell() { return {layout_x[0], layout_y[2], span_x(0, 1), span_y(2, 3)}; }
Cell iconbar_cell() { return {layout_x[0], layout_y[4], span_x(0, 1), span_y(4, 5)}; }

// A resize can come while the children are still being created.
void move_to_cell(WindowHandle child, const Cell& c)
{
    if (child)
        move_window(child, c.x, c.y, c.width, c.height, true);
}

// A 710 x 580 client area, with the top-left corner inside the work area.
void size_at_creation(WindowHandle window)
{
    const Rect outer = adjust_window_rect({0, 0, client_width, client_height});
    set_window_pos(window, 0, 0, rect_width(outer), rect_height(outer), true, false);
    const Rect work = work_area();
    const Rect placed = window_rect(window);
    set_window_pos(window, placed.left < work.left ? work.left : placed.left,
                   placed.top < work.top ? work.top : placed.top, 0, 0, false, true);
}

void paint_black(WindowHandle window)
{
    const Rect client = client_rect(window);
    Canvas* canvas = begin_paint(window);
    PenHandle old_pen = select_pen(canvas, black_pen());
    BrushHandle old_brush = select_brush(canvas, black_brush());
    rectangle(canvas, 0, 0, client.right, client.bottom);
    select_brush(canvas, old_brush);
    select_pen(canvas, old_pen);
    end_paint(window, canvas);
}

}  // namespace

bool create_children(WindowHandle main_window)
{
    const Rect client = client_rect(main_window);
    compute_layout(rect_width(client), rect_height(client));
    const Cell view = view_cell(), parameter = parameter_cell(), palette = palette_cell(), bar = iconbar_cell();
    return create_view_window(main_window, view.x, view.y, view.width, view.height) &&
           create_slider_window(main_window, parameter.x, parameter.y, parameter.width, parameter.height) &&
           create_slider_window(main_window, palette.x, palette.y, palette.width, palette.height) &&
           create_iconbar(main_window, bar.x, bar.y, bar.width, bar.height);
}

std::intptr_t main_window_proc(WindowHandle window, std::uint32_t message, std::uintptr_t wparam,
                               std::intptr_t lparam)
{
    if (main_window_extras && main_window_extras(window, message, wparam, lparam))
        return 0;
    switch (message) {
    case wm_create:
        size_at_creation(window);
        return 0;
    case wm_size:
        if (running) {
            compute_layout(low_word(lparam), high_word(lparam));
            move_to_cell(view_window, view_cell());
            move_to_cell(sliders[0].handle, parameter_cell());
            move_to_cell(sliders[1].handle, palette_cell());
            move_to_cell(iconbars[0].window, iconbar_cell());
            update_bounds(*display);
        }
        return 0;
    case wm_move:
        if (running)
            update_bounds(*display);
        return 0;
    case wm_paint:
        paint_black(window);
        return 0;
    case wm_close:
        // No frame may touch the display once its destruction has begun.
        running = false;
        destroy_display();
        destroy_window(window);
        return 0;
    case wm_destroy:
        post_quit(0);
        return 0;
    default:
        return default_window_proc(window, message, wparam, lparam);
    }
}
