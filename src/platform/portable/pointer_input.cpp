// Pointer input and capture, and the user's requests to close and to hear a file.
#include "platform/portable/events.h"
#include "platform/portable/host.h"
#include "platform/portable/rects.h"
#include "platform/portable/window_system.h"

namespace {

// The deepest showing window under a point given in `window`'s client
// coordinates; later children lie on top of earlier ones.
Window* window_at(Window* window, Point point)
{
    for (auto it = window->children.rbegin(); it != window->children.rend(); ++it) {
        Window* child = *it;
        if (child->visible && !child->destroying && rect_contains(child->rect, point))
            return window_at(child, {point.x - child->rect.left, point.y - child->rect.top});
    }
    return window;
}

}  // namespace

// Pointer input waits in the queue with its framebuffer point and no window,
// and is routed only when it is taken out, as the native queue does: a
// release queued behind its press then reaches the window the press gave the
// capture to. The point travels as a message's two 16-bit halves; no window
// reaches beyond them, so the wrap changes no routing.
// A zoomed screen pixel belongs to the program's pixel it is a part of,
// also left of or above the window, where a drag under capture can go.
void inject_pointer(std::uint32_t message, Point point, std::uintptr_t buttons)
{
    const WindowSystem& ws = window_system();
    const auto down = [&](std::int32_t v) { return v >= 0 ? v / ws.zoom : -((-v + ws.zoom - 1) / ws.zoom); };
    if (ws.top_level)
        post_message(nullptr, message, buttons, make_point_lparam(down(point.x), down(point.y)));
}

bool route_pointer(Message& message)
{
    WindowSystem& ws = window_system();
    Window* top = ws.top_level;
    if (!top)
        return false;
    const Point point = point_from_lparam(message.lparam);
    Window* under = window_at(top, point);
    // The pointer takes the look of the window class under it; while a window
    // holds the capture it keeps the look it had when the press began.
    if (!ws.capture && under->window_class && under->window_class->cursor != ws.shown_cursor) {
        ws.shown_cursor = under->window_class->cursor;
        host_set_cursor(ws.shown_cursor);
    }
    Window* target = ws.capture ? ws.capture : under;
    const Point origin = framebuffer_origin(target);
    message.window = target;
    message.lparam = make_point_lparam(point.x - origin.x, point.y - origin.y);
    return true;
}

void inject_close()
{
    if (Window* top = window_system().top_level)
        post_message(top, wm_close, 0, 0);
}

void inject_file_given()
{
    if (Window* top = window_system().top_level)
        post_message(top, wm_dropfiles, 0, 0);
}

void set_capture(WindowHandle handle)
{
    Window* window = live_window(handle);
    if (window && !window->destroying)
        window_system().capture = window;
}

void release_capture() { window_system().capture = nullptr; }
