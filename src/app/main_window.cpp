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

using Cell = LayoutCell;

// The children's cells for a client of this size, in creation order: view,
// parameter slider, palette slider, icon bar.
void lay_out(std::int32_t width, std::int32_t height, Cell (&cells)[4])
{
    if (phone_layout) {
        phone_cells(width, cells);
        return;
    }
    compute_layout(width, height);
    cells[0] = {layout_x[0], layout_y[0], span_x(0, 1), span_y(0, 1)};
    cells[1] = {layout_x[2], layout_y[0], span_x(2, 3), span_y(0, 1)};
    cells[2] = {layout_x[0], layout_y[2], span_x(0, 1), span_y(2, 3)};
    cells[3] = {layout_x[0], layout_y[4], span_x(0, 1), span_y(4, 5)};
}

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
    Cell c[4];
    lay_out(rect_width(client), rect_height(client), c);
    return create_view_window(main_window, c[0].x, c[0].y, c[0].width, c[0].height) &&
           create_slider_window(main_window, c[1].x, c[1].y, c[1].width, c[1].height) &&
           create_slider_window(main_window, c[2].x, c[2].y, c[2].width, c[2].height) &&
           create_iconbar(main_window, c[3].x, c[3].y, c[3].width, c[3].height);
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
            Cell c[4];
            lay_out(low_word(lparam), high_word(lparam), c);
            move_to_cell(view_window, c[0]);
            move_to_cell(sliders[0].handle, c[1]);
            move_to_cell(sliders[1].handle, c[2]);
            move_to_cell(iconbars[0].window, c[3]);
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
