// The page on a phone: the toy's windows in the phone's arrangement
// (app/layout.h), the view filling the room's width (upright) or height
// (on its side) and the controls beside it, each at a scale a finger can
// hit.
#pragma once

#include <cstdint>

#include "platform/window.h"

// After start-up: the main window sized to the page's room (unless a replay
// being played sizes it) and shown in parts.
void phone_page_start(WindowHandle main_window);
// After the page's size changed (a rotation): a room that changed is laid
// out again; the field is untouched, the main window only resized.
void phone_page_follow();
// The main window's client is now `width` wide: its parts move with it.
void phone_page_sized(std::int32_t width);
