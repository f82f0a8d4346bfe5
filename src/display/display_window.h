// The one windowed display: a back surface of 640 x 480 pixels in the
// desktop's format that every frame is written into, and a primary surface
// clipped to the view window that it is presented to, 1:1, never scaled.
#pragma once

#include <cstdint>

#include "platform/geometry.h"
#include "platform/surface.h"
#include "platform/window.h"

struct DisplayWindow final {
    // Releases everything it holds; also run first by create_windowed and by
    // destruction.
    virtual Status destroy_objects();
    ~DisplayWindow();

    DrawDevice* direct_draw = nullptr;
    DrawSurface* primary = nullptr;
    DrawSurface* back = nullptr;
    WindowHandle window = nullptr;
    Rect screen_rect{};  // where a present lands, in screen coordinates
    Rect source_rect{};  // what of the back surface is presented
    std::int32_t width = 0;
    std::int32_t height = 0;
};

extern DisplayWindow* display;

Status create_windowed(DisplayWindow& d, WindowHandle window, std::int32_t width, std::int32_t height);
Status present(DisplayWindow& d);
Status update_bounds(DisplayWindow& d);
// From the window's client coordinates (when `client`) or the screen's to the
// back-surface point shown there.
void to_surface_point(const DisplayWindow& d, Point& point, bool client);
DrawSurface* back_surface(const DisplayWindow& d);
void destroy_display();
