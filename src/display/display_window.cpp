#include "display/display_window.h"

DisplayWindow* display = nullptr;

Status DisplayWindow::destroy_objects()
{
    if (back) {
        release_surface(back);
        back = nullptr;
    }
    if (primary) {
        release_surface(primary);
        primary = nullptr;
    }
    if (direct_draw) {
        set_cooperative_level(direct_draw, window);
        release_device(direct_draw);
        direct_draw = nullptr;
    }
    return status_ok;
}

DisplayWindow::~DisplayWindow() { destroy_objects(); }

Status create_windowed(DisplayWindow& d, WindowHandle window, std::int32_t width, std::int32_t height)
{
    d.destroy_objects();
    d.width = width;
    d.height = height;
    // What was built before a failing step stays until the next destroy_objects.
    if (create_draw_device(&d.direct_draw) < 0 || set_cooperative_level(d.direct_draw, window) < 0 ||
        create_primary_surface(d.direct_draw, &d.primary) < 0 ||
        create_offscreen_surface(d.direct_draw, width, height, &d.back) < 0)
        return status_fail;
    DrawClipper* clipper = nullptr;
    if (create_clipper(d.direct_draw, &clipper) < 0)
        return status_fail;
    const bool clipped = clipper_set_window(clipper, window) >= 0 && set_clipper(d.primary, clipper) >= 0;
    release_clipper(clipper);  // the primary surface keeps its own reference
    if (!clipped)
        return status_fail;
    d.window = window;
    update_bounds(d);
    return status_ok;
}

Status present(DisplayWindow& d)
{
    if (!d.primary && !d.back)
        return status_pointer;
    for (;;) {
        const Status s = blit(d.primary, d.screen_rect, d.back, d.source_rect);
        if (s == status_surface_lost) {
            // The restored back surface holds no picture until the next frame.
            restore_surface(d.primary);
            restore_surface(d.back);
        }
        if (s != status_still_drawing)
            return s;
    }
}

Status update_bounds(DisplayWindow& d)
{
    Rect r = client_rect(d.window);
    // A client area larger than the back surface gets a centred part of its size.
    if (rect_width(r) > d.width) {
        r.left += (rect_width(r) - d.width) / 2;
        r.right = r.left + d.width;
    }
    if (rect_height(r) > d.height) {
        r.top += (rect_height(r) - d.height) / 2;
        r.bottom = r.top + d.height;
    }
    const Point top_left = client_to_screen(d.window, {r.left, r.top});
    const Point bottom_right = client_to_screen(d.window, {r.right, r.bottom});
    d.screen_rect = {top_left.x, top_left.y, bottom_right.x, bottom_right.y};

    // The source keeps its corner and takes the destination's size, shifted
    // (never resized) back inside the surface if it sticks out.
    Rect s{d.source_rect.left, d.source_rect.top, d.source_rect.left + rect_width(r),
           d.source_rect.top + rect_height(r)};
    if (s.right > d.width) {
        s.left -= s.right - d.width;
        s.right = d.width;
    }
    if (s.bottom > d.height) {
        s.top -= s.bottom - d.height;
        s.bottom = d.height;
    }
    if (s.left < 0) {
        s.right -= s.left;
        s.left = 0;
    }
    if (s.top < 0) {
        s.bottom -= s.top;
        s.top = 0;
    }
    d.source_rect = s;
    return status_ok;
}

void to_surface_point(const DisplayWindow& d, Point& point, bool client)
{
    if (client)
        point = client_to_screen(d.window, point);
    point.x = point.x - d.screen_rect.left + d.source_rect.left;
    point.y = point.y - d.screen_rect.top + d.source_rect.top;
}

DrawSurface* back_surface(const DisplayWindow& d) { return d.back; }

void destroy_display()
{
    if (!display)
        return;
    delete display;
    display = nullptr;
}
