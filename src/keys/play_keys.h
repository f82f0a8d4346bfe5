// The toy's keys. Each acts as the control it stands for, through the same
// operation a click on that control runs, so the control shows it:
//   Space        the pause button          D / W   the rule buttons
//   T            the picture button        Up / Down, Left / Right  the sliders' arrows
//   S            keep the picture (a PNG in the pictures folder; in a page, a download)
//   R            record the picture (a GIF there; in a page, a WebM download), until R again
//   F            the frame rate in the title                    F1   the list of keys
//   A            attract mode on and off: the toy plays by itself
//   F11, Alt+Enter  full screen on and off; Esc leaves it
//   Ctrl + Plus / Minus / 0   zoom in, out, back to 1
#pragma once

#include <cstdint>
#include <string>

#include "platform/geometry.h"
#include "platform/window.h"

extern const std::string keys_help;

// The main window answers the keys from now on.
void enable_play_keys();

bool play_key_message(WindowHandle main_window, std::uint32_t message, std::uintptr_t wparam,
                      std::intptr_t lparam);

// Full screen's zoom: the largest that still fits the toy's whole layout.
std::int32_t full_screen_zoom(const Rect& screen);
