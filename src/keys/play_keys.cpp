#include "keys/play_keys.h"

#include <cstdio>
#include <string>
#include <vector>

#include "app/layout.h"
#include "hand/hand.h"
#include "iconbar/iconbar.h"
#include "keys/slider_keys.h"
#include "keys/title_readout.h"
#include "platform/screen.h"

namespace {

std::vector<ExtraKey> extra_keys;

void toggle_full_screen()
{
    if (full_screen())
        set_full_screen(false, 1);
    else
        set_full_screen(true, full_screen_zoom(screen_rect()));
}

bool zoom_key(std::uintptr_t key)
{
    switch (key) {
    case vk_oem_plus:
    case vk_add: set_zoom(zoom() + 1); return true;
    case vk_oem_minus:
    case vk_subtract: set_zoom(zoom() - 1); return true;
    case '0':
    case vk_numpad0: set_zoom(1); return true;
    default: return false;
    }
}

// A key's first press; toggles and one-shot actions ignore the repeats.
bool key_pressed(WindowHandle window, std::uintptr_t key)
{
    if (key_is_down(vk_control))
        return zoom_key(key);
    switch (key) {
    case vk_space: work_toy_key(ToyKeyWork::icon, pause_button, false); return true;
    case 'D': work_toy_key(ToyKeyWork::icon, diffusion_button, false); return true;
    case 'W': work_toy_key(ToyKeyWork::icon, wave_button, false); return true;
    case 'T': work_toy_key(ToyKeyWork::icon, picture_button, false); return true;
    case 'F': toggle_frame_rate(window); return true;
    case vk_f1: information_box(window, keys_help().c_str(), "Modra keys"); return true;
    case vk_f11: toggle_full_screen(); return true;
    case vk_escape:
        if (full_screen())
            set_full_screen(false, 1);
        return true;
    default: break;
    }
    const bool shift = key_is_down(vk_shift);
    for (const ExtraKey& extra : extra_keys)
        if (extra.key == key && extra.shift == shift) {
            extra.press(window);
            return true;
        }
    return false;
}

}  // namespace

void (*toy_key_worked)(ToyKeyWork work, std::uintptr_t value, bool repeat) = nullptr;

bool work_toy_key(ToyKeyWork work, std::uintptr_t value, bool repeat)
{
    bool worked = true;
    switch (work) {
    case ToyKeyWork::icon: click_icon(static_cast<std::int32_t>(value)); break;
    case ToyKeyWork::slider_down: worked = slider_key_down(value, repeat); break;
    case ToyKeyWork::slider_up: worked = slider_key_up(value); break;
    }
    if (worked && toy_key_worked)
        toy_key_worked(work, value, repeat);
    return worked;
}

void offer_extra_keys(std::span<const ExtraKey> keys) { extra_keys.insert(extra_keys.end(), keys.begin(), keys.end()); }

std::string keys_help()
{
    std::string help = "Space   pause, or go on\n"
                       "D, W   the diffusion rule, the wave rule\n"
                       "T   the title picture\n"
                       "Up, Down   the rule parameter\n"
                       "Left, Right   the palette (the picture takes it when you let go)\n";
    for (const ExtraKey& extra : extra_keys)
        help += extra.help;
    return help + "F   frames per second in the title\n"
                  "F11, Alt+Enter   full screen; Esc leaves it\n"
                  "Ctrl+Plus, Ctrl+Minus, Ctrl+0   zoom in, out, back to 1\n"
                  "F1   this list";
}

bool play_key_message(WindowHandle window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam)
{
    const bool repeat = (lparam & key_was_down) != 0;
    switch (message) {
    case wm_keydown:
        if (!key_is_down(vk_control) && work_toy_key(ToyKeyWork::slider_down, wparam, repeat))
            return true;
        return !repeat ? key_pressed(window, wparam) : false;
    case wm_keyup:
        return work_toy_key(ToyKeyWork::slider_up, wparam, false);
    case wm_syskeydown:
        // Alt+Enter; every other Alt key is the system's (Alt+F4 closes).
        if (wparam != vk_return)
            return false;
        if (!repeat)
            toggle_full_screen();
        return true;
    case wm_syschar:
        // Its character would ring the bell, for a menu the window has not.
        return wparam == '\r';
    case wm_timer:
        return readout_timer(window, wparam);
    default:
        return false;
    }
}

std::int32_t full_screen_zoom(const Rect& screen)
{
    std::int32_t z = max_zoom;
    while (z > 1 && (rect_width(screen) / z < client_width || rect_height(screen) / z < client_height))
        --z;
    return z;
}
