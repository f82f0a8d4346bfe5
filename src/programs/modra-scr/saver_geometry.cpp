#include "programs/modra-scr/saver_geometry.h"

Rect cover_rect(std::int32_t width, std::int32_t height, std::int32_t picture_width, std::int32_t picture_height)
{
    if (width <= 0 || height <= 0 || picture_width <= 0 || picture_height <= 0)
        return {};
    const std::int64_t w = width, h = height, pw = picture_width, ph = picture_height;
    // Rounded up, so the scaled picture never leaves a line of the area bare.
    std::int64_t scaled_w = w, scaled_h = h;
    if (w * ph >= h * pw)
        scaled_h = (w * ph + pw - 1) / pw;
    else
        scaled_w = (h * pw + ph - 1) / ph;
    const auto left = static_cast<std::int32_t>((w - scaled_w) / 2);
    const auto top = static_cast<std::int32_t>((h - scaled_h) / 2);
    return {left, top, left + static_cast<std::int32_t>(scaled_w), top + static_cast<std::int32_t>(scaled_h)};
}

bool pointer_moved_away(PointerWatch& watch, Point at)
{
    if (!watch.seen) {
        watch = {true, at};
        return false;
    }
    const std::int64_t dx = std::int64_t{at.x} - watch.first.x, dy = std::int64_t{at.y} - watch.first.y;
    return dx * dx + dy * dy > std::int64_t{pointer_slack} * pointer_slack;
}
