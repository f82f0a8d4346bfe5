// What makes a window the desktop's to a window manager that follows the
// Extended Window Manager Hints. Xlib's side of the host: included by
// x11_window.cpp alone.
#pragma once

#include <X11/Xlib.h>

// Before the window is first mapped: the window manager reads these then,
// and after that takes changes only as requests.
void mark_as_desktop(Display* display, Window window);
