// How a host hands the user's actions and the screen's state to the portable
// window system, and reads back what it drew.
#pragma once

#include <cstdint>

#include "platform/geometry.h"

// The top-level window's client area as one picture of 0x00RRGGBB pixels.
struct Framebuffer {
    const std::uint32_t* pixels = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t pitch = 0;  // bytes
};

Framebuffer top_level_framebuffer();

// A pointer event at a point of the top-level window's client area. `message`
// is wm_mousemove, wm_lbuttondown, wm_lbuttonup, wm_rbuttondown or
// wm_rbuttonup; `buttons` holds mk_lbutton / mk_rbutton as they are after the
// event. Routed to the capture window, else to the window under the point.
void inject_pointer(std::uint32_t message, Point point, std::uintptr_t buttons);

// The user resized the top-level window's client area, moved it (client
// origin in screen coordinates), or asked to close it.
void inject_resize(std::int32_t width, std::int32_t height);
void inject_move(std::int32_t x, std::int32_t y);
void inject_close();
