// Drawing into a window, with the GDI's pixel rules: rectangles exclude their
// right and bottom edges (and are normalised when given upside down), lines
// exclude their end point, polygons are filled and then outlined. Colours
// are 0x00RRGGBB.
#pragma once

#include <cstdint>

#include "platform/geometry.h"
#include "platform/window.h"

struct Canvas;  // opaque: a device context
struct Pen;
struct Brush;
using PenHandle = Pen*;
using BrushHandle = Brush*;

Canvas* begin_paint(WindowHandle window);  // validates the window
void end_paint(WindowHandle window, Canvas* canvas);
Canvas* get_canvas(WindowHandle window);  // drawing outside a paint message
void release_canvas(WindowHandle window, Canvas* canvas);

PenHandle create_pen(std::uint32_t colour);  // solid, one pixel
BrushHandle create_brush(std::uint32_t colour);
void delete_pen(PenHandle pen);
void delete_brush(BrushHandle brush);
PenHandle black_pen();
PenHandle white_pen();
BrushHandle black_brush();
BrushHandle grey_brush();    // (128, 128, 128)
BrushHandle hollow_brush();  // no fill

// Each returns what was selected before.
PenHandle select_pen(Canvas* canvas, PenHandle pen);
BrushHandle select_brush(Canvas* canvas, BrushHandle brush);

void rectangle(Canvas* canvas, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
void move_to(Canvas* canvas, std::int32_t x, std::int32_t y);
void line_to(Canvas* canvas, std::int32_t x, std::int32_t y);
void polygon(Canvas* canvas, const Point* points, std::int32_t count);
void draw_icon(Canvas* canvas, std::int32_t x, std::int32_t y, IconHandle icon);  // at its own size, through its mask

std::int32_t colour_depth(Canvas* canvas);  // bits per pixel of the device

IconHandle load_icon(std::int32_t resource_id);
