// The main window: a black frame around the four children, which it lays
// out on its grid, keeps placed as it is resized, and shuts down on close.
#pragma once

#include <cstdint>

#include "platform/window.h"

std::intptr_t main_window_proc(WindowHandle window, std::uint32_t message, std::uintptr_t wparam,
                               std::intptr_t lparam);
// View, parameter slider, palette slider, icon bar, in that order; false as
// soon as one fails (it has told the user).
bool create_children(WindowHandle main_window);
