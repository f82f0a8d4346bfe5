#include "hand/hand.h"

#include "app/view_window.h"
#include "iconbar/iconbar.h"
#include "platform/clock.h"
#include "sim/drop.h"
#include "slider/slider.h"

void (*hand_acted)(const HandAction& action) = nullptr;

void click_icon(std::int32_t kind)
{
    IconBar& bar = iconbars[0];
    if (!bar.window)
        return;
    if (const std::int32_t index = find_kind(bar, kind); index >= 0)
        press_button(bar, index, click, true, true);
}

void apply_hand_action(const HandAction& action)
{
    switch (action.kind) {
    case HandAction::drop: stamp_drop(action.a, action.b, drop_radius); break;
    case HandAction::palette:
        if (slider_count >= 2)
            set_value(sliders[1], action.a, true);
        break;
    case HandAction::parameter:
        if (slider_count >= 1)
            set_value(sliders[0], action.a, true);
        break;
    case HandAction::rule: click_icon(action.a == 1 ? wave_button : diffusion_button); break;
    case HandAction::picture: click_icon(picture_button); break;
    }
}

void act(const HandAction& action)
{
    if (hand_acted)
        hand_acted(action);
    apply_hand_action(action);
}

std::uint64_t clock_seed()
{
    std::int64_t now = 0;
    query_performance_counter(now);
    return static_cast<std::uint64_t>(now) ^ (std::uint64_t{tick_count()} << 32);
}
