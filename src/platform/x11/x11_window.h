// The X side of the X11 host, and the only part of it that includes Xlib
// (whose Window, Cursor and Status would clash with the window system's).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/geometry.h"
#include "platform/x11/x11_host.h"

bool x11_open(const X11Target& target, std::string& error);
void x11_close();

struct X11Events {
    bool resized = false;  // the window has a new size, and the picture with it
    bool exposed = false;  // the window lost what it showed
    bool gone = false;     // destroyed, or closed by its window manager: draw no more
    bool hidden = false;   // unmapped, or covered all over: nothing drawn would be seen
};
// Everything the server sent since the last call; never blocks.
X11Events x11_poll();
// Sleeps until the server has something to say, or SIGTERM or SIGINT comes.
void x11_wait();

// What the window shows, kept on this side: width x height pixels of
// 0x00RRGGBB, each OR'ed with `fill` (the opaque alpha a 32-bit window needs).
struct X11Picture {
    std::uint32_t* pixels = nullptr;
    std::int32_t width = 0, height = 0;
    std::int32_t pitch = 0;  // bytes
    std::uint32_t fill = 0;
};
X11Picture x11_picture();
// The parts of the picture that each show the toy's picture whole, in its
// pixels: the monitors the desktop's window spans, else the whole window.
const std::vector<Rect>& x11_places();
// Sends `area` of the picture to the window.
void x11_show(const Rect& area);
// The screen the window is on, in pixels.
Rect x11_screen();
