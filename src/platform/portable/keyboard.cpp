// Key input: the focus is always the top-level window, the only one of the
// toy's windows a user can type into.
#include "platform/portable/events.h"
#include "platform/portable/window_system.h"

void inject_key(std::uintptr_t virtual_key, bool down)
{
    WindowSystem& ws = window_system();
    if (!ws.top_level || virtual_key >= ws.keys_down.size())
        return;
    const bool was_down = ws.keys_down[virtual_key];
    ws.keys_down[virtual_key] = down;
    const bool alt = ws.keys_down[vk_menu];
    const bool system = alt || virtual_key == vk_f10 || virtual_key == vk_menu;
    const std::uint32_t message = down ? (system ? wm_syskeydown : wm_keydown) : (system ? wm_syskeyup : wm_keyup);
    std::intptr_t lparam = 1;  // one keystroke; repeats come one message each
    if (alt)
        lparam |= key_alt_held;
    if (was_down || !down)
        lparam |= key_was_down;
    if (!down)
        lparam |= key_released;
    post_message(ws.top_level, message, virtual_key, lparam);
}

void note_key_message(const Message& message)
{
    WindowSystem& ws = window_system();
    const bool down = message.message == wm_keydown || message.message == wm_syskeydown;
    const bool up = message.message == wm_keyup || message.message == wm_syskeyup;
    if ((down || up) && message.wparam < ws.keys_seen.size())
        ws.keys_seen[message.wparam] = down;
}

bool key_is_down(std::uintptr_t virtual_key)
{
    const WindowSystem& ws = window_system();
    return virtual_key < ws.keys_seen.size() && ws.keys_seen[virtual_key];
}
