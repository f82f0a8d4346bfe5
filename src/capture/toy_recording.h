// The toy's own recording: R starts it and stops it; it records the view as
// a GIF into the pictures folder and stops by itself after a minute. The
// title says "recording" meanwhile and where the file went at the end, or
// why there is none.
#pragma once

#include <cstdint>

#include "platform/window.h"

inline constexpr std::uintptr_t recording_timer = 0x4D03;
inline constexpr std::int64_t recording_frames = 60 * 60;

void toggle_toy_recording(WindowHandle main_window);
// Its timer: true when it was its own.
bool toy_recording_timer(WindowHandle main_window, std::uintptr_t id);
// The window is closing: a recording going on is finished properly first.
void end_toy_recording(WindowHandle main_window);
