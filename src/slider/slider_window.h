// The "slider" window class: turns a slider window's messages into presses,
// drags, held-arrow repeats and releases.
#pragma once

#include <cstdint>

#include "platform/geometry.h"
#include "platform/window.h"

inline constexpr std::uintptr_t repeat_timer = 1;
inline constexpr std::uint32_t repeat_delay_ms = 500;
inline constexpr std::uint32_t repeat_period_ms = 100;

// Shared by both slider windows: only one can hold the pointer at a time.
extern bool repeat_active;   // the press began on an arrow; the repeat timer runs
extern Point press_point;    // where the last press was, for the repeats

bool register_slider_class();
bool create_slider_window(WindowHandle parent, std::int32_t x, std::int32_t y, std::int32_t width,
                          std::int32_t height);
std::intptr_t slider_window_proc(WindowHandle window, std::uint32_t message, std::uintptr_t wparam,
                                 std::intptr_t lparam);
