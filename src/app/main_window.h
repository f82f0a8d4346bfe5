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

// What goes beyond the toy (keys, and what they start) sees each of the
// main window's messages first when it is set, and keeps those it returns
// true for. Unset, the window is exactly the toy's.
using MessageHook = bool (*)(WindowHandle window, std::uint32_t message, std::uintptr_t wparam,
                             std::intptr_t lparam);
extern MessageHook main_window_extras;
