#include "app/window_classes.h"
#include "iconbar/iconbar.h"

namespace {

IconBar& bar_of(WindowHandle window) { return iconbars[child_id(window) - first_iconbar_id]; }

}  // namespace

bool register_iconbar_class() { return register_toy_class("iconbar", iconbar_proc, Cursor::arrow); }

bool create_iconbar(WindowHandle parent, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height)
{
    WindowHandle window = nullptr;
    if (next_iconbar_id < first_iconbar_id + 1) {
        const std::int32_t id = next_iconbar_id++;
        window = create_window("iconbar", "iconbar", WindowStyle::visible_child, x, y, width, height, parent, id);
    }
    if (!window) {
        tell_window_creation_failed();
        return false;
    }
    IconBar& bar = iconbars[0];
    add_button(bar, 0, 105, diffusion_button, false);
    // The diffusion rule is already active: the button goes down without a switch.
    press_button(bar, 0, click, false, false);
    add_button(bar, 1, 109, wave_button, false);
    add_button(bar, 2, 113, pause_button, false);
    add_button(bar, 3, 140, picture_button, false);
    show_window(window);
    update_window(window);
    return true;
}

std::intptr_t iconbar_proc(WindowHandle window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam)
{
    switch (message) {
    case wm_create:
        set_window(bar_of(window), window);
        return 0;
    case wm_paint: {
        Canvas* canvas = begin_paint(window);
        paint_bar(bar_of(window), canvas);
        end_paint(window, canvas);
        return 0;
    }
    case wm_lbuttondown: {
        const Point p = point_from_lparam(lparam);
        click_bar(bar_of(window), p.x, p.y);
        return 0;
    }
    case wm_timer:
        // Whatever the timer's number, it ends the picture hold.
        end_hold(bar_of(window));
        return 0;
    default:
        return default_window_proc(window, message, wparam, lparam);
    }
}
