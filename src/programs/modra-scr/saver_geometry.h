// The screensaver's two small rules of geometry. Pure: no Windows call.
#pragma once

#include <cstdint>

#include "platform/geometry.h"

// Where a picture of `picture_width` x `picture_height` goes to cover a
// client area of `width` x `height`: scaled alike both ways until neither
// side falls short, centred, what sticks out cropped by the window. Empty
// for an empty area.
Rect cover_rect(std::int32_t width, std::int32_t height, std::int32_t picture_width, std::int32_t picture_height);

// Windows sends a pointer move as a window appears under a still pointer,
// and a resting hand jitters a pixel or two: the first move seen only sets
// where the pointer is, and only one more than this far from there counts.
inline constexpr std::int32_t pointer_slack = 4;

struct PointerWatch {
    bool seen = false;
    Point first;
};

// True once the pointer has really moved.
bool pointer_moved_away(PointerWatch& watch, Point at);
