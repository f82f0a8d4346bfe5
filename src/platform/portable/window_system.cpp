// The one window system of the process, and the look-ups every part of it
// needs. Also the reset that tests use between cases.
#include "platform/portable/window_system.h"

#include <cstring>

#include "platform/portable/host.h"
#include "platform/portable/window_testing.h"

WindowSystem& window_system()
{
    static WindowSystem system;
    return system;
}

Window* live_window(WindowHandle window)
{
    if (!window)
        return nullptr;
    for (const auto& w : window_system().windows)
        if (w.get() == window)
            return w.get();
    return nullptr;
}

const WindowClassRecord* find_class(const char* name)
{
    if (!name)
        return nullptr;
    for (const auto& c : window_system().classes)
        if (c->name == name)
            return c.get();
    return nullptr;
}

bool register_class(const WindowClass& window_class)
{
    if (!window_class.name || !window_class.procedure || find_class(window_class.name))
        return false;
    auto record = std::make_unique<WindowClassRecord>();
    record->name = window_class.name;
    record->procedure = window_class.procedure;
    record->redraw_on_resize = window_class.redraw_on_resize;
    record->cursor = window_class.cursor;
    record->icon = window_class.icon;
    window_system().classes.push_back(std::move(record));
    return true;
}

std::intptr_t send_message(Window* window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam)
{
    if (!live_window(window))
        return 0;
    return window->window_class->procedure(window, message, wparam, lparam);
}

void message_box(const char* text, const char* title) { host_message_box(text, title, false); }

void information_box(WindowHandle, const char* text, const char* title) { host_message_box(text, title, true); }

void set_window_text(WindowHandle handle, const char* text)
{
    Window* window = live_window(handle);
    if (!window)
        return;
    window->title = text ? text : "";
    if (window == window_system().top_level)
        host_title_changed(window->title.c_str());
}

void reset_window_system()
{
    WindowSystem& ws = window_system();
    ws.queue.clear();
    ws.timers.clear();
    ws.capture = nullptr;
    ws.top_level = nullptr;
    ws.windows.clear();
    ws.classes.clear();
    ws.framebuffer.clear();
    ws.framebuffer_width = 0;
    ws.framebuffer_height = 0;
    ws.zoom = ws.windowed_zoom = 1;
    ws.full_screen = false;
    ws.keys_down.reset();
    ws.keys_seen.reset();
}
