// Starting and stopping the SDL2 host; the program calls these around
// everything else it does with windows.
#pragma once

#include <string>

// False, with `error` set (one line, ready to print), when there is no
// display to open.
bool sdl_host_start(std::string& error);
void sdl_host_stop();

// A file dropped on the window: its path, to `dropped` (the program says
// what it means). Unset, drops are ignored.
void sdl_host_on_drop(void (*dropped)(const std::string& path));
