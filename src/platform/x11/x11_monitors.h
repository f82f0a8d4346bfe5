// The monitors of the X screen as XRandR tells them, and word of their
// changes. Xlib's side of the host: included by x11_window.cpp alone.
#pragma once

#include <vector>

#include <X11/Xlib.h>

#include "platform/geometry.h"

// Asks for word of the screen's changes of size or layout; returns the
// RandR event base to hand screen_changed, or -1 when the server has no
// RandR.
int watch_screen(Display* display);

// Whether `e` is that word; Xlib's idea of the screen's size is brought up
// to date by it.
bool screen_changed(XEvent& e, int randr_event_base);

// The monitors in screen pixels, within the screen; one the size of the
// screen where the server tells of none (no RandR, or older than 1.5). A
// monitor inside another (a smaller one cloning its corner) is left out:
// it shows that part of the larger one's picture.
std::vector<Rect> screen_monitors(Display* display);
