// Device contexts of windows and the GDI calls on them. A canvas draws
// straight into the framebuffer through its window's visible region.
#include <algorithm>
#include <deque>
#include <utility>

#include "platform/canvas.h"
#include "platform/portable/host.h"
#include "platform/portable/icon.h"
#include "platform/portable/paint_objects.h"
#include "platform/portable/rasteriser.h"
#include "platform/portable/rects.h"
#include "platform/portable/window_system.h"

struct Canvas {
    Window* window = nullptr;
    bool in_use = false;
    std::vector<Rect> clip;  // framebuffer coordinates
    std::vector<Rect> scratch;
    std::int32_t clip_width = 0;  // framebuffer size the clip was computed for
    std::int32_t clip_height = 0;
    Pen* pen = nullptr;
    Brush* brush = nullptr;
    Point current;
    Rect dirty;
};

namespace {

// Canvases are recycled with their clip storage, so that painting allocates
// nothing once every window has painted once.
struct CanvasPool {
    std::deque<Canvas> storage;
    std::vector<Canvas*> free;
};

CanvasPool& canvas_pool()
{
    static CanvasPool pool;
    return pool;
}

void compute_clip(Canvas* canvas)
{
    const WindowSystem& ws = window_system();
    canvas->clip_width = ws.framebuffer_width;
    canvas->clip_height = ws.framebuffer_height;
    if (live_window(canvas->window))
        visible_region(canvas->window, canvas->clip, canvas->scratch);
    else
        canvas->clip.clear();
}

Canvas* acquire(WindowHandle handle)
{
    Window* window = live_window(handle);
    if (!window)
        return nullptr;
    CanvasPool& pool = canvas_pool();
    Canvas* canvas = nullptr;
    if (pool.free.empty()) {
        canvas = &pool.storage.emplace_back();
    } else {
        canvas = pool.free.back();
        pool.free.pop_back();
    }
    canvas->window = window;
    canvas->in_use = true;
    canvas->pen = black_pen();
    canvas->brush = white_brush();
    canvas->current = {};
    canvas->dirty = {};
    compute_clip(canvas);
    return canvas;
}

void release(Canvas* canvas)
{
    if (!canvas || !canvas->in_use)
        return;
    report_framebuffer_change(canvas->dirty);
    canvas->in_use = false;
    canvas->window = nullptr;
    canvas_pool().free.push_back(canvas);
}

// The framebuffer may have been resized, or the window destroyed, since the
// canvas was made: a clip computed for the old size could reach outside it.
PaintTarget target(Canvas* canvas, Point& origin)
{
    WindowSystem& ws = window_system();
    const Window* window = live_window(canvas->window);
    if (!window) {
        canvas->clip.clear();
        return {};
    }
    if (canvas->clip_width != ws.framebuffer_width || canvas->clip_height != ws.framebuffer_height)
        compute_clip(canvas);
    origin = framebuffer_origin(window);
    return {ws.framebuffer.data(), ws.framebuffer_width, canvas->clip.data(), canvas->clip.size(), &canvas->dirty};
}

}  // namespace

Canvas* begin_paint(WindowHandle window)
{
    Canvas* canvas = acquire(window);
    if (canvas)
        validate_window(canvas->window, nullptr);
    return canvas;
}

void end_paint(WindowHandle, Canvas* canvas) { release(canvas); }
Canvas* get_canvas(WindowHandle window) { return acquire(window); }
void release_canvas(WindowHandle, Canvas* canvas) { release(canvas); }

PenHandle select_pen(Canvas* canvas, PenHandle pen)
{
    if (!canvas || !pen)
        return nullptr;
    return std::exchange(canvas->pen, pen);
}

BrushHandle select_brush(Canvas* canvas, BrushHandle brush)
{
    if (!canvas || !brush)
        return nullptr;
    return std::exchange(canvas->brush, brush);
}

void rectangle(Canvas* canvas, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom)
{
    if (!canvas)
        return;
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    if (left == right || top == bottom)
        return;
    Point origin;
    const PaintTarget t = target(canvas, origin);
    const Rect r = rect_offset({left, top, right, bottom}, origin);
    if (!canvas->brush->hollow)
        fill_rect(t, {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, canvas->brush->colour);
    const std::uint32_t pen = canvas->pen->colour;
    fill_rect(t, {r.left, r.top, r.right, r.top + 1}, pen);
    fill_rect(t, {r.left, r.bottom - 1, r.right, r.bottom}, pen);
    fill_rect(t, {r.left, r.top, r.left + 1, r.bottom}, pen);
    fill_rect(t, {r.right - 1, r.top, r.right, r.bottom}, pen);
}

void move_to(Canvas* canvas, std::int32_t x, std::int32_t y)
{
    if (canvas)
        canvas->current = {x, y};
}

void line_to(Canvas* canvas, std::int32_t x, std::int32_t y)
{
    if (!canvas)
        return;
    Point origin;
    const PaintTarget t = target(canvas, origin);
    draw_line(t, canvas->current.x + origin.x, canvas->current.y + origin.y, x + origin.x, y + origin.y,
              canvas->pen->colour);
    canvas->current = {x, y};
}

void polygon(Canvas* canvas, const Point* points, std::int32_t count)
{
    if (!canvas || !points || count < 2)
        return;
    Point origin;
    const PaintTarget t = target(canvas, origin);
    if (!canvas->brush->hollow)
        fill_polygon(t, points, count, origin, canvas->brush->colour);
    // Each edge leaves out its end point, which is the next edge's start:
    // the closed outline covers every corner exactly once.
    for (std::int32_t i = 0; i < count; ++i) {
        const Point& a = points[i];
        const Point& b = points[(i + 1) % count];
        draw_line(t, a.x + origin.x, a.y + origin.y, b.x + origin.x, b.y + origin.y, canvas->pen->colour);
    }
}

void draw_icon(Canvas* canvas, std::int32_t x, std::int32_t y, IconHandle icon)
{
    if (!canvas || !icon)
        return;
    Point origin;
    const PaintTarget t = target(canvas, origin);
    copy_masked(t, {x + origin.x, y + origin.y}, icon->width, icon->height, icon->pixels.data(),
                icon->opaque.data());
}

std::int32_t colour_depth(Canvas*) { return host_colour_depth(); }
