// Zoom and full screen of the top-level window. The program's windows never
// see either: they get a client size in their own pixels, and the host
// shows each of those pixels as a zoom x zoom square.
#include <algorithm>

#include "platform/portable/events.h"
#include "platform/portable/host.h"
#include "platform/portable/window_system.h"
#include "platform/screen.h"

namespace {

void fill_screen(Window* top)
{
    const WindowSystem& ws = window_system();
    const Rect screen = host_screen_rect();
    resize_top_level(top, rect_width(screen) / ws.zoom, rect_height(screen) / ws.zoom);
}

// The host redraws every pixel at the new size.
void show_again(Window* top)
{
    if (!live_window(top))
        return;
    top_level_placed(top);
    report_framebuffer_change(client_area(top));
}

}  // namespace

std::int32_t zoom() { return window_system().zoom; }

bool set_zoom(std::int32_t z)
{
    WindowSystem& ws = window_system();
    if (z < 1 || z > max_zoom)
        return false;
    if (z == ws.zoom)
        return true;
    ws.zoom = z;
    if (Window* top = ws.top_level) {
        if (ws.full_screen)
            fill_screen(top);
        show_again(top);
    }
    return true;
}

bool full_screen() { return window_system().full_screen; }

bool set_full_screen(bool on, std::int32_t z)
{
    WindowSystem& ws = window_system();
    Window* top = ws.top_level;
    if (!top || z < 1 || z > max_zoom)
        return false;
    if (on == ws.full_screen)
        return !on || set_zoom(z);
    if (!host_set_full_screen(on))
        return false;
    ws.full_screen = on;
    if (on) {
        ws.windowed_zoom = ws.zoom;
        ws.windowed_width = rect_width(top->rect);
        ws.windowed_height = rect_height(top->rect);
        ws.zoom = z;
        fill_screen(top);
    } else {
        ws.zoom = ws.windowed_zoom;
        resize_top_level(top, ws.windowed_width, ws.windowed_height);
    }
    show_again(top);
    return true;
}

Rect screen_rect() { return host_screen_rect(); }

void copy_zoomed(const Framebuffer& fb, const Rect& rect, std::int32_t z, std::uint32_t* dest,
                 std::int32_t dest_pitch)
{
    const std::int32_t width = rect_width(rect);
    for (std::int32_t y = rect.top; y < rect.bottom; ++y) {
        const auto* src = reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const std::uint8_t*>(fb.pixels) +
                                                                 std::ptrdiff_t{y} * fb.pitch) + rect.left;
        auto* first = reinterpret_cast<std::uint32_t*>(reinterpret_cast<std::uint8_t*>(dest) +
                                                       std::ptrdiff_t{y} * z * dest_pitch) + rect.left * z;
        std::uint32_t* out = first;
        for (std::int32_t x = 0; x < width; ++x)
            out = std::fill_n(out, z, src[x]);
        for (std::int32_t copy = 1; copy < z; ++copy)
            std::copy_n(first, width * z,
                        reinterpret_cast<std::uint32_t*>(reinterpret_cast<std::uint8_t*>(first) +
                                                         std::ptrdiff_t{copy} * dest_pitch));
    }
}
