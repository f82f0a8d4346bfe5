// The portable window system's shared state: every window, class, timer and
// queued message of the process, and the one framebuffer the windows paint
// into. Private to src/platform/portable; the program sees only the
// platform headers.
//
// Coordinates: a child's `rect` is in its parent's client coordinates; the
// top-level window's `rect` is its client area in screen coordinates (there
// is no non-client frame). "Framebuffer coordinates" are the top-level
// window's client coordinates.
#pragma once

#include <cstdint>
#include <bitset>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/window.h"

struct WindowClassRecord {
    std::string name;
    WindowProc procedure = nullptr;
    bool redraw_on_resize = false;
    Cursor cursor = Cursor::arrow;
    IconHandle icon = nullptr;
};

struct Window {
    const WindowClassRecord* window_class = nullptr;
    std::string title;
    WindowStyle style = WindowStyle::child;
    Window* parent = nullptr;
    std::vector<Window*> children;  // creation order; later ones lie on top
    std::int32_t child_id = 0;
    Rect rect;
    bool visible = false;
    bool destroying = false;
    // The invalid region is kept as its bounding box: the program invalidates
    // whole windows (or one strip uncovered by a moved child), so a list of
    // rectangles would only ever repaint the same pixels at more cost.
    Rect invalid;
};

struct Timer {
    Window* window = nullptr;
    std::uintptr_t id = 0;
    std::int64_t period = 0;  // clock ticks
    std::int64_t due = 0;
};

struct WindowSystem {
    std::vector<std::unique_ptr<WindowClassRecord>> classes;
    std::vector<std::unique_ptr<Window>> windows;  // creation order: parents before children
    Window* top_level = nullptr;
    Window* capture = nullptr;
    Cursor shown_cursor = Cursor::arrow;  // what the host was last asked to show
    std::deque<Message> queue;
    std::vector<Timer> timers;
    std::vector<std::uint32_t> framebuffer;  // top-level client size, pitch = width
    std::int32_t framebuffer_width = 0;
    std::int32_t framebuffer_height = 0;
    // How the host shows the framebuffer: each pixel a zoom x zoom square.
    // Hosts report points and sizes in screen pixels; the window system
    // divides them back.
    std::int32_t zoom = 1;
    bool full_screen = false;
    std::int32_t windowed_zoom = 1;  // what leaving full screen gives back
    std::int32_t windowed_width = 0;
    std::int32_t windowed_height = 0;
    // Keys as the user holds them now, and as the key messages handed out
    // so far tell: a program asks the second, which is what the message it
    // is handling was sent with.
    std::bitset<256> keys_down;
    std::bitset<256> keys_seen;
};

WindowSystem& window_system();

// Whether a handle names a window that exists (stale handles are common:
// a queued message can outlive its window).
Window* live_window(WindowHandle window);
const WindowClassRecord* find_class(const char* name);
std::intptr_t send_message(Window* window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam);

// Shown, and every ancestor shown too.
bool window_showing(const Window* window);
// The window's client origin in framebuffer coordinates.
Point framebuffer_origin(const Window* window);
Rect client_area(const Window* window);  // (0, 0, w, h)
// The part of the framebuffer the window may paint: its client area inside
// every ancestor's, less its children and the siblings above it and above
// its ancestors. Empty for a window that is not showing.
void visible_region(const Window* window, std::vector<Rect>& region, std::vector<Rect>& scratch);

void invalidate_window(Window* window, const Rect* rect);  // client coordinates; null: all of it
void validate_window(Window* window, const Rect* rect);
Window* window_needing_paint();

// Gives the top-level framebuffer a new size, keeping the overlapping pixels.
void resize_framebuffer(std::int32_t width, std::int32_t height);
void report_framebuffer_change(const Rect& dirty);  // framebuffer coordinates, clipped here
void top_level_placed(const Window* window);        // tells the host

// The top-level window's client area changed size by the program's hand or
// the user's: framebuffer, size message, invalidation.
void resize_top_level(Window* window, std::int32_t width, std::int32_t height);

void post_message(Window* window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam);
// Gives queued pointer input (no window yet, a framebuffer point) its window
// and client point; false when there is no window to take it.
bool route_pointer(Message& message);
void forget_window_messages(const Window* window);
void forget_window_timers(const Window* window);
bool take_due_timer(Message& message);
// A key message is being handed out: the keys the program sees change.
void note_key_message(const Message& message);
