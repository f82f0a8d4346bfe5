// Creating, showing and destroying windows, and where they are.
#include <algorithm>

#include "platform/portable/host.h"
#include "platform/portable/rects.h"
#include "platform/portable/window_system.h"

namespace {

constexpr Point default_top_level_position{64, 64};
constexpr std::int32_t default_width = 640;
constexpr std::int32_t default_height = 480;

void collect_subtree(Window* window, std::vector<Window*>& out)
{
    out.push_back(window);
    for (Window* child : window->children)
        collect_subtree(child, out);
}

void forget(Window* window)
{
    WindowSystem& ws = window_system();
    forget_window_timers(window);
    forget_window_messages(window);
    if (ws.capture == window)
        ws.capture = nullptr;
    if (ws.top_level == window) {
        ws.top_level = nullptr;
        resize_framebuffer(0, 0);
        host_top_level_placed(window->title.c_str(), window->rect, false);
    }
}

}  // namespace

WindowHandle create_window(const char* class_name, const char* title, WindowStyle style, std::int32_t x,
                           std::int32_t y, std::int32_t width, std::int32_t height, WindowHandle parent,
                           std::int32_t child_id)
{
    WindowSystem& ws = window_system();
    const WindowClassRecord* window_class = find_class(class_name);
    if (!window_class)
        return nullptr;
    Window* parent_window = nullptr;
    if (style == WindowStyle::main) {
        if (ws.top_level)  // one top-level window is all this system keeps
            return nullptr;
    } else {
        parent_window = live_window(parent);
        if (!parent_window || parent_window->destroying)
            return nullptr;
    }
    if (width == use_default_position || height == use_default_position) {
        width = default_width;
        height = default_height;
    }
    if (x == use_default_position || y == use_default_position) {
        const bool top = style == WindowStyle::main;
        x = top ? default_top_level_position.x : 0;
        y = top ? default_top_level_position.y : 0;
    }

    auto record = std::make_unique<Window>();
    Window* window = record.get();
    window->window_class = window_class;
    window->title = title ? title : "";
    window->style = style;
    window->parent = parent_window;
    window->child_id = child_id;
    window->rect = {x, y, x + std::max(width, 0), y + std::max(height, 0)};
    ws.windows.push_back(std::move(record));
    if (parent_window)
        parent_window->children.push_back(window);
    if (style == WindowStyle::main) {
        ws.top_level = window;
        resize_framebuffer(rect_width(window->rect), rect_height(window->rect));
    }
    if (send_message(window, wm_create, 0, 0) == -1) {
        destroy_window(window);
        return nullptr;
    }
    if (!live_window(window))  // the creation message destroyed it
        return nullptr;
    // Shown only once created, so a failed creation never showed anything.
    if (style == WindowStyle::visible_child) {
        window->visible = true;
        invalidate_window(window, nullptr);
    }
    return window;
}

bool destroy_window(WindowHandle handle)
{
    Window* window = live_window(handle);
    if (!window || window->destroying)
        return false;
    WindowSystem& ws = window_system();
    std::vector<Window*> doomed;
    collect_subtree(window, doomed);
    for (Window* w : doomed)
        w->destroying = true;
    if (window->parent && window_showing(window))
        invalidate_window(window->parent, &window->rect);

    // Parent first, as the native system does: a parent's handler may still
    // look at its children.
    for (Window* w : doomed)
        send_message(w, wm_destroy, 0, 0);
    // A destroy handler that destroyed an ancestor has already freed these.
    if (!live_window(window))
        return true;

    for (Window* w : doomed)
        forget(w);
    if (Window* parent = window->parent) {
        auto& siblings = parent->children;
        siblings.erase(std::find(siblings.begin(), siblings.end(), window));
    }
    std::erase_if(ws.windows, [&](const std::unique_ptr<Window>& w) {
        return std::find(doomed.begin(), doomed.end(), w.get()) != doomed.end();
    });
    return true;
}

void show_window(WindowHandle handle)
{
    Window* window = live_window(handle);
    if (!window || window->visible)
        return;
    window->visible = true;
    invalidate_window(window, nullptr);
    if (window == window_system().top_level)
        top_level_placed(window);
}

bool window_showing(const Window* window)
{
    for (; window; window = window->parent)
        if (!window->visible)
            return false;
    return true;
}

Point framebuffer_origin(const Window* window)
{
    Point origin;
    for (; window && window->parent; window = window->parent) {
        origin.x += window->rect.left;
        origin.y += window->rect.top;
    }
    return origin;
}

Rect client_area(const Window* window) { return {0, 0, rect_width(window->rect), rect_height(window->rect)}; }

Rect client_rect(WindowHandle handle)
{
    const Window* window = live_window(handle);
    return window ? client_area(window) : Rect{};
}

Point client_to_screen(WindowHandle handle, Point point)
{
    const Window* window = live_window(handle);
    if (!window)
        return point;
    const Window* top = window;
    while (top->parent)
        top = top->parent;
    const Point origin = framebuffer_origin(window);
    return {point.x + origin.x + top->rect.left, point.y + origin.y + top->rect.top};
}

Rect window_rect(WindowHandle handle)
{
    const Window* window = live_window(handle);
    if (!window)
        return {};
    const Point top_left = client_to_screen(handle, {0, 0});
    return rect_offset(client_area(window), top_left);
}

std::int32_t child_id(WindowHandle handle)
{
    const Window* window = live_window(handle);
    return window ? window->child_id : 0;
}

// Without a non-client frame the outer rectangle is the client area.
Rect adjust_window_rect(Rect client) { return client; }

Rect work_area() { return host_work_area(); }
