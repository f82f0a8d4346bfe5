#include "palette/palette.h"
#include "slider/slider.h"

namespace {

constexpr std::uint32_t white = 0xFFFFFF;
constexpr std::uint32_t frame_grey = 0x7F7F7F;

// One line per track pixel row (vertical) or column (horizontal), each in its
// own pen: entry i * 255 / span of `palette`, for i = 0 .. last.
void draw_track_lines(const Slider& slider, Canvas* canvas, const Palette& palette, std::int32_t last)
{
    const Rect t = track_rect(slider);
    const std::int32_t span = slider.vertical ? rect_height(t) : rect_width(t);
    PenHandle previous = nullptr;
    PenHandle pen = nullptr;
    for (std::int32_t i = 0; i <= last; ++i) {
        PenHandle next = create_pen(palette[i * 255 / span]);
        PenHandle old = select_pen(canvas, next);
        if (pen)
            delete_pen(pen);
        else
            previous = old;
        pen = next;
        if (slider.vertical) {
            move_to(canvas, t.left, t.bottom - 1 - i);
            line_to(canvas, t.right, t.bottom - 1 - i);
        } else {
            move_to(canvas, t.left + i, t.top);
            line_to(canvas, t.left + i, t.bottom);
        }
    }
    if (pen) {
        select_pen(canvas, previous);
        delete_pen(pen);
    }
}

}  // namespace

void draw_arrow(const Slider& slider, Canvas* canvas, std::int32_t direction)
{
    const bool pressed = slider.pressed_arrow == direction;
    PenHandle pen = pressed ? white_pen() : create_pen(frame_grey);
    PenHandle old_pen = select_pen(canvas, pen);
    BrushHandle old_brush = select_brush(canvas, pressed ? grey_brush() : black_brush());

    const Rect t = track_rect(slider);
    Point corners[3];
    if (slider.vertical) {
        const std::int32_t a = (t.left + t.right - 19) / 2;
        if (direction > 0)
            corners[0] = {a, t.top - 11}, corners[1] = {a + 18, t.top - 11}, corners[2] = {a + 9, t.top - 30};
        else
            corners[0] = {a, t.bottom + 10}, corners[1] = {a + 18, t.bottom + 10}, corners[2] = {a + 9, t.bottom + 29};
    } else {
        const std::int32_t a = (t.top + t.bottom - 19) / 2;
        if (direction > 0)
            corners[0] = {t.right + 10, a}, corners[1] = {t.right + 10, a + 18}, corners[2] = {t.right + 29, a + 9};
        else
            corners[0] = {t.left - 11, a}, corners[1] = {t.left - 11, a + 18}, corners[2] = {t.left - 30, a + 9};
    }
    polygon(canvas, corners, 3);

    select_brush(canvas, old_brush);
    select_pen(canvas, old_pen);
    if (!pressed)
        delete_pen(pen);
}

void draw_parameter_fill(const Slider& slider, Canvas* canvas)
{
    const std::int32_t offset = thumb_offset(slider);
    draw_track_lines(slider, canvas, displayed_palette, offset);

    PenHandle old_pen = select_pen(canvas, black_pen());
    BrushHandle old_brush = select_brush(canvas, black_brush());
    const Rect t = track_rect(slider);
    if (slider.vertical)
        rectangle(canvas, t.left, t.top, t.right, t.bottom - offset - 1);
    else
        rectangle(canvas, t.left + offset, t.top, t.right, t.bottom);
    select_brush(canvas, old_brush);
    select_pen(canvas, old_pen);
}

void draw_palette_track(const Slider& slider, Canvas* canvas)
{
    draw_track_lines(slider, canvas, preview_palette, track_span(slider) - 1);
}

void paint_slider(const Slider& slider, Canvas* canvas)
{
    const Rect client = client_rect(slider.handle);
    const std::int32_t w = client.right;
    const std::int32_t h = client.bottom;
    const Rect t = track_rect(slider);
    const Rect f{t.left - 1, t.top - 1, t.right + 1, t.bottom + 1};

    PenHandle old_pen = select_pen(canvas, black_pen());
    BrushHandle old_brush = select_brush(canvas, black_brush());
    if (slider.vertical) {
        rectangle(canvas, 0, 0, w, f.top);
        rectangle(canvas, 0, f.bottom, w, h);
    } else {
        rectangle(canvas, 0, 0, f.left, h);
        rectangle(canvas, f.right, 0, w, h);
    }

    PenHandle grey = create_pen(frame_grey);
    select_pen(canvas, grey);
    select_brush(canvas, hollow_brush());
    rectangle(canvas, f.left, f.top, f.right, f.bottom);
    select_pen(canvas, black_pen());
    delete_pen(grey);

    draw_arrow(slider, canvas, -1);
    draw_arrow(slider, canvas, +1);
    if (slider.binding == bind_parameter)
        draw_parameter_fill(slider, canvas);
    else if (slider.binding == bind_palette)
        draw_palette_track(slider, canvas);

    select_pen(canvas, black_pen());
    select_brush(canvas, black_brush());
    if (slider.vertical) {
        rectangle(canvas, 0, f.top, f.left, f.bottom);
        rectangle(canvas, f.right, f.top, w, f.bottom);
    } else {
        rectangle(canvas, f.left, 0, f.right, f.top);
        rectangle(canvas, f.left, f.bottom, f.right, h);
    }

    // The thumb: a one-pixel white bar across the control with two-pixel tabs
    // eleven long at both edges.
    const std::int32_t pos = thumb_position(slider);
    BrushHandle white_fill = create_brush(white);
    select_pen(canvas, white_pen());
    select_brush(canvas, white_fill);
    if (slider.vertical) {
        rectangle(canvas, 0, pos - 5, 2, pos + 6);
        rectangle(canvas, w - 2, pos - 5, w, pos + 6);
        move_to(canvas, 0, pos);
        line_to(canvas, w - 2, pos);
    } else {
        rectangle(canvas, pos - 5, 0, pos + 6, 2);
        rectangle(canvas, pos - 5, h - 2, pos + 6, h);
        move_to(canvas, pos, 0);
        line_to(canvas, pos, h - 2);
    }
    select_brush(canvas, old_brush);
    select_pen(canvas, old_pen);
    delete_brush(white_fill);
}
