#include "keys/slider_keys.h"

#include "platform/window.h"
#include "slider/slider.h"

namespace {

struct ArrowKey {
    std::uintptr_t key;
    std::int32_t slider;
    std::int32_t direction;
};

constexpr ArrowKey arrow_keys[] = {
    {vk_up, 0, +1}, {vk_down, 0, -1}, {vk_right, 1, +1}, {vk_left, 1, -1}};

// The key whose press is going on, if any.
const ArrowKey* held = nullptr;

const ArrowKey* arrow_for(std::uintptr_t key)
{
    for (const ArrowKey& a : arrow_keys)
        if (a.key == key)
            return &a;
    return nullptr;
}

// The middle of the arrow's zone, from the control's size now.
Point arrow_point(const Slider& slider, std::int32_t direction)
{
    const Rect client = client_rect(slider.handle);
    const Rect track = track_rect(slider);
    if (slider.vertical)
        return {client.right / 2, direction > 0 ? (track.top - 5) / 2 : (track.bottom + 5 + client.bottom) / 2};
    return {direction > 0 ? (track.right + 5 + client.right) / 2 : (track.left - 5) / 2, client.bottom / 2};
}

bool slider_ready(std::int32_t index) { return index < slider_count && sliders[index].handle; }

}  // namespace

bool slider_key_down(std::uintptr_t virtual_key, bool repeat)
{
    const ArrowKey* arrow = arrow_for(virtual_key);
    if (!arrow)
        return false;
    if (!slider_ready(arrow->slider))
        return true;
    Slider& slider = sliders[arrow->slider];
    if (repeat) {
        if (held == arrow) {
            const Point p = arrow_point(slider, arrow->direction);
            track_pointer(slider, p.x, p.y, false);
        }
        return true;
    }
    if (held)
        slider_key_up(held->key);
    // An arrow the pointer holds is the pointer's.
    if (slider.pressed_arrow != 0)
        return true;
    held = arrow;
    const Point p = arrow_point(slider, arrow->direction);
    track_pointer(slider, p.x, p.y, true);
    return true;
}

bool slider_key_up(std::uintptr_t virtual_key)
{
    const ArrowKey* arrow = arrow_for(virtual_key);
    if (!arrow)
        return false;
    if (held == arrow) {
        held = nullptr;
        if (slider_ready(arrow->slider))
            end_press(sliders[arrow->slider]);
    }
    return true;
}
