// Asking the desktop about its window manager, apart from the rest of the
// host: Xlib's names (Window, Cursor) are the window system's own too.
#pragma once

struct SDL_Window;

// Whether a window manager would act on a full-screen request. Only X11
// can be asked; elsewhere there always is one.
bool window_manager_running(SDL_Window* window);
