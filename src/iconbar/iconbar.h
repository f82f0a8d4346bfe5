// The icon bar: a row of push buttons drawn as icon faces, in fixed storage
// found from the bar window through its child identifier.
#pragma once

#include <cstdint>

#include "platform/canvas.h"
#include "platform/window.h"

enum ButtonKind : std::int32_t {
    diffusion_button = 0,  // radio pair with wave_button
    wave_button = 1,
    pause_button = 2,
    picture_button = 3,
};

// A button's state is also the index of the face drawn for it.
enum ButtonState : std::int32_t {
    up = 0,
    lit = 1,
    down = 2,
    disabled = 3,
};
// The request that stands for the user's click (never a state to set).
inline constexpr std::int32_t click = 1;

inline constexpr std::int32_t max_buttons = 10;
inline constexpr std::int32_t button_pitch = 53;
inline constexpr std::int32_t first_button_x = 30;
inline constexpr std::int32_t face_size = 23;
inline constexpr std::uintptr_t hold_timer = 2;
inline constexpr std::uint32_t hold_ms = 5000;

struct IconBar {
    WindowHandle window = nullptr;
    std::int32_t count = 0;
    std::int32_t state[max_buttons] = {};
    std::int32_t first_icon[max_buttons] = {};
    std::int32_t kind[max_buttons] = {};
    IconHandle face[max_buttons][4] = {};
};

inline constexpr std::int32_t first_iconbar_id = 3;
extern IconBar iconbars[1];
extern std::int32_t next_iconbar_id;

void set_window(IconBar& bar, WindowHandle window);
void add_button(IconBar& bar, std::int32_t index, std::int32_t first_icon, std::int32_t kind, bool redraw);
void paint_bar(const IconBar& bar, Canvas* canvas);
void click_bar(IconBar& bar, std::int32_t x, std::int32_t y);
std::int32_t find_kind(const IconBar& bar, std::int32_t kind);
void press_button(IconBar& bar, std::int32_t index, std::int32_t request, bool redraw, bool apply);
// The bar's timer: the picture hold is over.
void end_hold(IconBar& bar);

bool register_iconbar_class();
bool create_iconbar(WindowHandle parent, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);
std::intptr_t iconbar_proc(WindowHandle window, std::uint32_t message, std::uintptr_t wparam,
                           std::intptr_t lparam);
