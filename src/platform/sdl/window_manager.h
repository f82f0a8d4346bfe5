// Asking the desktop about its window manager, apart from the rest of the
// host: Xlib's names (Window, Cursor) are the window system's own too.
#pragma once

struct SDL_Window;

// Whether a window manager would act on a full-screen request. Only X11
// can be asked; elsewhere there always is one.
bool window_manager_running(SDL_Window* window);

// WM_NAME as every X tool reads it (SDL writes it in the locale's encoding,
// which xdotool, older task bars and window lists cannot); _NET_WM_NAME
// keeps SDL's UTF-8, em dash and all.
void set_plain_title(SDL_Window* window, const char* title);
