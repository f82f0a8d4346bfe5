// Paints a window's whole client area in one colour through the canvas, for
// the host tests that look at where windows landed in the framebuffer.
#pragma once

#include <cstdint>

#include "platform/canvas.h"
#include "platform/window.h"

inline void fill_client(WindowHandle window, std::uint32_t colour)
{
    Canvas* canvas = begin_paint(window);
    const Rect r = client_rect(window);
    PenHandle pen = create_pen(colour);
    BrushHandle brush = create_brush(colour);
    select_pen(canvas, pen);
    select_brush(canvas, brush);
    rectangle(canvas, r.left, r.top, r.right, r.bottom);
    end_paint(window, canvas);  // the canvas lets go of the pen and brush
    delete_pen(pen);
    delete_brush(brush);
}
