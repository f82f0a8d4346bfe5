// The picture view: its creation builds the display, its paints are frozen
// frames, and it is the toy's pointer input — drops under the left button,
// both sliders under a right drag.
#pragma once

#include <cstdint>

#include "platform/geometry.h"
#include "platform/window.h"

inline constexpr std::int32_t view_child_id = 2;
inline constexpr std::int32_t drop_radius = 10;

extern WindowHandle view_window;
extern Point drag_anchor;  // where the right button last went down, client coordinates

bool create_view_window(WindowHandle parent, std::int32_t x, std::int32_t y, std::int32_t width,
                        std::int32_t height);
std::intptr_t view_window_proc(WindowHandle window, std::uint32_t message, std::uintptr_t wparam,
                               std::intptr_t lparam);
