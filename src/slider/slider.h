// The owner-drawn slider: a value inside a range, shown as a thumb on a
// track between two arrows. There are exactly two, in fixed storage, found
// from a slider window through its child identifier.
#pragma once

#include <cstdint>

#include "platform/canvas.h"
#include "platform/geometry.h"
#include "platform/window.h"

inline constexpr std::uint32_t bind_parameter = 0;  // the active rule's parameter
inline constexpr std::uint32_t bind_palette = 1;    // the choice of palette

struct Slider {
    WindowHandle handle = nullptr;
    std::int32_t minimum = 0;
    std::int32_t maximum = 100;
    std::int32_t value = 0;
    bool vertical = false;  // low end at the bottom; otherwise at the left
    std::uint32_t binding = bind_parameter;
    std::int32_t pressed_arrow = 0;  // -1 decrease, +1 increase, 0 none
    std::int32_t anchor = 0;         // the value when the current press or drag began
};

inline constexpr std::int32_t max_sliders = 2;
extern Slider sliders[max_sliders];
extern std::int32_t slider_count;

// Geometry, from the window's client size at the moment of asking.
Rect track_rect(const Slider& slider);
std::int32_t track_span(const Slider& slider);
std::int32_t thumb_offset(const Slider& slider);
std::int32_t thumb_position(const Slider& slider);

// Painting.
void draw_arrow(const Slider& slider, Canvas* canvas, std::int32_t direction);
void draw_parameter_fill(const Slider& slider, Canvas* canvas);
void draw_palette_track(const Slider& slider, Canvas* canvas);
void paint_slider(const Slider& slider, Canvas* canvas);

// Values and bindings.
void set_range(Slider& slider, std::int32_t minimum, std::int32_t maximum);
void set_binding(Slider& slider, std::uint32_t binding, std::int32_t value);
void attach(Slider& slider, WindowHandle handle, bool vertical, std::uint32_t binding);
std::uint32_t get_binding(const Slider& slider);
void set_value(Slider& slider, std::int32_t value, bool commit);
bool track_pointer(Slider& slider, std::int32_t x, std::int32_t y, bool press);
std::int32_t step_arrow(Slider& slider, std::int32_t direction);
void end_press(Slider& slider);
void nudge(Slider& slider, std::int32_t delta, bool reset);
void repaint_slider(const Slider& slider);
void repaint_track(const Slider& slider);
