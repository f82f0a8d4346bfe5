#include "app/view_window.h"

#include <new>

#include "app/flags.h"
#include "app/window_classes.h"
#include "display/display_window.h"
#include "display/frame.h"
#include "sim/drop.h"
#include "slider/slider.h"

WindowHandle view_window = nullptr;
Point drag_anchor;

namespace {

// Converts the pointer to the surface point under it in place, and drops there.
void drop_at(Point& p)
{
    to_surface_point(*display, p, true);
    stamp_drop(p.y, p.x, drop_radius);
}

std::intptr_t build_display(WindowHandle window)
{
    display = new (std::nothrow) DisplayWindow;
    if (!display || create_windowed(*display, window, 640, 480) < 0) {
        message_box("Failed to Initialize DirectDraw", "DirectDraw Initialization Failure");
        return -1;
    }
    return 0;
}

}  // namespace

bool create_view_window(WindowHandle parent, std::int32_t x, std::int32_t y, std::int32_t width,
                        std::int32_t height)
{
    if (!register_toy_class("ddraw", view_window_proc, Cursor::cross))
        return false;
    view_window = create_window("ddraw", "ddraw", WindowStyle::child, x, y, width, height, parent, view_child_id);
    if (!view_window) {
        tell_window_creation_failed();
        return false;
    }
    running = true;
    show_window(view_window);
    update_window(view_window);  // the first paint is the first, frozen, frame
    return true;
}

std::intptr_t view_window_proc(WindowHandle window, std::uint32_t message, std::uintptr_t wparam,
                               std::intptr_t lparam)
{
    switch (message) {
    case wm_create:
        return build_display(window);
    case wm_paint:
        produce_frame(false);
        return 0;
    case wm_lbuttondown: {
        Point p = point_from_lparam(lparam);
        drop_at(p);
        set_capture(window);
        return 0;
    }
    case wm_mousemove: {
        Point p = point_from_lparam(lparam);
        if (wparam & mk_lbutton)
            drop_at(p);
        // Both deltas are measured from the press, against the values then.
        if (wparam & mk_rbutton) {
            nudge(sliders[0], drag_anchor.y - p.y, false);
            nudge(sliders[1], p.x - drag_anchor.x, false);
        }
        return 0;
    }
    case wm_rbuttondown:
        drag_anchor = point_from_lparam(lparam);
        nudge(sliders[0], 0, true);
        nudge(sliders[1], 0, true);
        set_capture(window);
        return 0;
    case wm_lbuttonup:
    case wm_rbuttonup:
        release_capture();
        return 0;
    default:
        return default_window_proc(window, message, wparam, lparam);
    }
}
