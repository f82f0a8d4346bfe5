// How big the top-level window is shown: an integer zoom of its pixels and
// full screen. Both belong to the place the toy runs in, not to the toy:
// every window, point and size the program sees stays in its own unzoomed
// pixels. A platform that leaves this to the system says so and answers
// false.
#pragma once

#include <cstdint>

#include "platform/geometry.h"

inline constexpr std::int32_t max_zoom = 4;

std::int32_t zoom();  // 1 .. max_zoom
// The window keeps its client size in the program's pixels and grows or
// shrinks on the screen; false when this platform does not zoom.
bool set_zoom(std::int32_t zoom);

bool full_screen();
// Full screen at `zoom`: the client becomes the screen's size divided by the
// zoom. Leaving gives back the zoom and client size of before.
bool set_full_screen(bool on, std::int32_t zoom);
// The whole screen the top-level window is on, in screen pixels.
Rect screen_rect();
