#include "app/flags.h"
#include "iconbar/iconbar.h"
#include "iconbar/picture_stamp.h"
#include "sim/cell_field.h"

IconBar iconbars[1];
std::int32_t next_iconbar_id = first_iconbar_id;

namespace {

void press_rule_button(IconBar& bar, std::int32_t index, std::int32_t request, bool apply)
{
    if (request != click || bar.state[index] == down)
        return;
    const std::int32_t kind = bar.kind[index];
    const std::int32_t partner = kind == diffusion_button ? wave_button : diffusion_button;
    for (std::int32_t i = 0; i < bar.count; ++i)
        if (bar.kind[i] == partner)
            bar.state[i] = up;
    bar.state[index] = down;
    if (apply)
        set_mode(kind == diffusion_button ? 0 : 1);
}

void press_pause_button(IconBar& bar, std::int32_t index, std::int32_t request, bool apply)
{
    if (request == click) {
        if (bar.state[index] == disabled)
            return;
        request = bar.state[index] == up ? down : up;
    }
    if (request == up || request == down) {
        bar.state[index] = request;
        if (apply)
            paused = request == down;
    } else if (request == disabled) {
        bar.state[index] = disabled;
    }
}

void press_picture_button(IconBar& bar, std::int32_t index, std::int32_t request, bool redraw)
{
    if (request == click) {
        // The hold freezes the picture whatever `apply` says; clicking again
        // stamps again and restarts the five seconds.
        stamp_picture();
        press_button(bar, find_kind(bar, pause_button), disabled, redraw, false);
        paused = true;
        set_timer(bar.window, hold_timer, hold_ms);
        request = down;
    }
    if (request == up || request == down)
        bar.state[index] = request;
}

}  // namespace

void set_window(IconBar& bar, WindowHandle window) { bar.window = window; }

void add_button(IconBar& bar, std::int32_t index, std::int32_t first_icon, std::int32_t kind, bool redraw)
{
    if (index < 0 || index >= max_buttons)
        return;
    if (bar.count < index + 1)
        bar.count = index + 1;
    bar.state[index] = up;
    bar.first_icon[index] = first_icon;
    bar.kind[index] = kind;
    for (std::int32_t s = 0; s < 4; ++s)
        bar.face[index][s] = load_icon((first_icon + s) & 0xFFFF);
    if (redraw) {
        invalidate(bar.window, nullptr, true);
        update_window(bar.window);
    }
}

std::int32_t find_kind(const IconBar& bar, std::int32_t kind)
{
    for (std::int32_t i = 0; i < bar.count; ++i)
        if (bar.kind[i] == kind)
            return i;
    return -1;
}

void press_button(IconBar& bar, std::int32_t index, std::int32_t request, bool redraw, bool apply)
{
    if (index < 0 || index >= bar.count)
        return;
    switch (bar.kind[index]) {
    case diffusion_button:
    case wave_button:
        press_rule_button(bar, index, request, apply);
        break;
    case pause_button:
        press_pause_button(bar, index, request, apply);
        break;
    case picture_button:
        press_picture_button(bar, index, request, redraw);
        break;
    default:
        break;
    }
    if (redraw) {
        invalidate(bar.window, nullptr, true);
        update_window(bar.window);
    }
}

void end_hold(IconBar& bar)
{
    kill_timer(bar.window, hold_timer);
    press_button(bar, find_kind(bar, pause_button), up, true, true);
    press_button(bar, find_kind(bar, picture_button), up, true, true);
}
