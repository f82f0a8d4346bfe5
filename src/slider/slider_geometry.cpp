#include "slider/slider.h"

Slider sliders[max_sliders];
std::int32_t slider_count = 0;

Rect track_rect(const Slider& slider)
{
    // Two pixels in from the long sides, thirty from the ends for the arrows.
    const Rect client = client_rect(slider.handle);
    if (slider.vertical)
        return {2, 30, client.right - 2, client.bottom - 30};
    return {30, 2, client.right - 30, client.bottom - 2};
}

std::int32_t track_span(const Slider& slider)
{
    const Rect t = track_rect(slider);
    return slider.vertical ? rect_height(t) : rect_width(t);
}

std::int32_t thumb_offset(const Slider& slider)
{
    return (track_span(slider) - 1) * (slider.value - slider.minimum) / (slider.maximum - slider.minimum);
}

std::int32_t thumb_position(const Slider& slider)
{
    const Rect t = track_rect(slider);
    return slider.vertical ? (t.bottom - 1) - thumb_offset(slider) : t.left + thumb_offset(slider);
}
