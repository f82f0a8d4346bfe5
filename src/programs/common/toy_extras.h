// The extras of the toy a user plays (modra, modra-render, the page): the
// keys, keeping and recording the picture, attract mode, listening, and the
// session kept as a replay from its start. Each sees the main window's
// messages before the toy does, in that order of need: the replay's,
// listening's, attract mode's timer, the recording's, then the keys.
#pragma once

#include <string>

#include "platform/window.h"

// The main window takes them from now on.
void enable_toy_extras();

// A's work as a switch that says which (a wallpaper host's): attract mode
// on or off, with A's note; nothing changes when it is so already.
void set_attract(WindowHandle main_window, bool on);

// What K does with the session kept as a replay's text: each program keeps
// it its own way (a file in the pictures folder, a link in the page).
void keep_replay_text(WindowHandle window, const std::string& text);
// K's line in the list of keys, saying where the replay goes.
extern const char* const keep_replay_help;
