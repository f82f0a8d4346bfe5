#include <algorithm>
#include <cmath>

#include "palette/palette.h"
#include "palette/palette_bank.h"
#include "sim/cell_field.h"
#include "slider/slider.h"

namespace {

std::int32_t clamp_value(const Slider& slider, std::int32_t v)
{
    return v < slider.minimum ? slider.minimum : (v > slider.maximum ? slider.maximum : v);
}

// The arrow zones span the whole width of the control, five pixels and more
// beyond the track's ends.
std::int32_t zone_of(const Slider& slider, const Rect& t, std::int32_t x, std::int32_t y)
{
    if (slider.vertical)
        return y >= t.bottom + 5 ? -1 : (y <= t.top - 5 ? +1 : 0);
    return x >= t.right + 5 ? +1 : (x <= t.left - 5 ? -1 : 0);
}

void redraw_arrow(const Slider& slider, std::int32_t direction)
{
    Canvas* canvas = get_canvas(slider.handle);
    draw_arrow(slider, canvas, direction);
    release_canvas(slider.handle, canvas);
}

}  // namespace

void set_range(Slider& slider, std::int32_t minimum, std::int32_t maximum)
{
    slider.minimum = minimum;
    slider.maximum = maximum;
    if (slider.value > slider.maximum)
        slider.value = slider.maximum;
    if (slider.value < slider.minimum)
        slider.value = slider.minimum;
}

void set_binding(Slider& slider, std::uint32_t binding, std::int32_t value)
{
    slider.binding = binding;
    if (binding == bind_parameter)
        set_range(slider, parameter_min, parameter_max);
    else if (binding == bind_palette)
        set_range(slider, 0, palette_bank.count - 1);
    slider.value = value;
}

void attach(Slider& slider, WindowHandle handle, bool vertical, std::uint32_t binding)
{
    slider.handle = handle;
    slider.vertical = vertical;
    set_binding(slider, binding, 0);
}

std::uint32_t get_binding(const Slider& slider) { return slider.binding; }

void set_value(Slider& slider, std::int32_t value, bool commit)
{
    const std::int32_t v = clamp_value(slider, value);
    if (v == slider.value && (!commit || v == slider.anchor))
        return;
    slider.value = v;
    if (commit)
        slider.anchor = v;
    if (slider.binding == bind_parameter) {
        sim_mode.parameter = v;
        repaint_track(slider);
    } else if (slider.binding == bind_palette) {
        set_preview_palette(v);
        set_target_palette(v);
        // Every palette-bound slider shows the preview palette.
        for (std::int32_t i = 0; i < slider_count; ++i)
            repaint_track(sliders[i]);
    }
}

bool track_pointer(Slider& slider, std::int32_t x, std::int32_t y, bool press)
{
    const Rect t = track_rect(slider);
    const std::int32_t span = slider.vertical ? rect_height(t) : rect_width(t);
    std::int32_t v = slider.value;
    if (press)
        slider.anchor = slider.value;

    const std::int32_t zone = zone_of(slider, t, x, y);
    if (zone == 0 && (press || slider.pressed_arrow == 0)) {
        const std::int32_t along = slider.vertical ? t.bottom - y : x - t.left;
        const double q = static_cast<double>(along * (slider.maximum - slider.minimum)) / span;
        v = slider.minimum + static_cast<std::int32_t>(std::trunc(q + 0.5));
    }
    if (press || zone == slider.pressed_arrow) {
        if (zone != 0)
            v = step_arrow(slider, zone);
        else
            slider.pressed_arrow = 0;
    }

    v = clamp_value(slider, v);
    if (v == slider.value)
        return zone != 0;
    if (slider.binding == bind_parameter) {
        set_value(slider, v, true);
    } else if (slider.binding == bind_palette) {
        // Only a preview while the press lasts; end_press commits it.
        slider.value = v;
        set_preview_palette(v);
        repaint_track(slider);
    }
    return zone != 0;
}

std::int32_t step_arrow(Slider& slider, std::int32_t direction)
{
    const std::int32_t step = slider.binding == bind_palette
                                  ? direction
                                  : direction * std::max(1, (slider.maximum - slider.minimum) / 200);
    if (slider.pressed_arrow != direction) {
        slider.pressed_arrow = direction;
        redraw_arrow(slider, direction);
    }
    // A parameter slider applies the step here and its caller applies it once
    // more from the returned value: two steps per press or repeat.
    if (slider.binding == bind_parameter)
        set_value(slider, slider.value + step, true);
    return slider.value + step;
}

void end_press(Slider& slider)
{
    if (slider.pressed_arrow != 0) {
        const std::int32_t released = slider.pressed_arrow;
        slider.pressed_arrow = 0;
        redraw_arrow(slider, released);
    }
    set_value(slider, slider.value, true);
}

void nudge(Slider& slider, std::int32_t delta, bool reset)
{
    if (reset) {
        slider.anchor = slider.value;
        return;
    }
    const std::int32_t span = track_span(slider);
    const std::int32_t d =
        slider.binding == bind_parameter ? delta * (slider.maximum - slider.minimum) / span : delta / 50;
    set_value(slider, slider.anchor + d, false);
}

void repaint_slider(const Slider& slider)
{
    invalidate(slider.handle, nullptr, true);
    update_window(slider.handle);
}

void repaint_track(const Slider& slider)
{
    const Rect client = client_rect(slider.handle);
    const Rect track = slider.vertical ? Rect{0, 25, client.right, client.bottom - 25}
                                       : Rect{25, 0, client.right - 25, client.bottom};
    invalidate(slider.handle, &track, true);
    update_window(slider.handle);
}
