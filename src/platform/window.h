// Windows, window classes, the message queue, capture and timers: the shape
// of the Windows USER calls, one function for each. Message numbers and
// flags have their Windows values, so the native build passes them through.
#pragma once

#include <cstdint>

#include "platform/geometry.h"

struct Window;  // opaque; a handle is a pointer to it
using WindowHandle = Window*;
using WindowProc = std::intptr_t (*)(WindowHandle window, std::uint32_t message, std::uintptr_t wparam,
                                     std::intptr_t lparam);

inline constexpr std::uint32_t wm_create = 0x0001;
inline constexpr std::uint32_t wm_destroy = 0x0002;
inline constexpr std::uint32_t wm_move = 0x0003;
inline constexpr std::uint32_t wm_size = 0x0005;
inline constexpr std::uint32_t wm_paint = 0x000F;
inline constexpr std::uint32_t wm_close = 0x0010;
inline constexpr std::uint32_t wm_quit = 0x0012;
inline constexpr std::uint32_t wm_keydown = 0x0100;
inline constexpr std::uint32_t wm_keyup = 0x0101;
inline constexpr std::uint32_t wm_syskeydown = 0x0104;  // with Alt held, or F10
inline constexpr std::uint32_t wm_syskeyup = 0x0105;
inline constexpr std::uint32_t wm_syschar = 0x0106;  // native only: the character of an Alt key
inline constexpr std::uint32_t wm_timer = 0x0113;
inline constexpr std::uint32_t wm_mousemove = 0x0200;
inline constexpr std::uint32_t wm_lbuttondown = 0x0201;
inline constexpr std::uint32_t wm_lbuttonup = 0x0202;
inline constexpr std::uint32_t wm_rbuttondown = 0x0204;
inline constexpr std::uint32_t wm_rbuttonup = 0x0205;
// The user gave the top-level window a file; the host keeps it (in a page: a
// sound file for SoundInput::file), so wparam carries nothing.
inline constexpr std::uint32_t wm_dropfiles = 0x0233;

// Button flags of pointer messages' wparam.
inline constexpr std::uintptr_t mk_lbutton = 0x0001;
inline constexpr std::uintptr_t mk_rbutton = 0x0002;

// Pointer positions travel in lparam as two signed 16-bit halves.
inline std::intptr_t make_point_lparam(std::int32_t x, std::int32_t y)
{
    return static_cast<std::intptr_t>((static_cast<std::uint32_t>(y) & 0xFFFF) << 16 |
                                      (static_cast<std::uint32_t>(x) & 0xFFFF));
}
inline Point point_from_lparam(std::intptr_t lparam)
{
    return {static_cast<std::int16_t>(lparam & 0xFFFF), static_cast<std::int16_t>((lparam >> 16) & 0xFFFF)};
}
// A size message's width and height: two unsigned 16-bit halves.
inline std::int32_t low_word(std::intptr_t v) { return static_cast<std::int32_t>(v & 0xFFFF); }
inline std::int32_t high_word(std::intptr_t v) { return static_cast<std::int32_t>((v >> 16) & 0xFFFF); }

// Key messages carry a virtual key in wparam. Letters and digits are their
// upper-case ASCII codes.
inline constexpr std::uintptr_t vk_return = 0x0D;
inline constexpr std::uintptr_t vk_shift = 0x10;
inline constexpr std::uintptr_t vk_control = 0x11;
inline constexpr std::uintptr_t vk_menu = 0x12;  // Alt
inline constexpr std::uintptr_t vk_escape = 0x1B;
inline constexpr std::uintptr_t vk_space = 0x20;
inline constexpr std::uintptr_t vk_left = 0x25;
inline constexpr std::uintptr_t vk_up = 0x26;
inline constexpr std::uintptr_t vk_right = 0x27;
inline constexpr std::uintptr_t vk_down = 0x28;
inline constexpr std::uintptr_t vk_numpad0 = 0x60;
inline constexpr std::uintptr_t vk_add = 0x6B;
inline constexpr std::uintptr_t vk_subtract = 0x6D;
inline constexpr std::uintptr_t vk_f1 = 0x70;
inline constexpr std::uintptr_t vk_f10 = 0x79;
inline constexpr std::uintptr_t vk_f11 = 0x7A;
inline constexpr std::uintptr_t vk_oem_plus = 0xBB;  // the = + key
inline constexpr std::uintptr_t vk_oem_minus = 0xBD;

// A key message's lparam: repeat count in the low 16 bits, then these.
inline constexpr std::intptr_t key_alt_held = std::intptr_t{1} << 29;
inline constexpr std::intptr_t key_was_down = std::intptr_t{1} << 30;  // an auto-repeat, on a key-down
inline constexpr std::intptr_t key_released = std::intptr_t{1} << 31;

enum class Cursor { arrow, cross };

struct Icon;  // opaque
using IconHandle = Icon*;

struct WindowClass {
    const char* name = nullptr;
    WindowProc procedure = nullptr;
    bool redraw_on_resize = false;  // invalidate the whole window when its size changes
    Cursor cursor = Cursor::arrow;
    IconHandle icon = nullptr;
};

enum class WindowStyle {
    child,          // not visible until shown
    visible_child,
    main,           // an overlapped top-level window that clips its children
};

inline constexpr std::int32_t use_default_position = INT32_MIN;

struct Message {
    WindowHandle window = nullptr;
    std::uint32_t message = 0;
    std::uintptr_t wparam = 0;
    std::intptr_t lparam = 0;
};

bool register_class(const WindowClass& window_class);

// Runs the creation message synchronously; a result of -1 fails the creation
// (the window is destroyed again and null returned).
WindowHandle create_window(const char* class_name, const char* title, WindowStyle style, std::int32_t x,
                           std::int32_t y, std::int32_t width, std::int32_t height, WindowHandle parent,
                           std::int32_t child_id);
bool destroy_window(WindowHandle window);  // children first get their destroy messages too
void show_window(WindowHandle window);
void update_window(WindowHandle window);  // paints now if the window has an invalid region
bool move_window(WindowHandle window, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                 bool repaint);
// Top-level only: the outer size and/or position; either may be kept.
bool set_window_pos(WindowHandle window, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                    bool keep_position, bool keep_size);
void invalidate(WindowHandle window, const Rect* rect, bool erase);  // null rect: the whole client area
void validate(WindowHandle window, const Rect* rect);
Rect client_rect(WindowHandle window);
Rect window_rect(WindowHandle window);  // outer rectangle in screen coordinates
Point client_to_screen(WindowHandle window, Point point);
std::int32_t child_id(WindowHandle window);
// The outer rectangle of a main window whose client area is `client`.
Rect adjust_window_rect(Rect client);
Rect work_area();

std::intptr_t default_window_proc(WindowHandle window, std::uint32_t message, std::uintptr_t wparam,
                                  std::intptr_t lparam);

void set_capture(WindowHandle window);
void release_capture();

// Starting a running timer again replaces it. The first message comes after
// `milliseconds`, then every `milliseconds`.
bool set_timer(WindowHandle window, std::uintptr_t id, std::uint32_t milliseconds);
bool kill_timer(WindowHandle window, std::uintptr_t id);

void post_quit(std::int32_t code);
// Never blocks. Order: posted and input messages, then paint for a window with
// an invalid region, then due timers.
bool peek_message(Message& message);
void translate_message(const Message& message);
std::intptr_t dispatch_message(const Message& message);

// Whether a key is held now, as the key messages handed out so far tell.
bool key_is_down(std::uintptr_t virtual_key);

// A top-level window's title, UTF-8.
void set_window_text(WindowHandle window, const char* text);

// No owner window, error icon.
void message_box(const char* text, const char* title);
// Owned by `owner` (may be null), information icon; returns when dismissed.
void information_box(WindowHandle owner, const char* text, const char* title);
