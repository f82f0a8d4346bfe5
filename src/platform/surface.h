// The pixel surface, in the shape of DirectDraw 7: a device, a primary
// surface standing for the screen with a clipper bound to one window, and an
// off-screen surface in the desktop's format (32-bit 0x00RRGGBB) that is
// locked, written through its pitch, and copied 1:1 to the primary.
#pragma once

#include <cstdint>

#include "platform/geometry.h"
#include "platform/window.h"

using Status = std::int32_t;  // 0 success, negative failure
inline constexpr Status status_ok = 0;
inline constexpr Status status_fail = static_cast<Status>(0x80004005);
inline constexpr Status status_pointer = static_cast<Status>(0x80004003);
inline constexpr Status status_surface_lost = static_cast<Status>(0x887601C2);
inline constexpr Status status_still_drawing = static_cast<Status>(0x8876021C);

struct DrawDevice;
struct DrawSurface;
struct DrawClipper;

struct LockedPixels {
    std::uint32_t* pixels = nullptr;
    std::int32_t pitch = 0;  // bytes from one row to the next
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

Status create_draw_device(DrawDevice** device);
Status set_cooperative_level(DrawDevice* device, WindowHandle window);
Status create_primary_surface(DrawDevice* device, DrawSurface** surface);
Status create_offscreen_surface(DrawDevice* device, std::int32_t width, std::int32_t height, DrawSurface** surface);
Status create_clipper(DrawDevice* device, DrawClipper** clipper);
Status clipper_set_window(DrawClipper* clipper, WindowHandle window);
Status set_clipper(DrawSurface* surface, DrawClipper* clipper);  // the surface takes its own reference

void release_device(DrawDevice* device);
void release_surface(DrawSurface* surface);
void release_clipper(DrawClipper* clipper);

// Copies `source_rect` of `source` to `dest_rect` of `dest` (same sizes),
// clipped to the clipper's window; waits while busy.
Status blit(DrawSurface* dest, const Rect& dest_rect, DrawSurface* source, const Rect& source_rect);
Status restore_surface(DrawSurface* surface);  // contents undefined afterwards
Status lock_surface(DrawSurface* surface, LockedPixels& locked);  // whole surface, waits
Status unlock_surface(DrawSurface* surface);
