// Pixel surfaces in memory, shaped like DirectDraw 7. The primary surface is
// the screen as far as this system owns it: the top-level framebuffer at the
// top-level window's screen position.
//
// Limitations: the primary surface cannot be locked; objects are not
// reference counted except that a surface keeps its clipper alive.
#include <algorithm>
#include <utility>
#include <vector>

#include "platform/portable/rects.h"
#include "platform/portable/surface_testing.h"
#include "platform/portable/window_system.h"
#include "platform/surface.h"

struct DrawDevice {
    WindowHandle cooperative_window = nullptr;
};

struct DrawClipper {
    WindowHandle window = nullptr;
    std::int32_t references = 1;
};

struct DrawSurface {
    bool primary = false;
    DrawClipper* clipper = nullptr;
    std::vector<std::uint32_t> pixels;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t stride = 0;  // pixels
    bool locked = false;
    bool lost = false;
    std::int32_t failing_locks = 0;
    bool failing_unlock = false;
    bool failing_restore = false;
};

namespace {

// Rows carry padding so that writers which ignore the pitch show up at once.
constexpr std::int32_t row_padding_pixels = 16;
// What a restored surface holds: anything but the old picture.
constexpr std::uint32_t restored_fill = 0x00FF00FF;

std::vector<DrawSurface*>& all_surfaces()
{
    static std::vector<DrawSurface*> surfaces;
    return surfaces;
}

// Reused by every blit to the primary, so presenting allocates nothing.
std::vector<Rect> blit_region;
std::vector<Rect> blit_scratch;

DrawSurface* add_surface(DrawSurface* surface)
{
    all_surfaces().push_back(surface);
    return surface;
}

void drop_clipper(DrawClipper* clipper)
{
    if (clipper && --clipper->references == 0)
        delete clipper;
}

// The framebuffer pieces a blit to the primary may write.
void primary_region(const DrawSurface* dest)
{
    const WindowSystem& ws = window_system();
    blit_region.clear();
    if (dest->clipper && dest->clipper->window) {
        if (const Window* window = live_window(dest->clipper->window))
            visible_region(window, blit_region, blit_scratch);
    } else if (ws.top_level && ws.top_level->visible) {
        blit_region.push_back({0, 0, ws.framebuffer_width, ws.framebuffer_height});
    }
}

bool inside(const Rect& r, std::int32_t width, std::int32_t height)
{
    return r.left >= 0 && r.top >= 0 && r.right <= width && r.bottom <= height && !rect_empty(r);
}

}  // namespace

Status create_draw_device(DrawDevice** device)
{
    if (!device)
        return status_pointer;
    *device = new DrawDevice;
    return status_ok;
}

Status set_cooperative_level(DrawDevice* device, WindowHandle window)
{
    if (!device)
        return status_pointer;
    device->cooperative_window = window;
    return status_ok;
}

Status create_primary_surface(DrawDevice* device, DrawSurface** surface)
{
    if (!device || !surface)
        return status_pointer;
    auto* primary = new DrawSurface;
    primary->primary = true;
    *surface = add_surface(primary);
    return status_ok;
}

Status create_offscreen_surface(DrawDevice* device, std::int32_t width, std::int32_t height, DrawSurface** surface)
{
    if (!device || !surface)
        return status_pointer;
    if (width <= 0 || height <= 0)
        return status_fail;
    auto* s = new DrawSurface;
    s->width = width;
    s->height = height;
    s->stride = width + row_padding_pixels;
    s->pixels.assign(static_cast<std::size_t>(s->stride) * static_cast<std::size_t>(height), 0);
    *surface = add_surface(s);
    return status_ok;
}

Status create_clipper(DrawDevice* device, DrawClipper** clipper)
{
    if (!device || !clipper)
        return status_pointer;
    *clipper = new DrawClipper;
    return status_ok;
}

Status clipper_set_window(DrawClipper* clipper, WindowHandle window)
{
    if (!clipper)
        return status_pointer;
    clipper->window = window;
    return status_ok;
}

Status set_clipper(DrawSurface* surface, DrawClipper* clipper)
{
    if (!surface)
        return status_pointer;
    if (clipper)
        ++clipper->references;
    drop_clipper(std::exchange(surface->clipper, clipper));
    return status_ok;
}

void release_device(DrawDevice* device) { delete device; }

void release_surface(DrawSurface* surface)
{
    if (!surface)
        return;
    std::erase(all_surfaces(), surface);
    drop_clipper(surface->clipper);
    delete surface;
}

void release_clipper(DrawClipper* clipper) { drop_clipper(clipper); }

Status blit(DrawSurface* dest, const Rect& dest_rect, DrawSurface* source, const Rect& source_rect)
{
    if (!dest || !source)
        return status_pointer;
    if (dest->lost || source->lost)
        return status_surface_lost;
    if (source->primary || dest->locked || source->locked)
        return status_fail;
    if (rect_width(dest_rect) != rect_width(source_rect) || rect_height(dest_rect) != rect_height(source_rect) ||
        !inside(source_rect, source->width, source->height))
        return status_fail;

    WindowSystem& ws = window_system();
    std::uint32_t* to = nullptr;
    std::int32_t to_stride = 0;
    Rect dest_in_target = dest_rect;
    if (dest->primary) {
        primary_region(dest);
        if (ws.top_level)  // screen to framebuffer coordinates
            dest_in_target = rect_offset(dest_rect, {-ws.top_level->rect.left, -ws.top_level->rect.top});
        to = ws.framebuffer.data();
        to_stride = ws.framebuffer_width;
    } else {
        if (!inside(dest_rect, dest->width, dest->height))
            return status_fail;
        blit_region.assign(1, {0, 0, dest->width, dest->height});
        to = dest->pixels.data();
        to_stride = dest->stride;
    }

    Rect dirty;
    const Point shift{source_rect.left - dest_in_target.left, source_rect.top - dest_in_target.top};
    for (const Rect& piece : blit_region) {
        const Rect r = rect_intersect(piece, dest_in_target);
        if (rect_empty(r))
            continue;
        for (std::int32_t y = r.top; y < r.bottom; ++y) {
            const std::uint32_t* from = source->pixels.data() +
                                        static_cast<std::ptrdiff_t>(y + shift.y) * source->stride + r.left + shift.x;
            std::copy_n(from, rect_width(r), to + static_cast<std::ptrdiff_t>(y) * to_stride + r.left);
        }
        dirty = rect_union(dirty, r);
    }
    if (dest->primary)
        report_framebuffer_change(dirty);
    return status_ok;
}

Status restore_surface(DrawSurface* surface)
{
    if (!surface)
        return status_pointer;
    if (std::exchange(surface->failing_restore, false))
        return status_fail;
    if (surface->lost) {
        surface->lost = false;
        std::fill(surface->pixels.begin(), surface->pixels.end(), restored_fill);
    }
    return status_ok;
}

Status lock_surface(DrawSurface* surface, LockedPixels& locked)
{
    if (!surface)
        return status_pointer;
    if (surface->lost)
        return status_surface_lost;
    if (surface->failing_locks > 0) {
        --surface->failing_locks;
        return status_fail;
    }
    if (surface->primary || surface->locked)
        return status_fail;
    surface->locked = true;
    locked.pixels = surface->pixels.data();
    locked.pitch = surface->stride * 4;
    locked.width = static_cast<std::uint32_t>(surface->width);
    locked.height = static_cast<std::uint32_t>(surface->height);
    return status_ok;
}

Status unlock_surface(DrawSurface* surface)
{
    if (!surface)
        return status_pointer;
    if (!surface->locked)
        return status_fail;
    surface->locked = false;
    if (std::exchange(surface->failing_unlock, false))
        return status_fail;
    return status_ok;
}

void mark_surface_lost(DrawSurface* surface)
{
    if (surface)
        surface->lost = true;
}

void lose_all_surfaces()
{
    for (DrawSurface* surface : all_surfaces())
        surface->lost = true;
}

void fail_next_locks(DrawSurface* surface, std::int32_t count)
{
    if (surface)
        surface->failing_locks = std::max(count, 0);
}

void fail_next_unlock(DrawSurface* surface)
{
    if (surface)
        surface->failing_unlock = true;
}

void fail_next_restore(DrawSurface* surface)
{
    if (surface)
        surface->failing_restore = true;
}
