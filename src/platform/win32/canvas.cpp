// GDI drawing. The interface's pixel rules are GDI's own, so each call passes
// straight through.
#include <array>

#include "platform/win32/handles.h"

static_assert(sizeof(Point) == sizeof(POINT) && offsetof(Point, y) == offsetof(POINT, y),
              "polygon points are passed to GDI as they are");

namespace {

// EndPaint needs the PAINTSTRUCT that BeginPaint filled. Paints nest only when
// a paint handler updates another window, so a few slots are plenty.
struct OpenPaint {
    HWND window = nullptr;
    PAINTSTRUCT paint{};
};
std::array<OpenPaint, 8> open_paints;

}  // namespace

Canvas* begin_paint(WindowHandle window)
{
    for (OpenPaint& slot : open_paints) {
        if (slot.window)
            continue;
        HDC dc = BeginPaint(to_hwnd(window), &slot.paint);
        if (dc)
            slot.window = to_hwnd(window);
        return from_hdc(dc);
    }
    return nullptr;
}

void end_paint(WindowHandle window, Canvas* canvas)
{
    for (OpenPaint& slot : open_paints) {
        if (slot.window == to_hwnd(window) && slot.paint.hdc == to_hdc(canvas)) {
            EndPaint(slot.window, &slot.paint);
            slot.window = nullptr;
            return;
        }
    }
}

Canvas* get_canvas(WindowHandle window) { return from_hdc(GetDC(to_hwnd(window))); }
void release_canvas(WindowHandle window, Canvas* canvas) { ReleaseDC(to_hwnd(window), to_hdc(canvas)); }

PenHandle create_pen(std::uint32_t colour) { return from_hpen(CreatePen(PS_SOLID, 1, to_colorref(colour))); }
BrushHandle create_brush(std::uint32_t colour) { return from_hbrush(CreateSolidBrush(to_colorref(colour))); }
void delete_pen(PenHandle pen) { DeleteObject(to_hpen(pen)); }
void delete_brush(BrushHandle brush) { DeleteObject(to_hbrush(brush)); }
PenHandle black_pen() { return from_hpen(GetStockObject(BLACK_PEN)); }
PenHandle white_pen() { return from_hpen(GetStockObject(WHITE_PEN)); }
BrushHandle black_brush() { return from_hbrush(GetStockObject(BLACK_BRUSH)); }
BrushHandle grey_brush() { return from_hbrush(GetStockObject(GRAY_BRUSH)); }
BrushHandle hollow_brush() { return from_hbrush(GetStockObject(HOLLOW_BRUSH)); }

PenHandle select_pen(Canvas* canvas, PenHandle pen) { return from_hpen(SelectObject(to_hdc(canvas), to_hpen(pen))); }

BrushHandle select_brush(Canvas* canvas, BrushHandle brush)
{
    return from_hbrush(SelectObject(to_hdc(canvas), to_hbrush(brush)));
}

void rectangle(Canvas* canvas, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom)
{
    Rectangle(to_hdc(canvas), left, top, right, bottom);
}

void move_to(Canvas* canvas, std::int32_t x, std::int32_t y) { MoveToEx(to_hdc(canvas), x, y, nullptr); }
void line_to(Canvas* canvas, std::int32_t x, std::int32_t y) { LineTo(to_hdc(canvas), x, y); }

void polygon(Canvas* canvas, const Point* points, std::int32_t count)
{
    Polygon(to_hdc(canvas), reinterpret_cast<const POINT*>(points), count);
}

void draw_icon(Canvas* canvas, std::int32_t x, std::int32_t y, IconHandle icon)
{
    DrawIcon(to_hdc(canvas), x, y, to_hicon(icon));
}

std::int32_t colour_depth(Canvas* canvas) { return GetDeviceCaps(to_hdc(canvas), BITSPIXEL); }

IconHandle load_icon(std::int32_t resource_id)
{
    return from_hicon(LoadIconA(program_instance(), MAKEINTRESOURCEA(resource_id)));
}
