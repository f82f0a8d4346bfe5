// The one picture all windows paint into: the top-level window's client area.
#include <algorithm>

#include "platform/portable/events.h"
#include "platform/portable/host.h"
#include "platform/portable/rects.h"
#include "platform/portable/window_system.h"

void resize_framebuffer(std::int32_t width, std::int32_t height)
{
    WindowSystem& ws = window_system();
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    const std::int32_t keep_width = std::min(width, ws.framebuffer_width);
    const std::int32_t keep_height = std::min(height, ws.framebuffer_height);
    for (std::int32_t y = 0; y < keep_height; ++y)
        std::copy_n(ws.framebuffer.begin() + static_cast<std::ptrdiff_t>(y) * ws.framebuffer_width, keep_width,
                    pixels.begin() + static_cast<std::ptrdiff_t>(y) * width);
    ws.framebuffer.swap(pixels);
    ws.framebuffer_width = width;
    ws.framebuffer_height = height;
}

Framebuffer top_level_framebuffer()
{
    const WindowSystem& ws = window_system();
    if (!ws.top_level || ws.framebuffer.empty())
        return {};
    return {ws.framebuffer.data(), ws.framebuffer_width, ws.framebuffer_height, ws.framebuffer_width * 4};
}

void report_framebuffer_change(const Rect& dirty)
{
    const WindowSystem& ws = window_system();
    const Rect changed = rect_intersect(dirty, {0, 0, ws.framebuffer_width, ws.framebuffer_height});
    if (!rect_empty(changed) && ws.top_level)
        host_framebuffer_changed(top_level_framebuffer(), changed);
}
