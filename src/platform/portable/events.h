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

// Points and sizes from the host are in screen pixels: at a zoom above 1 the
// window system divides them back into the program's own.

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
// The user dropped a file on the page or chose one: wm_dropfiles to the
// top-level window.
void inject_file_given();

// A key went down (again, when held: the keyboard's own repeat) or up. It
// goes to the top-level window, which has the focus, as wm_keydown /
// wm_keyup, or wm_syskeydown / wm_syskeyup while Alt is held.
void inject_key(std::uintptr_t virtual_key, bool down);

// Copies `rect` (framebuffer coordinates) of `framebuffer` into a picture
// `zoom` times its size, each pixel a zoom x zoom square; `dest` is that
// picture's top-left pixel, `dest_pitch` its row length in bytes.
void copy_zoomed(const Framebuffer& framebuffer, const Rect& rect, std::int32_t zoom, std::uint32_t* dest,
                 std::int32_t dest_pitch);
