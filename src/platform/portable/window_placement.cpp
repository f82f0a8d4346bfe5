// Moving and resizing windows: by the program (move_window, set_window_pos)
// and by the user through the host (inject_resize, inject_move).
#include <algorithm>

#include "platform/portable/events.h"
#include "platform/portable/host.h"
#include "platform/portable/rects.h"
#include "platform/portable/window_system.h"

namespace {

std::intptr_t size_lparam(std::int32_t width, std::int32_t height)
{
    return static_cast<std::intptr_t>((static_cast<std::uint32_t>(height) & 0xFFFF) << 16 |
                                      (static_cast<std::uint32_t>(width) & 0xFFFF));
}

// Bounding box of what `now` covers and `before` did not.
Rect uncovered(const Rect& now, const Rect& before)
{
    std::vector<Rect> pieces{now};
    std::vector<Rect> scratch;
    subtract_rect(pieces, before, scratch);
    Rect box;
    for (const Rect& r : pieces)
        box = rect_union(box, r);
    return box;
}

// Without a copy of the old pixels, only the part a resize newly exposes
// needs painting; a class that redraws on resize wants all of it.
void invalidate_after_resize(Window* window, std::int32_t old_width, std::int32_t old_height)
{
    if (window->window_class->redraw_on_resize) {
        invalidate_window(window, nullptr);
        return;
    }
    const Rect exposed = uncovered(client_area(window), {0, 0, old_width, old_height});
    if (!rect_empty(exposed))
        invalidate_window(window, &exposed);
}

void move_child(Window* window, const Rect& to, bool repaint)
{
    const Rect from = window->rect;
    const bool moved = from.left != to.left || from.top != to.top;
    const bool resized = rect_width(from) != rect_width(to) || rect_height(from) != rect_height(to);
    window->rect = to;
    if (repaint && window_showing(window)) {
        const Rect parent_exposed = uncovered(from, to);
        if (!rect_empty(parent_exposed))
            invalidate_window(window->parent, &parent_exposed);
        if (moved)  // the old pixels are not carried along
            invalidate_window(window, nullptr);
    }
    if (resized && (repaint || window->window_class->redraw_on_resize))
        invalidate_after_resize(window, rect_width(from), rect_height(from));
    if (moved)
        send_message(window, wm_move, 0, make_point_lparam(to.left, to.top));
    if (resized)
        send_message(window, wm_size, 0, size_lparam(rect_width(to), rect_height(to)));
}

// The program placed the top-level window: messages, then the host learns.
void place_top_level(Window* window, Point origin, std::int32_t width, std::int32_t height)
{
    const bool moved = origin.x != window->rect.left || origin.y != window->rect.top;
    const bool resized = width != rect_width(window->rect) || height != rect_height(window->rect);
    if (moved) {
        window->rect = rect_offset(client_area(window), origin);
        send_message(window, wm_move, 0, make_point_lparam(origin.x, origin.y));
    }
    if (resized && live_window(window))
        resize_top_level(window, width, height);
    if ((moved || resized) && live_window(window))
        top_level_placed(window);
}

}  // namespace

void resize_top_level(Window* window, std::int32_t width, std::int32_t height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    const std::int32_t old_width = rect_width(window->rect);
    const std::int32_t old_height = rect_height(window->rect);
    if (width == old_width && height == old_height)
        return;
    window->rect.right = window->rect.left + width;
    window->rect.bottom = window->rect.top + height;
    resize_framebuffer(width, height);
    invalidate_after_resize(window, old_width, old_height);
    send_message(window, wm_size, 0, size_lparam(width, height));
}

void top_level_placed(const Window* window)
{
    host_top_level_placed(window->title.c_str(), window->rect, window->visible);
}

bool move_window(WindowHandle handle, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                 bool repaint)
{
    Window* window = live_window(handle);
    if (!window)
        return false;
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (window->parent)
        move_child(window, {x, y, x + width, y + height}, repaint);
    else
        place_top_level(window, {x, y}, width, height);
    return true;
}

bool set_window_pos(WindowHandle handle, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                    bool keep_position, bool keep_size)
{
    Window* window = live_window(handle);
    if (!window)
        return false;
    if (keep_position) {
        x = window->rect.left;
        y = window->rect.top;
    }
    if (keep_size) {
        width = rect_width(window->rect);
        height = rect_height(window->rect);
    }
    return move_window(window, x, y, width, height, true);
}

void inject_resize(std::int32_t width, std::int32_t height)
{
    const WindowSystem& ws = window_system();
    if (Window* top = ws.top_level)
        resize_top_level(top, width / ws.zoom, height / ws.zoom);
}

void inject_move(std::int32_t x, std::int32_t y)
{
    Window* top = window_system().top_level;
    if (!top || (top->rect.left == x && top->rect.top == y))
        return;
    top->rect = rect_offset(client_area(top), {x, y});
    send_message(top, wm_move, 0, make_point_lparam(x, y));
}
