// Which parts of which windows need painting. A window's region is kept as
// one bounding box (see Window::invalid).
#include "platform/portable/rects.h"
#include "platform/portable/window_system.h"

void invalidate_window(Window* window, const Rect* rect)
{
    const Rect area = rect ? rect_intersect(*rect, client_area(window)) : client_area(window);
    window->invalid = rect_union(window->invalid, area);
}

void validate_window(Window* window, const Rect* rect)
{
    Rect& invalid = window->invalid;
    if (!rect) {
        invalid = {};
        return;
    }
    const Rect& r = *rect;
    // A box minus a rectangle is a box again only when the rectangle spans it
    // in one direction and takes one end; otherwise the box stays as it is,
    // which repaints a little more than needed and never less.
    if (r.left <= invalid.left && r.right >= invalid.right) {
        if (r.top <= invalid.top && r.bottom > invalid.top)
            invalid.top = r.bottom;
        else if (r.bottom >= invalid.bottom && r.top < invalid.bottom)
            invalid.bottom = r.top;
    } else if (r.top <= invalid.top && r.bottom >= invalid.bottom) {
        if (r.left <= invalid.left && r.right > invalid.left)
            invalid.left = r.right;
        else if (r.right >= invalid.right && r.left < invalid.right)
            invalid.right = r.left;
    }
    if (rect_empty(invalid))
        invalid = {};
}

Window* window_needing_paint()
{
    for (const auto& w : window_system().windows)
        if (!w->destroying && !rect_empty(w->invalid) && window_showing(w.get()))
            return w.get();
    return nullptr;
}

void invalidate(WindowHandle handle, const Rect* rect, bool /*erase: no class has a background to erase*/)
{
    if (Window* window = live_window(handle))
        invalidate_window(window, rect);
}

void validate(WindowHandle handle, const Rect* rect)
{
    if (Window* window = live_window(handle))
        validate_window(window, rect);
}

void update_window(WindowHandle handle)
{
    Window* window = live_window(handle);
    if (window && !rect_empty(window->invalid) && window_showing(window))
        send_message(window, wm_paint, 0, 0);
}
