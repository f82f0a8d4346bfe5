#include "slider/slider_window.h"

#include "app/window_classes.h"
#include "platform/canvas.h"
#include "slider/slider.h"

bool repeat_active = false;
Point press_point;

namespace {

Slider& slider_of(WindowHandle window) { return sliders[child_id(window)]; }

}  // namespace

bool register_slider_class() { return register_toy_class("slider", slider_window_proc, Cursor::arrow); }

bool create_slider_window(WindowHandle parent, std::int32_t x, std::int32_t y, std::int32_t width,
                          std::int32_t height)
{
    WindowHandle window = nullptr;
    if (slider_count < max_sliders) {
        // A failed creation still uses up its identifier.
        const std::int32_t id = slider_count++;
        window = create_window("slider", "slider", WindowStyle::visible_child, x, y, width, height, parent, id);
    }
    if (!window) {
        tell_window_creation_failed();
        return false;
    }
    show_window(window);
    update_window(window);
    return true;
}

std::intptr_t slider_window_proc(WindowHandle window, std::uint32_t message, std::uintptr_t wparam,
                                 std::intptr_t lparam)
{
    switch (message) {
    case wm_create: {
        // Only a client area strictly taller than wide is vertical.
        const Rect client = client_rect(window);
        attach(slider_of(window), window, rect_height(client) > rect_width(client), child_id(window));
        return 0;
    }
    case wm_paint: {
        Canvas* canvas = begin_paint(window);
        paint_slider(slider_of(window), canvas);
        end_paint(window, canvas);
        return 0;
    }
    case wm_lbuttondown:
    case wm_rbuttondown:
        press_point = point_from_lparam(lparam);
        repeat_active = track_pointer(slider_of(window), press_point.x, press_point.y, true);
        if (repeat_active)
            set_timer(window, repeat_timer, repeat_delay_ms);
        set_capture(window);
        return 0;
    case wm_mousemove:
        if ((wparam & (mk_lbutton | mk_rbutton)) && !repeat_active) {
            const Point p = point_from_lparam(lparam);
            track_pointer(slider_of(window), p.x, p.y, false);
        }
        return 0;
    case wm_lbuttonup:
    case wm_rbuttonup:
        release_capture();
        if (repeat_active) {
            repeat_active = false;
            kill_timer(window, repeat_timer);
        }
        end_press(slider_of(window));
        return 0;
    case wm_timer:
        set_timer(window, repeat_timer, repeat_period_ms);
        repeat_active = track_pointer(slider_of(window), press_point.x, press_point.y, false);
        return default_window_proc(window, message, wparam, lparam);
    default:
        return default_window_proc(window, message, wparam, lparam);
    }
}
