// What the portable window system asks of the place it runs in. Each host
// (SDL, headless) implements these, and the clock functions of
// platform/clock.h, as free functions; a program links exactly one host.
#pragma once

#include <cstdint>

#include "platform/geometry.h"
#include "platform/window.h"

struct Framebuffer;

// Pulls pending OS events and feeds them in through platform/portable/events.h.
// Called by peek_message before it looks at the queue. It does not block,
// except while nothing the program made could be seen (the X11 host's
// window hidden): then it may wait until something could.
void host_poll_events();

// peek_message found nothing to hand out: everything queued has been
// handled, and the program may now produce a frame.
void host_queue_idle();

// The top-level window has been shown, or its client size, position or zoom
// was changed by the program (not by the user); `screen` is its client area
// in screen coordinates, its size in the program's pixels: the window on the
// screen is zoom() times that.
void host_top_level_placed(const char* title, const Rect& screen, bool visible);

// Pixels of the framebuffer inside `dirty` have changed (after a paint, or a
// blit from a surface).
void host_framebuffer_changed(const Framebuffer& framebuffer, const Rect& dirty);

// `information`: the toy telling the user something, not an error.
void host_message_box(const char* text, const char* title, bool information);
void host_title_changed(const char* title);

// Full screen on or off; false when the host cannot. The window system then
// resizes the top-level window to the screen divided by the zoom.
bool host_set_full_screen(bool on);
// The whole screen the window is on, in screen pixels.
Rect host_screen_rect();

// The pointer moved onto a window whose class shows another cursor.
void host_set_cursor(Cursor cursor);

Rect host_work_area();
std::int32_t host_colour_depth();
