// The message queue: posted and input messages first, then paint, then
// timers, as the native queue hands them out.
#include <algorithm>

#include "platform/portable/host.h"
#include "platform/portable/window_system.h"

void post_message(Window* window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam)
{
    window_system().queue.push_back({window, message, wparam, lparam});
}

void forget_window_messages(const Window* window)
{
    std::erase_if(window_system().queue, [&](const Message& m) { return m.window == window; });
}

void post_quit(std::int32_t code)
{
    post_message(nullptr, wm_quit, static_cast<std::uintptr_t>(static_cast<std::uint32_t>(code)), 0);
}

bool peek_message(Message& message)
{
    host_poll_events();
    WindowSystem& ws = window_system();
    while (!ws.queue.empty()) {
        message = ws.queue.front();
        ws.queue.pop_front();
        if (message.window || message.message == wm_quit || route_pointer(message)) {
            note_key_message(message);
            return true;
        }
    }
    // Paint is generated, never queued: a window that does not validate
    // gets asked again each time the queue runs dry.
    if (Window* window = window_needing_paint()) {
        message = {window, wm_paint, 0, 0};
        return true;
    }
    if (take_due_timer(message))
        return true;
    host_queue_idle();
    return false;
}

void translate_message(const Message&) {}

std::intptr_t dispatch_message(const Message& message)
{
    Window* window = live_window(message.window);
    if (!window)
        return 0;
    return send_message(window, message.message, message.wparam, message.lparam);
}

std::intptr_t default_window_proc(WindowHandle handle, std::uint32_t message, std::uintptr_t, std::intptr_t)
{
    Window* window = live_window(handle);
    if (!window)
        return 0;
    switch (message) {
    case wm_paint:  // as an empty BeginPaint/EndPaint pair would
        validate_window(window, nullptr);
        return 0;
    case wm_close:
        destroy_window(window);
        return 0;
    default:
        return 0;
    }
}
