// Where in the framebuffer a window may draw. Every window clips its
// children (the top-level window is created clipping them, and the toy's
// children have none), and siblings created later lie on top.
#include "platform/portable/rects.h"
#include "platform/portable/window_system.h"

void visible_region(const Window* window, std::vector<Rect>& region, std::vector<Rect>& scratch)
{
    region.clear();
    if (!window_showing(window) || window->destroying)
        return;
    const WindowSystem& ws = window_system();
    Rect area = rect_offset(client_area(window), framebuffer_origin(window));
    area = rect_intersect(area, {0, 0, ws.framebuffer_width, ws.framebuffer_height});
    for (const Window* a = window->parent; a; a = a->parent)
        area = rect_intersect(area, rect_offset(client_area(a), framebuffer_origin(a)));
    if (rect_empty(area))
        return;
    region.push_back(area);

    const Point origin = framebuffer_origin(window);
    for (const Window* child : window->children)
        if (child->visible && !child->destroying)
            subtract_rect(region, rect_offset(child->rect, origin), scratch);

    for (const Window* w = window; w->parent; w = w->parent) {
        const auto& siblings = w->parent->children;
        const Point parent_origin = framebuffer_origin(w->parent);
        bool above = false;
        for (const Window* sibling : siblings) {
            if (above && sibling->visible && !sibling->destroying)
                subtract_rect(region, rect_offset(sibling->rect, parent_origin), scratch);
            above = above || sibling == w;
        }
    }
}
