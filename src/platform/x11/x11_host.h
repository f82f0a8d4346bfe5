// Starting and stopping the X11 host; modra-saver calls these around
// everything else it does with windows.
#pragma once

#include <cstdint>
#include <string>

#include "platform/geometry.h"

// Where the picture goes: a window of the host's own, the screen's root
// window, a window someone else made (xscreensaver's, a preview's), or a
// window of the host's own that the window manager keeps as the desktop.
struct X11Target {
    enum Kind : std::int32_t { own_window, root, given_window, desktop } kind = own_window;
    std::uint32_t window = 0;  // for given_window
};

// False, with `error` set (one line, ready to print), when there is no
// display, no such window, or a window whose pixels are not 24-bit colour.
// SIGTERM and SIGINT close the toy from then on. `view` is the part of the
// top-level window's client area that is shown: the picture. While the
// window cannot be seen, the host's poll waits for it instead of handing
// back to the main loop, so no frame is made.
bool x11_host_start(const X11Target& target, const Rect& view, std::string& error);
void x11_host_stop();
