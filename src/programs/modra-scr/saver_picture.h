// The screensaver's copy of the toy's view: after each frame the back
// surface's 640 x 480 pixels go into a DIB section of our own, and from
// there, scaled to cover, into the screensaver's window. The toy's own
// present lands in its hidden window, where nobody sees it.
#pragma once

#include "platform/win32/handles.h"

// The DIB section, black until the first frame; false when GDI refuses it.
bool create_saver_picture();
void destroy_saver_picture();

// The frame just produced, from the display's back surface into the copy.
void copy_view_picture();
// The copy, each pixel the nearest one, covering `area` (in the DC's
// coordinates), centred, what sticks out clipped.
void draw_saver_picture(HDC dc, const RECT& area);
